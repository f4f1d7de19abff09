#include "app/AboutTab.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/KeepListEditor.h"
#include "app/Logo.h"
#include "app/Widgets.h"
#include "clean/KeepLists.h"
#include "controls/AnyButton.h"
#include "controls/HostedButton.h"

namespace hv {
namespace {

constexpr int kPictureSize = 72;

// The web-site button as it was placed: its size, its caption and the desktop's 3-D
// colours a new button starts with (left out, the lines would read as black).
constexpr const char* kWebsiteButtonDescription =
    "_extentx = 150\n"
    "_extenty = 28\n"
    "caption = \"Visit our website!\"\n"
    "colorlineupleftone = 0x80000014\n"
    "colorlineuplefttwo = 0x80000016\n"
    "colorlinedownrightone = 0x80000015\n"
    "colorlinedownrighttwo = 0x80000010\n";

const KeepListEditor::Description kKeepCookies = {
    "Cookies to keep:",
    kKeepCookiesKey,
    "Keep the cookies of this site and of its subdomains (for example example.org):",
    " is not a site name.",
    "lstKeepCookies",
    "cmdAddKeepCookie",
    "cmdRemoveKeepCookie",
    KeptSiteEntry};

const KeepListEditor::Description kKeepPaths = {
    "Folders and files to keep:",
    kKeepPathsKey,
    "Never delete this folder or file (a full path; %Cache% and the like may start it):",
    " is not a full path.",
    "lstKeepPaths",
    "cmdAddKeepPath",
    "cmdRemoveKeepPath",
    KeptPathEntry};

QCheckBox* SettingBox(int index, const QString& caption, QWidget* parent) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QStringLiteral("chkSettings%1").arg(index));
  return box;
}

}  // namespace

AboutTab::AboutTab(UserInterface& ui, QWidget* parent)
    : QWidget(parent),
      lblAbout(new QLabel(this)),
      chkSettings{SettingBox(0, "Wipe files on Application/Web Cleanup", this),
                  SettingBox(1, "Warn the user if sensitive data is about to be cleaned", this)},
      keepCookies(new KeepListEditor(kKeepCookies, ui, this)),
      keepPaths(new KeepListEditor(kKeepPaths, ui, this)),
      cmdWebsiteDescription(PropertyBag::FromText(kWebsiteButtonDescription)),
      cmdWebsite(HostAnyButton(cmdWebsiteDescription, "cmdWebsite", this)) {
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

  auto* keep = new QHBoxLayout;
  keep->addWidget(keepCookies);
  keep->addWidget(keepPaths);

  auto* website = new QHBoxLayout;
  website->addStretch(1);
  website->addWidget(cmdWebsite);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->setSpacing(12);
  layout->addWidget(about);
  layout->addWidget(settings);
  layout->addLayout(keep, 1);
  layout->addLayout(website);
}

}  // namespace hv
