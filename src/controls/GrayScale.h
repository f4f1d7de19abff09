#pragma once

#include <QImage>

namespace hv {

// The grey level of a colour: 76 R / 255 + 150 G / 255 + 28 B / 255, rounded to the
// nearest integer. The weights add up to 254, so white turns to 254, not 255.
int GrayLevel(int red, int green, int blue);

// Turns every pixel of picture into its grey level, keeping its transparency.
void ToGrayScale(QImage& picture);

}  // namespace hv
