#include "app/Widgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

namespace hv {

QPushButton* NamedButton(const char* name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

QComboBox* NamedPresetList(const char* name, QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  list->setEditable(false);
  list->setMinimumContentsLength(18);
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  return list;
}

QGroupBox* Section(const QString& title, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  // A style sheet, unlike a font, keeps the bold title from spreading to the contents.
  box->setStyleSheet("QGroupBox { font-weight: bold; }");
  return box;
}

}  // namespace hv
