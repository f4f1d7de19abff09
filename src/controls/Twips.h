#pragma once

class QWidget;

namespace hv {

// Twips per pixel of the screen the widget is on, as whole numbers (15 at 96 dots per
// inch). Positions cross the tab strip's interface in twips.
int TwipsPerPixelX(const QWidget& widget);
int TwipsPerPixelY(const QWidget& widget);

}  // namespace hv
