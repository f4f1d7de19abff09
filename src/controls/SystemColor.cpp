#include "controls/SystemColor.h"

#include <array>
#include <optional>

namespace hv {
namespace {

// System colour numbers 0 to 30 and the palette role that carries each on this desktop.
// The pairs follow how the desktop's own palette is made from the system colours, so a
// colour keeps its meaning (button face, 3-D shadow, window text...) on every theme.
constexpr std::array<QPalette::ColorRole, 31> kRoles = {
    QPalette::Button,           // 0 scroll bar
    QPalette::Window,           // 1 desktop
    QPalette::Highlight,        // 2 active caption
    QPalette::Mid,              // 3 inactive caption
    QPalette::Window,           // 4 menu
    QPalette::Base,             // 5 window
    QPalette::Shadow,           // 6 window frame
    QPalette::WindowText,       // 7 menu text
    QPalette::Text,             // 8 window text
    QPalette::HighlightedText,  // 9 caption text
    QPalette::Button,           // 10 active border
    QPalette::Button,           // 11 inactive border
    QPalette::Dark,             // 12 application workspace
    QPalette::Highlight,        // 13 highlight
    QPalette::HighlightedText,  // 14 highlight text
    QPalette::Button,           // 15 button face
    QPalette::Dark,             // 16 button shadow
    QPalette::PlaceholderText,  // 17 grey text
    QPalette::ButtonText,       // 18 button text
    QPalette::WindowText,       // 19 inactive caption text
    QPalette::Light,            // 20 3-D highlight
    QPalette::Shadow,           // 21 3-D dark shadow
    QPalette::Midlight,         // 22 3-D light
    QPalette::ToolTipText,      // 23 info text
    QPalette::ToolTipBase,      // 24 info background
    QPalette::Button,           // 25 (unused number)
    QPalette::Link,             // 26 hot-tracked item
    QPalette::Highlight,        // 27 active caption gradient
    QPalette::Mid,              // 28 inactive caption gradient
    QPalette::Highlight,        // 29 menu highlight
    QPalette::Window,           // 30 menu bar
};

std::optional<QPalette::ColorRole> SystemRole(OleColor color) {
  const OleColor number = color & ~kSystemColorFlag;
  if (number >= kRoles.size() || number == 25) {
    return std::nullopt;
  }
  return kRoles[number];
}

}  // namespace

QColor ResolveColor(OleColor color, const QPalette& palette) {
  if ((color & 0xFF000000u) == kSystemColorFlag) {
    const auto role = SystemRole(color);
    return role ? palette.color(QPalette::Active, *role) : QColor(Qt::black);
  }
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

OleColor PlainColor(const QColor& color) {
  return static_cast<OleColor>(color.red()) | static_cast<OleColor>(color.green()) << 8 |
         static_cast<OleColor>(color.blue()) << 16;
}

}  // namespace hv
