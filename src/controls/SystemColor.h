#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace hv {

// A colour as the button's properties hold it: 0x00BBGGRR for a plain colour, or
// 0x800000nn naming the desktop's system colour number nn.
using OleColor = std::uint32_t;

inline constexpr OleColor kSystemColorFlag = 0x80000000u;

// The system colours the button's defaults name.
inline constexpr OleColor kColorWindow = 0x80000005u;
inline constexpr OleColor kColorWindowText = 0x80000008u;
inline constexpr OleColor kColorButtonFace = 0x8000000Fu;
inline constexpr OleColor kColorButtonShadow = 0x80000010u;
inline constexpr OleColor kColorGrayText = 0x80000011u;
inline constexpr OleColor kColor3DHighlight = 0x80000014u;
inline constexpr OleColor kColor3DDarkShadow = 0x80000015u;
inline constexpr OleColor kColor3DLight = 0x80000016u;

// The colour to paint with: system colours come from the matching role of the palette,
// plain colours from their three bytes. A system colour number the desktop does not
// have paints black, as the desktop itself answers for it.
QColor ResolveColor(OleColor color, const QPalette& palette);

// The plain colour value of an opaque colour (for properties set from a QColor).
OleColor PlainColor(const QColor& color);

}  // namespace hv
