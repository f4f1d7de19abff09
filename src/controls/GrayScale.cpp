#include "controls/GrayScale.h"

namespace hv {

int GrayLevel(int red, int green, int blue) {
  // Rounds without floating point. An exact half would need twice the sum to be an odd
  // multiple of 255, which an even number never is, so there is no tie to break.
  const int weighted = 76 * red + 150 * green + 28 * blue;
  return (2 * weighted + 255) / 510;
}

void ToGrayScale(QImage& picture) {
  if (picture.isNull()) {
    return;
  }
  const bool opaque = !picture.hasAlphaChannel();
  picture.convertTo(opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
  for (int y = 0; y < picture.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb pixel = line[x];
      const int grey = GrayLevel(qRed(pixel), qGreen(pixel), qBlue(pixel));
      line[x] = qRgba(grey, grey, grey, qAlpha(pixel));
    }
  }
}

}  // namespace hv
