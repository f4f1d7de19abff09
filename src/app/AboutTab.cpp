#include "app/AboutTab.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Logo.h"
#include "app/Widgets.h"

namespace hv {
namespace {

constexpr int kPictureSize = 72;

QCheckBox* SettingBox(int index, const QString& caption, QWidget* parent) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QStringLiteral("chkSettings%1").arg(index));
  return box;
}

}  // namespace

AboutTab::AboutTab(QWidget* parent)
    : QWidget(parent),
      lblAbout(new QLabel(this)),
      chkSettings{SettingBox(0, "Wipe files on Application/Web Cleanup", this),
                  SettingBox(1, "Warn the user if sensitive data is about to be cleaned", this)},
      cmdWebsite(NamedButton("cmdWebsite", "Visit our website!", this)) {
  lblAbout->setObjectName("lblAbout");
  lblAbout->setWordWrap(true);
  lblAbout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblAbout->setTextInteractionFlags(Qt::TextSelectableByMouse);

  QGroupBox* about = Section("About Hushvault:", this);
  auto* picture = new QLabel(about);
  picture->setObjectName("picAbout");
  picture->setPixmap(DrawLogo(kPictureSize));
  picture->setAlignment(Qt::AlignTop);
  auto* aboutLayout = new QHBoxLayout(about);
  aboutLayout->setSpacing(16);
  aboutLayout->addWidget(picture, 0, Qt::AlignTop);
  aboutLayout->addWidget(lblAbout, 1);

  QGroupBox* settings = Section("Settings:", this);
  auto* settingsLayout = new QVBoxLayout(settings);
  for (QCheckBox* box : chkSettings) {
    box->setParent(settings);
    settingsLayout->addWidget(box);
  }

  auto* website = new QHBoxLayout;
  website->addStretch(1);
  website->addWidget(cmdWebsite);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->setSpacing(12);
  layout->addWidget(about);
  layout->addWidget(settings);
  layout->addStretch(1);
  layout->addLayout(website);
}

}  // namespace hv
