#include "controls/PropertyBag.h"

#include <QDebug>
#include <algorithm>

#include "controls/PropertyText.h"

namespace hv {

PropertyBag PropertyBag::FromText(const QString& text, QStringList* problems) {
  PropertyBag bag;
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QString line = lines[i].trimmed();
    if (line.isEmpty()) {
      continue;
    }
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    const QString name = equals < 0 ? QString() : line.left(equals).trimmed().toLower();
    if (name.isEmpty()) {
      if (problems != nullptr) {
        problems->append(
            QStringLiteral("line %1 is not \"name = value\": %2").arg(i + 1).arg(line));
      }
      continue;
    }
    // A name given twice keeps its last value, as saving again would.
    bag.Put(name, line.mid(equals + 1).trimmed());
  }
  return bag;
}

QString PropertyBag::ToText() const {
  QString text;
  for (const auto& [name, value] : entries_) {
    text += name + QStringLiteral(" = ") + value + QLatin1Char('\n');
  }
  return text;
}

qsizetype PropertyBag::IndexOf(const QString& name) const {
  const QString key = name.toLower();
  const auto kept = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const auto& entry) { return entry.first == key; });
  return kept == entries_.end() ? -1 : kept - entries_.begin();
}

void PropertyBag::Put(const QString& name, const QString& text) {
  const qsizetype index = IndexOf(name);
  if (index < 0) {
    entries_.emplace_back(name.toLower(), text);
  } else {
    entries_[index].second = text;
  }
}

bool PropertyBag::Contains(const QString& name) const {
  return IndexOf(name) >= 0;
}

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& fallback) const {
  const qsizetype index = IndexOf(name);
  if (index < 0) {
    return fallback;
  }
  if (auto value = DecodeValue(entries_[index].second, fallback.metaType())) {
    return *value;
  }
  qWarning().noquote() << "Property" << name << "has an unreadable value; its default is used.";
  return fallback;
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value,
                                const QVariant& fallback) {
  if (value != fallback) {
    Put(name, EncodeValue(value));
  } else if (const qsizetype index = IndexOf(name); index >= 0) {
    entries_.erase(entries_.begin() + index);
  }
}

}  // namespace hv
