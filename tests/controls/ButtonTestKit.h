#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <memory>

#include "controls/AnyButton.h"

namespace hv::test {

// Plain colours that no theme uses, one for every colour property, so that a pixel of
// the rendered button tells which property painted it.
inline const QColor kBack(10, 20, 30);
inline const QColor kBackOver(40, 50, 60);
inline const QColor kBackDown(70, 80, 90);
inline const QColor kUpLeftOne(250, 0, 0);
inline const QColor kUpLeftTwo(0, 250, 0);
inline const QColor kDownRightOne(0, 0, 250);
inline const QColor kDownRightTwo(250, 250, 0);

// A shown button of the given size (a top-level window of its own) painted in the
// colours above, with an empty caption so that nothing but background lies inside the
// border.
std::unique_ptr<AnyButton> MakeButton(int width = 100, int height = 40);

// The button as it looks now.
QImage Render(AnyButton& button);

// A picture of one colour.
QImage SolidPicture(int width, int height, const QColor& color);

// The name of the test colour, for readable failures ("back", "upLeftOne"...).
QString ColorName(const QColor& color);

}  // namespace hv::test
