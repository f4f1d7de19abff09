#pragma once

#include <QStringList>
#include <utility>
#include <vector>

#include "controls/PropertyStore.h"

namespace hv {

// A property store kept as text: one "name = value" line per kept property, names in
// lower case, in the order they were first written. This is the form in which a window
// keeps the description of its controls.
class PropertyBag : public PropertyStore {
 public:
  PropertyBag() = default;

  // Reads a description. Lines that are not "name = value" are passed over and listed in
  // problems (when given), so one bad line costs only itself.
  static PropertyBag FromText(const QString& text, QStringList* problems = nullptr);
  QString ToText() const;

  // A kept value that cannot be read in the type asked for reads as the fallback.
  QVariant ReadProperty(const QString& name, const QVariant& fallback) const override;
  void WriteProperty(const QString& name, const QVariant& value, const QVariant& fallback) override;

  bool Contains(const QString& name) const;
  int Count() const { return static_cast<int>(entries_.size()); }

 private:
  qsizetype IndexOf(const QString& name) const;  // -1 when name is not kept
  void Put(const QString& name, const QString& text);

  // Lower-case name and the value's text.
  std::vector<std::pair<QString, QString>> entries_;
};

}  // namespace hv
