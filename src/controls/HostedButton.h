#pragma once

#include <QString>

class QWidget;

namespace hv {

class AnyButton;
class PropertyBag;

// The host's own entries beside a control's properties in its description: the control's
// width and height (in pixels here).
inline constexpr const char* kExtentX = "_extentx";
inline constexpr const char* kExtentY = "_extenty";

// Places an AnyButton called name on parent as the host's description in store says: its
// properties, and its size when the description gives one. Whenever the button reports a
// change, the host writes it back into store, so the description stays the one place
// that holds the button's properties.
AnyButton* HostAnyButton(PropertyBag& store, const QString& name, QWidget* parent);

// Writes the button and its size into store.
void SaveHostedButton(const AnyButton& button, PropertyBag& store);

}  // namespace hv
