#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedUserInterface.h"
#include "TempFolder.h"
#include "app/WebSelectionDocument.h"
#include "app/frmMain.h"
#include "platform/PlatformServices.h"
#include "registry/Variant.h"

class QWidget;

namespace hv::test {

// A check box of a test page: its id (empty for none) and whether it starts checked.
struct TestBox {
  std::string key;
  bool checked = false;
};

// An HTML page whose boxes log every click, by id, in the body's data-clicks attribute
// (the page's own script globals are out of the window's reach).
std::string PageWith(const std::vector<TestBox>& boxes, const std::string& extraBody = "");

// A definition file with one file-kind record per key, each over folder with mask.
std::string DefinitionsFor(const std::vector<std::string>& keys,
                           const std::string& folder = "/nowhere/", const std::string& mask = "*");

// How many files an item with mask "hold" reports before it waits to be stopped.
inline constexpr size_t kHeldAfter = 5;

// A program folder with both cleaners' files, a scripted user and a window made over them.
class WindowFixture {
 public:
  WindowFixture();
  ~WindowFixture();

  // Replaces one file of the config folder (before Start, or before a tab switch).
  void WriteConfig(const std::string& file, const std::string& content) const;
  void RemoveConfig(const std::string& file) const;

  // Makes the window without showing it.
  frmMain& Make();
  // Makes the window, shows it and runs its load.
  frmMain& Start();
  // Closes the window as the user would and forgets it.
  void Close();

  frmMain& Window() { return *window_; }
  template <typename T>
  T* Find(const char* name) const {
    return window_->findChild<T*>(name);
  }

  // The page shown by the browser control called page, its check states in order, and
  // the ids of the boxes it saw clicked, in order.
  WebSelectionDocument Document(const char* page) const;
  std::vector<bool> States(const char* page);
  void ClickBox(const char* page, int position);
  QStringList Clicks(const char* page);

  // Presses a tab of the strip as the user would.
  void SelectTab(int n);
  // Picks an entry of a drop-down list as the user does, from its open list.
  void PickEntry(const char* list, int position);

  ScriptedUserInterface ui;
  // Set before Make: the program's own actions run the items, not the stand-in file action.
  bool standardActions = false;
  // Set before Make: the start found no folder with the program's files and says so.
  std::string configNotFound;
  std::vector<std::string> cleaned;  // keys of the items the stand-in carried out
  std::vector<QUrl> opened;          // addresses handed to the desktop

 private:
  TempFolder folder_;
  PlatformServices services_;
  std::unique_ptr<frmMain> window_;
};

// The registry as the tests see it, through the program's own registry object.
// Removes every setting and preset of the program (before each test).
void ClearProgramRegistry();
void WritePresetBytes(const std::string& kind, const std::string& name, const ByteArray& bytes);
// A value of a section below the program's key ("Settings", "Presets\\Web").
Variant ReadValue(const std::string& section, const std::string& name);

}  // namespace hv::test
