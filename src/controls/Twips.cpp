#include "controls/Twips.h"

#include <QWidget>
#include <algorithm>

namespace hv {
namespace {

constexpr int kTwipsPerInch = 1440;

int Factor(int dotsPerInch) {
  return std::max(1, kTwipsPerInch / std::max(1, dotsPerInch));
}

}  // namespace

int TwipsPerPixelX(const QWidget& widget) {
  return Factor(widget.logicalDpiX());
}

int TwipsPerPixelY(const QWidget& widget) {
  return Factor(widget.logicalDpiY());
}

}  // namespace hv
