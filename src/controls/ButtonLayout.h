#pragma once

#include <QColor>
#include <QPoint>
#include <QSize>
#include <array>
#include <optional>

namespace hv {

// Where the button's picture and caption go: the top-left corners of both parts.
struct PartPositions {
  int imageTop = 0;
  int imageLeft = 0;
  int labelTop = 0;
  int labelLeft = 0;

  friend bool operator==(const PartPositions&, const PartPositions&) = default;
};

// CaptionPosition values.
enum CaptionArrangement : int {
  kCaptionBelow = 0,
  kCaptionRight = 1,
  kCaptionLeft = 2,
  kCaptionAbove = 3,
  kCaptionFree = 4,
};

// Half of a pixel distance, the remainder dropped toward zero, so that a part larger
// than the button hangs over both edges by the same amount.
constexpr int Half(int distance) {
  return distance / 2;
}

// The computed arrangement of picture and caption inside a button of size inner, space
// pixels apart; none for Free or a value that names no arrangement, where the caller
// decides where the parts go.
std::optional<PartPositions> LayOutParts(int captionPosition, QSize inner, QSize picture,
                                         QSize caption, int space);

// One border line of the button: a horizontal or vertical run of pixels from `from` up
// to, but not including, `to`, so that lines meeting at a corner never overdraw.
struct BorderLine {
  const char* name;
  QPoint from;
  QPoint to;
};

// The eight border lines for a button of size inner, outer ring ("1") first, each side in
// the order top, left, bottom, right.
std::array<BorderLine, 8> BorderGeometry(QSize inner);

}  // namespace hv
