#include "app/KeepListEditor.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <vector>

#include "app/Widgets.h"
#include "clean/KeepLists.h"
#include "ports/UserInterface.h"

namespace hv {
namespace {

std::vector<std::string> StoredList(const char* key) {
  const KeepLists stored = ReadKeepLists();
  return std::string_view(key) == kKeepCookiesKey ? stored.cookieSites : stored.paths;
}

}  // namespace

KeepListEditor::KeepListEditor(const Description& description, UserInterface& ui, QWidget* parent)
    : QWidget(parent),
      list(nullptr),
      cmdAdd(nullptr),
      cmdRemove(nullptr),
      description_(description),
      ui_(ui) {
  QGroupBox* section = Section(description.title, this);
  list = new QListWidget(section);
  cmdAdd = NamedButton(description.addName, "Add...", section);
  cmdRemove = NamedButton(description.removeName, "Remove", section);
  list->setObjectName(description.listName);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  for (const std::string& entry : StoredList(description.key)) {
    list->addItem(QString::fromStdString(entry));
  }
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(cmdAdd);
  buttons->addWidget(cmdRemove);
  buttons->addStretch(1);
  auto* sectionLayout = new QHBoxLayout(section);
  sectionLayout->addWidget(list, 1);
  sectionLayout->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(section);
  connect(cmdAdd, &QPushButton::clicked, this, &KeepListEditor::Add);
  connect(cmdRemove, &QPushButton::clicked, this, &KeepListEditor::RemoveSelected);
}

void KeepListEditor::Add() {
  const std::optional<std::string> typed = ui_.InputText(description_.prompt, kAppTitle, "");
  if (!typed || typed->empty()) {
    return;
  }
  const std::optional<std::string> entry = description_.entry(*typed);
  if (!entry) {
    ui_.MessageBox("'" + *typed + "'" + description_.invalid, MessageStyle::kExclamation,
                   kAppTitle);
    return;
  }
  const QString text = QString::fromStdString(*entry);
  if (list->findItems(text, Qt::MatchExactly).isEmpty()) {
    list->addItem(text);
    Store();
  }
}

void KeepListEditor::RemoveSelected() {
  const QList<QListWidgetItem*> selected = list->selectedItems();
  if (selected.isEmpty()) {
    return;
  }
  for (QListWidgetItem* item : selected) {
    delete list->takeItem(list->row(item));
  }
  Store();
}

void KeepListEditor::Store() {
  std::vector<std::string> entries;
  for (int row = 0; row < list->count(); ++row) {
    entries.push_back(list->item(row)->text().toStdString());
  }
  try {
    WriteKeepList(description_.key, entries);
  } catch (const std::exception& error) {
    ui_.MessageBox(std::string("The list could not be stored: ") + error.what(),
                   MessageStyle::kExclamation, kAppTitle);
  }
}

}  // namespace hv
