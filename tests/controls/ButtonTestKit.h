#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "controls/AnyButton.h"

namespace hv::test {

// Plain colours that no theme uses, one for every colour property, so that a pixel of
// the rendered button tells which property painted it: b, o, d the back colours of the
// normal, up and down looks, A and B the up-left lines (outer, inner ring), C and D the
// down-right lines.
struct TestColor {
  void (AnyButton::*set)(OleColor);
  QColor color;
  char mark;
};
inline const TestColor kTestColors[] = {{&AnyButton::SetBackColor, {10, 20, 30}, 'b'},
                                        {&AnyButton::SetBackColorOver, {40, 50, 60}, 'o'},
                                        {&AnyButton::SetBackColorDown, {70, 80, 90}, 'd'},
                                        {&AnyButton::SetColorLineUpLeftOne, {250, 0, 0}, 'A'},
                                        {&AnyButton::SetColorLineUpLeftTwo, {0, 250, 0}, 'B'},
                                        {&AnyButton::SetColorLineDownRightOne, {0, 0, 250}, 'C'},
                                        {&AnyButton::SetColorLineDownRightTwo, {250, 250, 0}, 'D'}};

// A shown button of the given size (a top-level window of its own) painted in the
// colours above, with an empty caption so that nothing but background lies inside the
// border.
inline std::unique_ptr<AnyButton> MakeButton(int width = 100, int height = 40) {
  auto button = std::make_unique<AnyButton>();
  button->SetCaption(QString());
  for (const TestColor& test : kTestColors) {
    (button.get()->*test.set)(PlainColor(test.color));
  }
  button->resize(width, height);
  button->show();
  if (!QTest::qWaitForWindowExposed(button.get())) {
    qWarning("the test button was never shown");
  }
  return button;
}

inline QImage Render(AnyButton& button) {
  return button.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QImage SolidPicture(int width, int height, const QColor& color) {
  QImage picture(width, height, QImage::Format_RGB32);
  picture.fill(color);
  return picture;
}

// The marks of the test colours at the given pixels, '?' for any other colour.
inline QString Marks(const QImage& image, std::initializer_list<QPoint> pixels) {
  QString marks;
  for (const QPoint pixel : pixels) {
    const auto test =
        std::find_if(std::begin(kTestColors), std::end(kTestColors),
                     [&](const TestColor& t) { return t.color == image.pixel(pixel); });
    marks += test == std::end(kTestColors) ? '?' : test->mark;
  }
  return marks;
}

}  // namespace hv::test
