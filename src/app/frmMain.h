#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ComboPresetList.h"
#include "app/OpenRequest.h"
#include "clean/CleanActions.h"
#include "fileio/CleanItem.h"

class QCheckBox;
class QComboBox;
class QWebEngineProfile;

namespace hv {

class AboutTab;
class CleanerTab;
class FileProtectionTab;
class frmResults;
class HomeTab;
class RestartService;
class SelectionPage;
class TabControl;
class UserInterface;

// What the window works with, given from outside so that tests can replace it.
struct frmMainSetup {
  QString programFolder;        // the folder that holds config/
  UserInterface* ui = nullptr;  // nullptr: the window's own dialogs
  CleanActions actions;
  RestartService* restart = nullptr;
  std::function<void(const QUrl&)> openUrl;  // empty: the desktop's browser
};

// The address "Visit our website!" opens.
inline constexpr const char* kWebsiteAddress = "https://www.hushvault.org/";

// The main window: a tab strip over five page containers, one shown at a time.
class frmMain : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kTabCount = 5;

  explicit frmMain(frmMainSetup setup, QWidget* parent = nullptr);
  ~frmMain() override;

  // Window load: tabs, definitions and pages, About text, settings and the remembered
  // preset positions. Problems with the program's files are reported in one message.
  // False when the window was closed while it loaded: the load stops there.
  bool Load();

  // Loads both definition files and both pages, waits until both pages are complete and
  // refills the four preset lists. A definition file that cannot be read leaves its list
  // with the records read before the fault; the rest still loads.
  void FileToList();

  // Shows tab n (1-based): the pages are reloaded first.
  void TabSwitch(int n);

  void SetAllCheckboxes(SelectionPage& page, bool state);

  // The container of the File Protection tab; its content goes into the container's
  // layout.
  QWidget* FileProtectionContainer() const { return cntTab_[3]; }

  // Takes files handed to the program into the File Protection lists and shows that tab
  // (unless a run is at work), then brings the window to the front.
  void OpenFiles(const std::vector<FileToOpen>& files);

  UserInterface& Ui() const { return *ui_; }
  QCheckBox* Setting(int index) const;
  const CleanItemList& WindowsItems() const { return windows_.items; }
  const CleanItemList& WebItems() const { return web_.items; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // One activity cleaner: its files, its list of items, its tab and its two preset lists.
  struct Cleaner {
    const char* kind;
    const char* definitionFile;
    const char* pageFile;
    CleanItemList items;
    CleanerTab* tab = nullptr;
    QComboBox* home = nullptr;
    std::unique_ptr<ComboPresetList> homeList;
    std::unique_ptr<ComboPresetList> detailList;
  };

  void AddTabs();
  void GenAbout();
  void ConnectCleaner(Cleaner& cleaner);
  void PlaceCurrentTab();
  QString ConfigPath(const char* file) const;
  void LoadDefinitions(Cleaner& cleaner);
  void WaitForPages();
  void ReadSettings();
  void RestorePresetPositions();
  void ReportLoadProblems();
  void Reporting(const std::function<void()>& command);

  void DetailListChanged(Cleaner& cleaner);
  void HomeListChanged(Cleaner& cleaner);
  void SavePresetCommand(Cleaner& cleaner);
  // False also when the page cannot answer.
  bool PageHasCheckBoxes(Cleaner& cleaner);
  void DeletePresetCommand(Cleaner& cleaner);
  // Clean Now! and Preview: the run works off the window's thread, then the results
  // view shows its report.
  void CleanCommand(Cleaner& cleaner, bool preview);
  void ClearClipboard();
  void SettingChanged(int index);
  void StoreSetting(const std::string& name, int32_t value);

  frmMainSetup setup_;
  std::unique_ptr<UserInterface> ownUi_;
  UserInterface* ui_;
  QWebEngineProfile* profile_;
  TabControl* tabMain_;
  std::array<QWidget*, kTabCount> cntTab_{};
  HomeTab* home_ = nullptr;
  AboutTab* about_ = nullptr;
  FileProtectionTab* fileProtection_ = nullptr;
  Cleaner windows_;
  Cleaner web_;
  int currentTab_ = 0;
  bool loaded_ = false;
  bool closed_ = false;
  bool settingsFailureTold_ = false;
  int switchSerial_ = 0;
  std::vector<std::string> loadProblems_;
  std::unique_ptr<frmResults> results_;
  bool running_ = false;  // a run works off the window's thread
};

}  // namespace hv
