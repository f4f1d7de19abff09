#pragma once

#include <QString>
#include <QVariant>

namespace hv {

// The host's store of a control's persistent properties. Names are compared without
// regard to case. A value equal to its default is not kept, and a value that is not
// kept reads as the default the reader gives.
class PropertyStore {
 public:
  virtual ~PropertyStore() = default;

  // The kept value of name in the type of fallback, or fallback when none is kept.
  virtual QVariant ReadProperty(const QString& name, const QVariant& fallback) const = 0;

  // Keeps value under name, or forgets name when value equals fallback.
  virtual void WriteProperty(const QString& name, const QVariant& value,
                             const QVariant& fallback) = 0;
};

}  // namespace hv
