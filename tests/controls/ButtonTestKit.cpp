#include "ButtonTestKit.h"

#include <QPixmap>
#include <QtTest>

namespace hv::test {

std::unique_ptr<AnyButton> MakeButton(int width, int height) {
  auto button = std::make_unique<AnyButton>();
  button->SetCaption(QString());
  button->SetBackColor(PlainColor(kBack));
  button->SetBackColorOver(PlainColor(kBackOver));
  button->SetBackColorDown(PlainColor(kBackDown));
  button->SetColorLineUpLeftOne(PlainColor(kUpLeftOne));
  button->SetColorLineUpLeftTwo(PlainColor(kUpLeftTwo));
  button->SetColorLineDownRightOne(PlainColor(kDownRightOne));
  button->SetColorLineDownRightTwo(PlainColor(kDownRightTwo));
  button->resize(width, height);
  button->show();
  if (!QTest::qWaitForWindowExposed(button.get())) {
    qWarning("the test button was never shown");
  }
  return button;
}

QImage Render(AnyButton& button) {
  return button.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage SolidPicture(int width, int height, const QColor& color) {
  QImage picture(width, height, QImage::Format_RGB32);
  picture.fill(color);
  return picture;
}

QString ColorName(const QColor& color) {
  const std::pair<QColor, const char*> names[] = {{kBack, "back"},
                                                  {kBackOver, "backOver"},
                                                  {kBackDown, "backDown"},
                                                  {kUpLeftOne, "upLeftOne"},
                                                  {kUpLeftTwo, "upLeftTwo"},
                                                  {kDownRightOne, "downRightOne"},
                                                  {kDownRightTwo, "downRightTwo"}};
  for (const auto& [known, name] : names) {
    if (known == color) {
      return QString::fromLatin1(name);
    }
  }
  return color.name();
}

}  // namespace hv::test
