#pragma once

#include <QString>

class QComboBox;
class QGroupBox;
class QPushButton;
class QWidget;

namespace hv {

// Controls made the same way on every tab: named as the program names them, so that
// tests and the File Protection tab find them by objectName.
QPushButton* NamedButton(const char* name, const QString& caption, QWidget* parent);
QComboBox* NamedPresetList(const char* name, QWidget* parent);
QGroupBox* Section(const QString& title, QWidget* parent);

}  // namespace hv
