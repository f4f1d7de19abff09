#include "app/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <algorithm>

#include "app/AboutTab.h"
#include "app/BackgroundRun.h"
#include "app/CleanerTab.h"
#include "app/FileProtectionTab.h"
#include "app/HomeTab.h"
#include "app/PageScheme.h"
#include "app/QtUserInterface.h"
#include "app/SelectionPage.h"
#include "app/Settings.h"
#include "app/TextLines.h"
#include "app/WebSelectionDocument.h"
#include "app/WindowThreadPorts.h"
#include "app/frmResults.h"
#include "clean/CleanRun.h"
#include "clean/RunReport.h"
#include "controls/AnyButton.h"
#include "controls/TabControl.h"
#include "controls/Twips.h"
#include "crypt/PasswordPrompt.h"
#include "fileio/DefinitionLoader.h"
#include "ports/CheckBoxes.h"
#include "ports/UserInterface.h"
#include "registry/DefaultRegistry.h"
#include "registry/Presets.h"

namespace hv {
namespace {

constexpr int kDefaultWidth = 760;
constexpr int kDefaultHeight = 560;
constexpr int kFileProtectionTab = 4;

const char* const kTabCaptions[frmMain::kTabCount] = {"Hushvault", "Windows Activity Cleaner",
                                                      "Web Activity Cleaner", "File Protection",
                                                      "About / Settings"};

// Runs one step whose failure must not stop the steps after it.
template <typename Step>
void Skipping(Step&& step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

int CheckStateValue(Qt::CheckState state) {
  switch (state) {
    case Qt::Checked:
      return 1;
    case Qt::PartiallyChecked:
      return 2;
    case Qt::Unchecked:
      break;
  }
  return 0;
}

}  // namespace

frmMain::frmMain(frmMainSetup setup, QWidget* parent)
    : QWidget(parent),
      setup_(std::move(setup)),
      ui_(setup_.ui),
      // Off the record: the pages leave no cache or cookies of their own behind.
      profile_(new QWebEngineProfile(this)),
      tabMain_(new TabControl(this)),
      windows_{kWindowsKind, "winclean.cln", "windows.pick", {},
               nullptr,      nullptr,        nullptr,        nullptr},
      web_{kWebKind, "webclean.cln", "web.pick", {}, nullptr, nullptr, nullptr, nullptr} {
  setObjectName("frmMain");
  setWindowTitle(kMainCaption);
  if (ui_ == nullptr) {
    ownUi_ = std::make_unique<QtUserInterface>(*this);
    ui_ = ownUi_.get();
  }
  if (!setup_.openUrl) {
    setup_.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  }
  InstallPageScheme(*profile_);

  tabMain_->setObjectName("tabMain");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(tabMain_);

  home_ = new HomeTab(this);
  windows_.tab = new CleanerTab(kWindowsTabNames, *profile_, this);
  web_.tab = new CleanerTab(kWebTabNames, *profile_, this);
  about_ = new AboutTab(*ui_, this);
  cntTab_ = {home_, windows_.tab, web_.tab, new QWidget(this), about_};
  auto* fileProtection = new QVBoxLayout(cntTab_[3]);
  fileProtection->setContentsMargins(0, 0, 0, 0);
  fileProtection_ = new FileProtectionTab(CryptContext{*ui_}, GCommonDialog(), cntTab_[3]);
  fileProtection->addWidget(fileProtection_);
  connect(fileProtection_, &FileProtectionTab::StrongEncryptionChanged, this,
          [this](bool on) { StoreSetting(kStrongEncryptionSetting, on ? 1 : 0); });
  for (int i = 0; i < kTabCount; ++i) {
    cntTab_[i]->setObjectName(QStringLiteral("cntTab%1").arg(i));
    cntTab_[i]->hide();
  }
  windows_.home = home_->cboWindows;
  web_.home = home_->cboWeb;
  ConnectCleaner(windows_);
  ConnectCleaner(web_);

  connect(home_->cmdWindowsClean, &QPushButton::clicked, windows_.tab->clean, &QPushButton::click);
  connect(home_->cmdWebClean, &QPushButton::clicked, web_.tab->clean, &QPushButton::click);
  connect(home_->cmdClearClipboard, &QPushButton::clicked, this, &frmMain::ClearClipboard);
  connect(home_->cmdSettings, &QPushButton::clicked, this, [this] {
    tabMain_->SetCurrentTab(5);
    TabSwitch(5);
  });
  connect(home_->cmdQuit, &QPushButton::clicked, this, &QWidget::close);
  connect(about_->cmdWebsite, &AnyButton::Click, this,
          [this] { setup_.openUrl(QUrl(kWebsiteAddress)); });
  for (int i = 0; i < 2; ++i) {
    connect(about_->chkSettings[i], &QCheckBox::stateChanged, this,
            [this, i] { SettingChanged(i); });
  }
  connect(tabMain_, &TabControl::TabSelected, this, &frmMain::TabSwitch);
  connect(tabMain_, &TabControl::PageAreaChanged, this, &frmMain::PlaceCurrentTab);
  resize(kDefaultWidth, kDefaultHeight);
}

frmMain::~frmMain() {
  // The pages must go before the profile they were made with.
  delete windows_.tab;
  delete web_.tab;
}

void frmMain::ConnectCleaner(Cleaner& cleaner) {
  CleanerTab& tab = *cleaner.tab;
  cleaner.homeList = std::make_unique<ComboPresetList>(
      *cleaner.home, [this, &cleaner] { HomeListChanged(cleaner); });
  cleaner.detailList = std::make_unique<ComboPresetList>(
      *tab.presetList, [this, &cleaner] { DetailListChanged(cleaner); });
  connect(tab.selectAll, &QPushButton::clicked, this,
          [this, &tab] { Reporting([&] { SetAllCheckboxes(*tab.page, true); }); });
  connect(tab.selectNone, &QPushButton::clicked, this,
          [this, &tab] { Reporting([&] { SetAllCheckboxes(*tab.page, false); }); });
  connect(tab.savePreset, &QPushButton::clicked, this,
          [this, &cleaner] { SavePresetCommand(cleaner); });
  connect(tab.deletePreset, &QPushButton::clicked, this,
          [this, &cleaner] { DeletePresetCommand(cleaner); });
  connect(tab.clean, &QPushButton::clicked, this,
          [this, &cleaner] { Reporting([&] { CleanCommand(cleaner, false); }); });
  connect(tab.preview, &QPushButton::clicked, this,
          [this, &cleaner] { Reporting([&] { CleanCommand(cleaner, true); }); });
}

QCheckBox* frmMain::Setting(int index) const {
  return about_->chkSettings.at(index);
}

bool frmMain::Load() {
  loadProblems_.clear();
  if (!setup_.configNotFound.empty()) {
    loadProblems_.push_back(setup_.configNotFound);
  }
  Skipping([this] {
    if (const std::optional<std::string> moved = TakeMovedAsideRegistry()) {
      loadProblems_.push_back("The settings store was damaged. It was moved to '" + *moved +
                              "' and Hushvault started a new one, without your settings and "
                              "presets.");
    }
  });
  // Whatever fails from here on is reported once at the end; the window still opens. The
  // pages' loads handle events, so the user may close the window meanwhile.
  const std::function<void()> steps[] = {
      [this] { AddTabs(); },
      [this] { Skipping([this] { FileToList(); }); },
      [this] { GenAbout(); },
      [this] { Skipping([this] { FileToList(); }); },
      [this] { ReadSettings(); },
      [this] { RestorePresetPositions(); },
      [this] { ReportLoadProblems(); },
  };
  for (const std::function<void()>& step : steps) {
    if (closed_) {
      return false;
    }
    step();
  }
  loaded_ = true;
  return !closed_;
}

void frmMain::AddTabs() {
  for (const char* caption : kTabCaptions) {
    tabMain_->AddTab(caption);
  }
  TabSwitch(1);
}

void frmMain::GenAbout() {
  about_->lblAbout->setText(
      DisplayText(std::string("Hushvault ") + HUSHVAULT_VERSION + "\r\n" +
                  "Erases the traces of your activity, wipes files beyond recovery and locks them "
                  "with a password.\r\n\r\n"));
}

QString frmMain::ConfigPath(const char* file) const {
  return setup_.configFolder + "/" + file;
}

void frmMain::LoadDefinitions(Cleaner& cleaner) {
  try {
    LoadCleanItems(ConfigPath(cleaner.definitionFile).toStdString(), cleaner.items);
  } catch (const std::exception& error) {
    loadProblems_.push_back(error.what());
  }
}

void frmMain::FileToList() {
  LoadDefinitions(windows_);
  LoadDefinitions(web_);
  windows_.tab->page->Navigate(ConfigPath(windows_.pageFile));
  web_.tab->page->Navigate(ConfigPath(web_.pageFile));
  WaitForPages();

  PresetList* lists[] = {windows_.detailList.get(), windows_.homeList.get(), web_.detailList.get(),
                         web_.homeList.get()};
  const char* kinds[] = {kWindowsKind, kWindowsKind, kWebKind, kWebKind};
  int remembered[4];
  for (int i = 0; i < 4; ++i) {
    remembered[i] = std::max(0, lists[i]->SelectedPosition());
  }
  for (int i = 0; i < 4; ++i) {
    FillPresetList(kinds[i], *lists[i]);
  }
  for (int i = 0; i < 4; ++i) {
    Skipping([&] { lists[i]->Select(remembered[i]); });
  }
}

void frmMain::WaitForPages() {
  // Both pages end their loads by themselves (a missing page shows a note, a page that
  // never answers is given up), so this wait always ends. Events, user commands included,
  // are handled meanwhile.
  while (!windows_.tab->page->IsComplete() || !web_.tab->page->IsComplete()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
}

void frmMain::ShowTab(int n) {
  tabMain_->SetCurrentTab(n);
  TabSwitch(n);
}

void frmMain::TabSwitch(int n) {
  const int serial = ++switchSerial_;
  Skipping([this] { FileToList(); });
  if (serial != switchSerial_) {
    // The user picked another tab while the pages loaded; that later choice is the one
    // the strip marks, so it stays shown.
    return;
  }
  for (QWidget* container : cntTab_) {
    container->hide();
  }
  currentTab_ = n;
  cntTab_[n - 1]->show();
  cntTab_[n - 1]->raise();
  PlaceCurrentTab();
}

void frmMain::PlaceCurrentTab() {
  if (currentTab_ < 1) {
    return;
  }
  const int x = TwipsPerPixelX(*this);
  const int y = TwipsPerPixelY(*this);
  cntTab_[currentTab_ - 1]->setGeometry(tabMain_->PageLeft() / x, tabMain_->PageTop() / y,
                                        tabMain_->PageWidth() / x, tabMain_->PageHeight() / y);
}

void frmMain::SetAllCheckboxes(SelectionPage& page, bool state) {
  WebSelectionDocument document(*page.page());
  hv::SetAllCheckboxes(document, state);
}

void frmMain::ReadSettings() {
  for (int i = 0; i < 2; ++i) {
    const int32_t value = ReadSetting("Option" + std::to_string(i), 1);
    Setting(i)->setChecked(value != 0);
  }
}

void frmMain::SettingChanged(int index) {
  StoreSetting("Option" + std::to_string(index), CheckStateValue(Setting(index)->checkState()));
}

void frmMain::StoreSetting(const std::string& name, int32_t value) {
  try {
    WriteSetting(name, value);
  } catch (const std::exception& error) {
    // Once is enough: every later write meets the same store.
    if (settingsFailureTold_) {
      return;
    }
    settingsFailureTold_ = true;
    ui_->MessageBox(std::string("Your settings could not be saved:\r\n") + error.what() +
                        "\r\n\r\nClose any other running copy of Hushvault and make sure its "
                        "settings store can be written. Until then, the settings you change "
                        "are lost when Hushvault closes.",
                    MessageStyle::kOkOnly | MessageStyle::kExclamation, kAppTitle);
  }
}

void frmMain::RestorePresetPositions() {
  // The pairing is the stored one: CBIndex0 is the Web list, CBIndex1 the Windows list.
  const std::pair<const char*, Cleaner*> positions[] = {{"CBIndex0", &web_},
                                                        {"CBIndex1", &windows_}};
  for (const auto& [name, cleaner] : positions) {
    Skipping([&] {
      const int position = ReadSetting(name, 0);
      if (position >= -1 && position < cleaner->home->count()) {
        cleaner->home->setCurrentIndex(position);
      }
    });
    HomeListChanged(*cleaner);
  }
}

void frmMain::closeEvent(QCloseEvent* event) {
  closed_ = true;
  // Before the load has restored them the lists' positions are not the user's choice, and
  // the stored ones stay. The window closes whatever the registry says.
  if (loaded_) {
    for (const auto& [name, cleaner] :
         {std::pair{"CBIndex0", &web_}, std::pair{"CBIndex1", &windows_}}) {
      StoreSetting(name, cleaner->home->currentIndex());
    }
  }
  event->accept();
}

void frmMain::Reporting(const std::function<void()>& command) {
  // A command that fails (a page that cannot answer, for one) says so instead of
  // taking the program down.
  try {
    command();
  } catch (const std::exception& error) {
    ui_->MessageBox(error.what(), MessageStyle::kOkOnly | MessageStyle::kExclamation, kAppTitle);
  }
}

void frmMain::ReportLoadProblems() {
  if (loadProblems_.empty()) {
    return;
  }
  std::vector<std::string> distinct;
  for (const std::string& problem : loadProblems_) {
    if (std::find(distinct.begin(), distinct.end(), problem) == distinct.end()) {
      distinct.push_back(problem);
    }
  }
  std::string text = "Some of Hushvault's files could not be loaded:\r\n";
  for (const std::string& problem : distinct) {
    text += "\r\n" + problem;
  }
  text += "\r\n\r\nHushvault goes on with what it could load.";
  loadProblems_.clear();
  ui_->MessageBox(text, MessageStyle::kOkOnly | MessageStyle::kExclamation, kAppTitle);
}

void frmMain::DetailListChanged(Cleaner& cleaner) {
  Skipping([&] {
    WebSelectionDocument document(*cleaner.tab->page->page());
    ApplyPreset(cleaner.detailList->Text(cleaner.detailList->SelectedPosition()), cleaner.kind,
                document);
  });
  Skipping([&] { cleaner.homeList->Select(cleaner.detailList->SelectedPosition()); });
}

void frmMain::HomeListChanged(Cleaner& cleaner) {
  Skipping([&] { cleaner.detailList->Select(cleaner.homeList->SelectedPosition()); });
}

void frmMain::SavePresetCommand(Cleaner& cleaner) {
  if (!PageHasCheckBoxes(cleaner)) {
    ui_->MessageBox(std::string("No preset can be saved from this page: it shows no check "
                                "boxes. The selection page '") +
                        cleaner.pageFile +
                        "' is missing or damaged; put it back in Hushvault's config folder, "
                        "then open this tab again.",
                    MessageStyle::kOkOnly | MessageStyle::kExclamation, kAppTitle);
    return;
  }
  const std::optional<std::string> name = ui_->InputText(
      "Preset name:", kAppTitle, cleaner.tab->presetList->currentText().toStdString());
  if (!name || name->empty()) {
    return;
  }
  try {
    WebSelectionDocument document(*cleaner.tab->page->page());
    SavePreset(*name, cleaner.kind, document);
    FillPresetList(cleaner.kind, *cleaner.detailList);
    SelectListEntry(*name, *cleaner.detailList);
  } catch (const std::exception& error) {
    ui_->MessageBox("The preset \"" + *name + "\" could not be saved:\r\n" + error.what(),
                    MessageStyle::kOkOnly | MessageStyle::kExclamation, kAppTitle);
  }
}

bool frmMain::PageHasCheckBoxes(Cleaner& cleaner) {
  try {
    WebSelectionDocument document(*cleaner.tab->page->page());
    return document.CheckBoxCount() > 0;
  } catch (const std::exception&) {
    return false;
  }
}

void frmMain::DeletePresetCommand(Cleaner& cleaner) {
  const std::string name = cleaner.tab->presetList->currentText().toStdString();
  if (IsBlank(name)) {
    return;
  }
  if (ui_->MessageBox("Are you sure you want to delete the selected preset?",
                      MessageStyle::kYesNo | MessageStyle::kQuestion,
                      kAppTitle) != MessageAnswer::kYes) {
    return;
  }
  try {
    DeletePreset(name, cleaner.kind);
    FillPresetList(cleaner.kind, *cleaner.detailList);
  } catch (const std::exception& error) {
    ui_->MessageBox("The preset \"" + name + "\" could not be deleted:\r\n" + error.what(),
                    MessageStyle::kOkOnly | MessageStyle::kExclamation, kAppTitle);
  }
}

void frmMain::CleanCommand(Cleaner& cleaner, bool preview) {
  // The run disables the window from its own thread; a click that comes in before it
  // does must not start a second run.
  if (running_) {
    return;
  }
  const QScopedValueRollback running(running_, true);
  results_.reset();
  WebSelectionDocument page(*cleaner.tab->page->page());
  WindowThreadDocument document(page, *this);
  WindowThreadUserInterface ui(*ui_, *this);
  auto report = std::make_shared<RunReport>();
  RunInBackground(
      [&] {
        CleanRun(cleaner.items, document, ui, setup_.actions, *setup_.restart,
                 {.preview = preview, .report = report.get()});
      },
      CleaningFeed(*report, preview), *this);
  results_ = std::make_unique<frmResults>(report, preview, GCommonDialog(), this);
  results_->show();
  results_->raise();
}

void frmMain::OpenFiles(const std::vector<FileToOpen>& files) {
  if (!files.empty()) {
    fileProtection_->AddFiles(files);
    // A tab switch reloads the pages, which a run may be reading.
    if (!running_ && !fileProtection_->Running() && isEnabled()) {
      ShowTab(kFileProtectionTab);
    }
  }
  if (isMinimized()) {
    showNormal();
  }
  raise();
  activateWindow();
}

void frmMain::ClearClipboard() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear(QClipboard::Clipboard);
  if (clipboard->supportsSelection()) {
    clipboard->clear(QClipboard::Selection);
  }
  ui_->MessageBox("Clipboard Cleared!", MessageStyle::kOkOnly | MessageStyle::kInformation,
                  kAppTitle);
}

}  // namespace hv
