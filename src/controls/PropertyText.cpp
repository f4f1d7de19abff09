#include "controls/PropertyText.h"

#include <QBuffer>
#include <QFont>
#include <QImage>

namespace hv {
namespace {

constexpr QLatin1StringView kPicturePrefix("png:");

QString Quote(const QString& text) {
  QString quoted = QStringLiteral("\"");
  for (const QChar c : text) {
    switch (c.unicode()) {
      case '\\':
        quoted += QStringLiteral("\\\\");
        break;
      case '"':
        quoted += QStringLiteral("\\\"");
        break;
      case '\n':
        quoted += QStringLiteral("\\n");
        break;
      case '\r':
        quoted += QStringLiteral("\\r");
        break;
      case '\t':
        quoted += QStringLiteral("\\t");
        break;
      default:
        quoted += c;
    }
  }
  return quoted + QLatin1Char('"');
}

// Quoted text loses its quotes and escapes; bare text (written by hand) stands as it is.
QString Unquote(const QString& text) {
  if (text.size() < 2 || !text.startsWith(QLatin1Char('"')) || !text.endsWith(QLatin1Char('"'))) {
    return text;
  }
  QString plain;
  const QString inner = text.mid(1, text.size() - 2);
  for (qsizetype i = 0; i < inner.size(); ++i) {
    QChar c = inner[i];
    if (c == QLatin1Char('\\') && i + 1 < inner.size()) {
      c = inner[++i];
      if (c == QLatin1Char('n')) {
        c = QLatin1Char('\n');
      } else if (c == QLatin1Char('r')) {
        c = QLatin1Char('\r');
      } else if (c == QLatin1Char('t')) {
        c = QLatin1Char('\t');
      }
    }
    plain += c;
  }
  return plain;
}

QString EncodePicture(const QImage& picture) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "PNG");
  return kPicturePrefix + QString::fromLatin1(png.toBase64());
}

std::optional<QVariant> DecodePicture(const QString& text) {
  if (!text.startsWith(kPicturePrefix)) {
    return std::nullopt;
  }
  const auto bytes = QByteArray::fromBase64Encoding(text.mid(kPicturePrefix.size()).toLatin1(),
                                                    QByteArray::AbortOnBase64DecodingErrors);
  QImage picture;
  if (!bytes || !picture.loadFromData(*bytes, "PNG")) {
    return std::nullopt;
  }
  return QVariant(picture);
}

std::optional<QVariant> DecodeBool(const QString& text) {
  const QString word = text.toLower();
  if (word == QLatin1String("true") || word == QLatin1String("-1") || word == QLatin1String("1")) {
    return QVariant(true);
  }
  if (word == QLatin1String("false") || word == QLatin1String("0")) {
    return QVariant(false);
  }
  return std::nullopt;
}

std::optional<QVariant> DecodeUnsigned(const QString& text) {
  bool ok = false;
  const uint value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                         ? text.mid(2).toUInt(&ok, 16)
                         : text.toUInt(&ok, 10);
  return ok ? std::optional<QVariant>(QVariant(value)) : std::nullopt;
}

}  // namespace

QString EncodeValue(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Bool:
      return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::UInt:
      return QStringLiteral("0x") +
             QStringLiteral("%1").arg(value.toUInt(), 8, 16, QLatin1Char('0')).toUpper();
    case QMetaType::QFont:
      return value.value<QFont>().toString();
    case QMetaType::QImage:
      return EncodePicture(value.value<QImage>());
    case QMetaType::QString:
      return Quote(value.toString());
    default:
      return value.toString();
  }
}

std::optional<QVariant> DecodeValue(const QString& text, QMetaType type) {
  switch (type.id()) {
    case QMetaType::Bool:
      return DecodeBool(text);
    case QMetaType::UInt:
      return DecodeUnsigned(text);
    case QMetaType::Int: {
      bool ok = false;
      const int value = text.toInt(&ok, 10);
      return ok ? std::optional<QVariant>(QVariant(value)) : std::nullopt;
    }
    case QMetaType::QFont: {
      QFont font;
      return font.fromString(text) ? std::optional<QVariant>(QVariant(font)) : std::nullopt;
    }
    case QMetaType::QImage:
      return DecodePicture(text);
    case QMetaType::QString:
      return QVariant(Unquote(text));
    default:
      return std::nullopt;
  }
}

}  // namespace hv
