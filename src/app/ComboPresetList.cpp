#include "app/ComboPresetList.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <stdexcept>

namespace hv {

ComboPresetList::ComboPresetList(QComboBox& combo, std::function<void()> selectionChange)
    : combo_(combo), selectionChange_(std::move(selectionChange)) {
  QObject::connect(&combo_, &QComboBox::activated, &combo_, [this] { selectionChange_(); });
}

int ComboPresetList::Count() const {
  return combo_.count();
}

std::string ComboPresetList::Text(int position) const {
  return combo_.itemText(position).toStdString();
}

int ComboPresetList::SelectedPosition() const {
  return combo_.currentIndex();
}

void ComboPresetList::Select(int position) {
  if (position < -1 || position >= combo_.count()) {
    throw std::out_of_range("the list has no entry " + std::to_string(position));
  }
  if (position != combo_.currentIndex()) {
    combo_.setCurrentIndex(position);
    selectionChange_();
  }
}

void ComboPresetList::Clear() {
  const QSignalBlocker quiet(&combo_);
  combo_.clear();
}

void ComboPresetList::Add(const std::string& name) {
  // The combo box selects the first entry added by itself; the presets code selects.
  const QSignalBlocker quiet(&combo_);
  const int selected = combo_.currentIndex();
  combo_.addItem(QString::fromStdString(name));
  combo_.setCurrentIndex(selected);
}

}  // namespace hv
