#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <optional>

namespace hv {

// The text form of a property value: numbers in decimal (colours in hexadecimal),
// Booleans as true or false, strings quoted with backslash escapes, fonts in Qt's font
// description, pictures as base64 PNG.
QString EncodeValue(const QVariant& value);

// The value of text in the given type; none when the text does not hold one.
std::optional<QVariant> DecodeValue(const QString& text, QMetaType type);

}  // namespace hv
