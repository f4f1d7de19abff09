#include "app/CleanerTab.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/SelectionPage.h"
#include "app/Widgets.h"

namespace hv {

const CleanerTabNames kWindowsTabNames = {"Windows Activity Cleanup:",
                                          "lstWindows",
                                          "cmdAppSel",
                                          "cmdAppClear",
                                          "cboWinPreset",
                                          "cmdSaveWin",
                                          "cmdDelWin",
                                          "cmdWinSPreview",
                                          "cmdWinSClean"};
const CleanerTabNames kWebTabNames = {
    "Web Activity Cleanup:", "lstWeb",     "cmdWebSel", "cmdWebClear",
    "cboWebPreset",          "cmdSaveWeb", "cmdDelWeb", "cmdSWebPreview",
    "cmdSWebCleanup"};

CleanerTab::CleanerTab(const CleanerTabNames& names, QWebEngineProfile& profile, QWidget* parent)
    : QWidget(parent),
      page(new SelectionPage(profile, this)),
      selectAll(NamedButton(names.selectAll, "Select All", this)),
      selectNone(NamedButton(names.selectNone, "Select None", this)),
      presetList(NamedPresetList(names.presetList, this)),
      savePreset(NamedButton(names.savePreset, "Save Preset", this)),
      deletePreset(NamedButton(names.deletePreset, "Delete Preset", this)),
      preview(NamedButton(names.preview, "Preview", this)),
      clean(NamedButton(names.clean, "Clean Now!", this)) {
  page->setObjectName(names.page);

  // The page sits in a sunken frame so that it reads as a list inside the window.
  auto* frame = new QFrame(this);
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setFrameShadow(QFrame::Sunken);
  auto* frameLayout = new QVBoxLayout(frame);
  frameLayout->setContentsMargins(1, 1, 1, 1);
  frameLayout->addWidget(page);

  auto* title = new QLabel(names.title, this);
  title->setStyleSheet("font-weight: bold;");
  auto* left = new QVBoxLayout;
  left->addWidget(title);
  left->addWidget(frame, 1);

  auto* commands = new QVBoxLayout;
  commands->addWidget(selectAll);
  commands->addWidget(selectNone);
  commands->addSpacing(12);
  commands->addWidget(new QLabel("Current Preset:", this));
  commands->addWidget(presetList);
  commands->addWidget(savePreset);
  commands->addWidget(deletePreset);
  commands->addStretch(1);
  QFont bold = clean->font();
  bold.setBold(true);
  clean->setFont(bold);
  clean->setMinimumHeight(36);
  preview->setToolTip("Show what Clean Now! would remove, without removing anything");
  commands->addWidget(preview);
  commands->addWidget(clean);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->setSpacing(12);
  layout->addLayout(left, 1);
  layout->addLayout(commands);
}

}  // namespace hv
