#include "app/HomeTab.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Logo.h"
#include "app/Widgets.h"

namespace hv {
namespace {

constexpr int kLogoSize = 160;

// One cleaner's row: its preset list and its "Clean Now!".
QGroupBox* CleanerSection(const QString& title, QComboBox* list, QPushButton* clean,
                          QWidget* parent) {
  QGroupBox* section = Section(title, parent);
  auto* layout = new QHBoxLayout(section);
  layout->addWidget(new QLabel("Select a preset:", section));
  layout->addWidget(list, 1);
  layout->addWidget(clean);
  return section;
}

}  // namespace

HomeTab::HomeTab(QWidget* parent)
    : QWidget(parent),
      cboWindows(NamedPresetList("cboWindows", this)),
      cmdWindowsClean(NamedButton("cmdWindowsClean", "Clean Now!", this)),
      cboWeb(NamedPresetList("cboWeb", this)),
      cmdWebClean(NamedButton("cmdWebClean", "Clean Now!", this)),
      cmdClearClipboard(NamedButton("cmdClearClipboard", "Clear Windows Clipboard", this)),
      cmdSettings(NamedButton("cmdSettings", "Settings", this)),
      cmdQuit(NamedButton("cmdQuit", "Quit", this)) {
  auto* sections = new QVBoxLayout;
  sections->addWidget(
      CleanerSection("Windows Activity Cleanup:", cboWindows, cmdWindowsClean, this));
  sections->addWidget(CleanerSection("Web Activity Cleanup:", cboWeb, cmdWebClean, this));

  QGroupBox* misc = Section("Misc:", this);
  auto* miscLayout = new QHBoxLayout(misc);
  for (QPushButton* button : {cmdClearClipboard, cmdSettings, cmdQuit}) {
    miscLayout->addWidget(button);
  }
  miscLayout->addStretch(1);
  sections->addWidget(misc);
  sections->addStretch(1);

  auto* logo = new QLabel(this);
  logo->setObjectName("picLogo");
  logo->setPixmap(DrawLogo(kLogoSize));
  logo->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->setSpacing(16);
  layout->addLayout(sections, 1);
  layout->addWidget(logo, 0, Qt::AlignTop);
}

}  // namespace hv
