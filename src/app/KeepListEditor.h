#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <string_view>

class QListWidget;
class QPushButton;

namespace hv {

class UserInterface;

// One keep list of the settings store, shown as a list with Add and Remove. Every change
// is stored at once, so the next run, wherever it starts, sees it.
class KeepListEditor : public QWidget {
  Q_OBJECT

 public:
  struct Description {
    const char* title;     // the section's title
    const char* key;       // where the list is stored
    const char* prompt;    // the question of Add
    const char* invalid;   // the message for an entry that cannot be kept, after the entry
    const char* listName;  // the objectNames of the list and of its two buttons
    const char* addName;
    const char* removeName;
    std::optional<std::string> (*entry)(std::string_view typed);  // nullopt: cannot be kept
  };

  KeepListEditor(const Description& description, UserInterface& ui, QWidget* parent = nullptr);

  QListWidget* list;
  QPushButton* cmdAdd;
  QPushButton* cmdRemove;

 private:
  void Add();
  void RemoveSelected();
  void Store();

  Description description_;
  UserInterface& ui_;
};

}  // namespace hv
