// The button's persistent properties: each under its own name, in the order of the
// control's interface, with the default it is read and written with.
#include <QSignalBlocker>
#include <functional>
#include <vector>

#include "controls/AnyButton.h"
#include "controls/PropertyStore.h"

namespace hv {
namespace {

struct Property {
  const char* name;
  std::function<QVariant(const AnyButton&)> read;
  std::function<void(AnyButton&, const QVariant&)> write;
  std::function<QVariant(const AnyButton&)> fallback;
};

template <typename T, typename Reader, typename Writer>
Property Make(const char* name, Reader reader, Writer writer, T fallback) {
  return {
      name, [reader](const AnyButton& button) { return QVariant::fromValue((button.*reader)()); },
      [writer](AnyButton& button, const QVariant& value) { (button.*writer)(value.value<T>()); },
      [fallback](const AnyButton&) { return QVariant::fromValue(fallback); }};
}

// The three fonts default to the host's font, which only the control knows.
template <typename Reader, typename Writer>
Property MakeFont(const char* name, Reader reader, Writer writer) {
  Property font = Make(name, reader, writer, QFont());
  font.fallback = [](const AnyButton& button) { return QVariant(button.AmbientFont()); };
  return font;
}

// Stored line colours default to black: only a control that was never stored starts
// with the desktop's 3-D colours, and saving keeps those, since they are not black.
constexpr OleColor kBlack = 0;

const std::vector<Property>& Properties() {
  using B = AnyButton;
  static const std::vector<Property> properties = {
      Make("BackColor", &B::BackColor, &B::SetBackColor, kColorButtonFace),
      Make("Caption", &B::Caption, &B::SetCaption, QStringLiteral("MyButton")),
      Make("ForeColor", &B::ForeColor, &B::SetForeColor, kColorWindowText),
      Make("Picture", &B::Picture, &B::SetPicture, QImage()),
      Make("PictureOver", &B::PictureOver, &B::SetPictureOver, QImage()),
      Make("PictureDown", &B::PictureDown, &B::SetPictureDown, QImage()),
      Make("CaptionPosition", &B::CaptionPosition, &B::SetCaptionPosition, 0),
      Make("BackColorOver", &B::BackColorOver, &B::SetBackColorOver, kColorWindow),
      Make("BackColorDown", &B::BackColorDown, &B::SetBackColorDown, kColorWindow),
      Make("ForeColorOver", &B::ForeColorOver, &B::SetForeColorOver, kColorWindowText),
      Make("ForeColorDown", &B::ForeColorDown, &B::SetForeColorDown, kColorWindowText),
      Make("ImageTop", &B::ImageTop, &B::SetImageTop, 0),
      Make("ImageLeft", &B::ImageLeft, &B::SetImageLeft, 0),
      Make("LabelTop", &B::LabelTop, &B::SetLabelTop, 0),
      Make("LabelLeft", &B::LabelLeft, &B::SetLabelLeft, 0),
      Make("Position", &B::Position, &B::SetPosition, 1),
      Make("NbLine", &B::NbLine, &B::SetNbLine, 2),
      Make("NbLineOver", &B::NbLineOver, &B::SetNbLineOver, 2),
      Make("NbLineDown", &B::NbLineDown, &B::SetNbLineDown, 2),
      Make("ColorLineUpLeftOne", &B::ColorLineUpLeftOne, &B::SetColorLineUpLeftOne, kBlack),
      Make("ColorLineUpLeftTwo", &B::ColorLineUpLeftTwo, &B::SetColorLineUpLeftTwo, kBlack),
      Make("ColorLineDownRightOne", &B::ColorLineDownRightOne, &B::SetColorLineDownRightOne,
           kBlack),
      Make("ColorLineDownRightTwo", &B::ColorLineDownRightTwo, &B::SetColorLineDownRightTwo,
           kBlack),
      MakeFont("Font", &B::Font, &B::SetFont),
      MakeFont("FontOver", &B::FontOver, &B::SetFontOver),
      MakeFont("FontDown", &B::FontDown, &B::SetFontDown),
      Make("CaptionPictureSpace", &B::CaptionPictureSpace, &B::SetCaptionPictureSpace, 0),
      Make("Style", &B::Style, &B::SetStyle, 0),
      Make("MouseIcon", &B::MouseIcon, &B::SetMouseIcon, QImage()),
      Make("Enabled", &B::Enabled, &B::SetEnabled, true),
      Make("AutoSize", &B::AutoSize, &B::SetAutoSize, false),
  };
  return properties;
}

}  // namespace

void AnyButton::ReadProperties(const PropertyStore& store) {
  {
    // Loading is not a change the host has to store again.
    const QSignalBlocker quiet(this);
    for (const Property& property : Properties()) {
      property.write(
          *this, store.ReadProperty(QString::fromLatin1(property.name), property.fallback(*this)));
    }
  }
  RedrawPosition();
}

void AnyButton::WriteProperties(PropertyStore& store) const {
  for (const Property& property : Properties()) {
    store.WriteProperty(QString::fromLatin1(property.name), property.read(*this),
                        property.fallback(*this));
  }
}

}  // namespace hv
