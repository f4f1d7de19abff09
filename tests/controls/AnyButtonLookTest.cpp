// The three looks of the button, checked on the pixels of the rendered widget.
#include <QtTest>
#include <functional>

#include "ButtonTestKit.h"
#include "QtTestMain.h"
#include "controls/GrayScale.h"

namespace hv::test {
namespace {

const QColor kPictureColor(200, 100, 50);

void DrawLook(AnyButton& button, int state) {
  if (state == AnyButton::kDown) {
    button.DOWNposition();
  } else if (state == AnyButton::kUp) {
    button.UPposition();
  } else {
    button.NormalPosition();
  }
}

QString PixelName(const QImage& image, int x, int y) {
  return ColorName(QColor(image.pixel(x, y)));
}

// The four distances from the caption to the edges of the button.
QMargins CaptionMargins(const AnyButton& button) {
  const QRect caption = button.CaptionArea();
  return QMargins(caption.left(), caption.top(), button.width() - caption.right() - 1,
                  button.height() - caption.bottom() - 1);
}

}  // namespace

class AnyButtonLookTest : public QObject {
  Q_OBJECT

 private slots:
  void borderRings_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("lines");
    // Middle of the top, bottom, left and right sides: outer ring, then inner ring.
    QTest::addColumn<QStringList>("expected");

    const QStringList raised = {"upLeftOne", "upLeftTwo", "downRightOne", "downRightTwo",
                                "upLeftOne", "upLeftTwo", "downRightOne", "downRightTwo"};
    const QStringList sunken = {"downRightOne", "downRightTwo", "upLeftOne", "upLeftTwo",
                                "downRightOne", "downRightTwo", "upLeftOne", "upLeftTwo"};
    QTest::newRow("normal, two rings") << 1 << 2 << raised;
    QTest::newRow("up, two rings") << 2 << 2 << raised;
    QTest::newRow("up, three counts as two") << 2 << 3 << raised;
    QTest::newRow("down, two rings sunken") << 0 << 2 << sunken;
    QTest::newRow("normal, inner ring only")
        << 1 << 1 << QStringList{"back", "upLeftTwo", "back", "downRightTwo",
                                 "back", "upLeftTwo", "back", "downRightTwo"};
    QTest::newRow("down, inner ring only")
        << 0 << 1 << QStringList{"backDown", "downRightTwo", "backDown", "upLeftTwo",
                                 "backDown", "downRightTwo", "backDown", "upLeftTwo"};
    QTest::newRow("normal, no border") << 1 << 0 << QStringList(8, "back");
    QTest::newRow("up, negative is no border") << 2 << -1 << QStringList(8, "backOver");
    QTest::newRow("down, no border") << 0 << 0 << QStringList(8, "backDown");
  }

  void borderRings() {
    QFETCH(int, state);
    QFETCH(int, lines);
    QFETCH(QStringList, expected);

    auto button = MakeButton(100, 40);
    const std::function<void(int)> setLines[] = {[&](int n) { button->SetNbLineDown(n); },
                                                 [&](int n) { button->SetNbLine(n); },
                                                 [&](int n) { button->SetNbLineOver(n); }};
    setLines[state](lines);
    DrawLook(*button, state);

    const QImage image = Render(*button);
    const int w = image.width();
    const int h = image.height();
    const QStringList actual = {PixelName(image, w / 2, 0),     PixelName(image, w / 2, 1),
                                PixelName(image, w / 2, h - 1), PixelName(image, w / 2, h - 2),
                                PixelName(image, 0, h / 2),     PixelName(image, 1, h / 2),
                                PixelName(image, w - 1, h / 2), PixelName(image, w - 2, h / 2)};
    QCOMPARE(actual, expected);
  }

  // The classic corners: the bottom and right lines own the far corners of each ring,
  // wherever a resize put them.
  void cornersOfTheRaisedLookFollowTheSize() {
    auto button = MakeButton(60, 30);
    button->resize(30, 20);
    const QImage image = Render(*button);
    QCOMPARE(image.size(), QSize(30, 20));
    QCOMPARE(PixelName(image, 0, 0), QString("upLeftOne"));
    QCOMPARE(PixelName(image, 29, 0), QString("downRightOne"));
    QCOMPARE(PixelName(image, 0, 19), QString("downRightOne"));
    QCOMPARE(PixelName(image, 29, 19), QString("downRightOne"));
    QCOMPARE(PixelName(image, 1, 1), QString("upLeftTwo"));
    QCOMPARE(PixelName(image, 28, 1), QString("downRightTwo"));
    QCOMPARE(PixelName(image, 1, 18), QString("downRightTwo"));
  }

  void downLookMovesPictureAndCaptionOnePixel() {
    auto button = MakeButton(100, 60);
    const QImage picture = SolidPicture(10, 10, kPictureColor);
    button->SetPicture(picture);
    button->SetPictureDown(picture);
    button->SetCaption("Go");

    button->NormalPosition();
    const QPoint image(button->ImageLeft(), button->ImageTop());
    const QPoint label(button->LabelLeft(), button->LabelTop());
    QImage shot = Render(*button);
    QCOMPARE(QColor(shot.pixel(image)), kPictureColor);
    QCOMPARE(PixelName(shot, image.x() + 10, image.y() + 10), QString("back"));
    QCOMPARE(button->CaptionArea().topLeft(), label);

    button->DOWNposition();
    shot = Render(*button);
    QCOMPARE(PixelName(shot, image.x(), image.y()), QString("backDown"));
    QCOMPARE(QColor(shot.pixel(image + QPoint(10, 10))), kPictureColor);
    QCOMPARE(button->CaptionArea().topLeft(), label + QPoint(1, 1));
    // The offset is the look's, not the layout's.
    QCOMPARE(QPoint(button->ImageLeft(), button->ImageTop()), image);
  }

  void lookWithoutPictureCollapsesPictureArea() {
    auto button = MakeButton(120, 60);
    button->SetPicture(SolidPicture(20, 20, kPictureColor));
    button->SetCaption("Hover me");
    QCOMPARE(button->PictureArea().size(), QSize(20, 20));
    QVERIFY(CaptionMargins(*button).top() > CaptionMargins(*button).bottom());
    const QPoint pictureCorner = button->PictureArea().topLeft();

    button->UPposition();
    QVERIFY(button->PictureArea().isEmpty());
    const QMargins around = CaptionMargins(*button);
    QVERIFY2(qAbs(around.left() - around.right()) <= 1, "caption not centred across");
    QVERIFY2(qAbs(around.top() - around.bottom()) <= 1, "caption not centred down");
    QCOMPARE(PixelName(Render(*button), pictureCorner.x(), pictureCorner.y()), QString("backOver"));
  }

  // Reading a position after a layout returns the computed value, never the one written.
  void positionsAfterLayout_data() {
    QTest::addColumn<int>("arrangement");
    QTest::addColumn<bool>("computed");
    QTest::newRow("below") << 0 << true;
    QTest::newRow("right") << 1 << true;
    QTest::newRow("left") << 2 << true;
    QTest::newRow("above") << 3 << true;
    QTest::newRow("free") << 4 << false;
  }

  void positionsAfterLayout() {
    QFETCH(int, arrangement);
    QFETCH(bool, computed);
    auto button = MakeButton(120, 80);
    button->SetPicture(SolidPicture(16, 16, kPictureColor));
    button->SetCaption("Caption");
    button->SetCaptionPictureSpace(3);
    button->SetCaptionPosition(arrangement);
    button->SetImageTop(7);
    button->SetImageLeft(8);
    button->SetLabelTop(9);
    button->SetLabelLeft(10);

    button->NormalPosition();
    const QPoint image(button->ImageLeft(), button->ImageTop());
    const QPoint label(button->LabelLeft(), button->LabelTop());
    if (computed) {
      QVERIFY(image != QPoint(8, 7));
      QVERIFY(label != QPoint(10, 9));
    } else {
      QCOMPARE(image, QPoint(8, 7));
      QCOMPARE(label, QPoint(10, 9));
    }
    QCOMPARE(button->PictureArea().topLeft(), image);
    QCOMPARE(button->CaptionArea().topLeft(), label);
    QCOMPARE(QColor(Render(*button).pixel(image)), kPictureColor);
  }

  void unknownArrangementLeavesPartsWhereTheyWere() {
    auto button = MakeButton(120, 80);
    button->SetCaption("Caption");
    button->NormalPosition();
    const QRect before = button->CaptionArea();
    button->SetCaptionPosition(9);
    button->SetLabelLeft(1);
    button->resize(200, 100);
    button->UPposition();
    QCOMPARE(button->CaptionArea(), before);
    QCOMPARE(button->LabelLeft(), 1);
  }

  void autoSizeFitsTheCaption_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("withPicture");
    QTest::newRow("two rings") << "Visit our website!" << 2 << false;
    QTest::newRow("no border") << "x" << 0 << false;
    QTest::newRow("picture is not counted") << "Pictured" << 1 << true;
  }

  void autoSizeFitsTheCaption() {
    QFETCH(QString, caption);
    QFETCH(int, lines);
    QFETCH(bool, withPicture);
    auto button = MakeButton(300, 200);
    if (withPicture) {
      button->SetPicture(SolidPicture(250, 150, kPictureColor));
    }
    button->SetNbLine(lines);
    button->SetCaption(caption);
    QCOMPARE(button->size(), QSize(300, 200));  // not yet auto-sized

    button->SetAutoSize(true);
    const QSize text = QFontMetrics(button->Font()).size(0, caption);
    QCOMPARE(button->size(), text + QSize(2 * lines, 2 * lines));

    button->SetCaption(caption + caption);
    const QSize longer = QFontMetrics(button->Font()).size(0, caption + caption);
    QCOMPARE(button->size(), longer + QSize(2 * lines, 2 * lines));
  }

  // A disabled button draws its caption in the desktop's grey text colour instead.
  void disabledCaptionIsGrey() {
    auto button = MakeButton(200, 60);
    const QColor fore(255, 0, 255);
    QFont large = button->Font();
    large.setPixelSize(30);
    large.setBold(true);
    button->SetFont(large);
    button->SetForeColor(PlainColor(fore));
    button->SetCaption("HIH");
    const auto countFore = [&] {
      const QImage image = Render(*button);
      int count = 0;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          count += QColor(image.pixel(x, y)) == fore ? 1 : 0;
        }
      }
      return count;
    };
    QVERIFY(countFore() > 20);
    button->SetEnabled(false);
    QCOMPARE(countFore(), 0);
    QVERIFY(!button->Enabled());
  }

  void mouseIconIsThePointerOverTheButton() {
    auto button = MakeButton();
    button->SetMouseIcon(SolidPicture(16, 16, kPictureColor));
    QCOMPARE(button->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(button->cursor().pixmap().size(), QSize(16, 16));
    button->SetMouseIcon(QImage());
    QCOMPARE(button->cursor().shape(), Qt::ArrowCursor);
  }

  void grayLevel_data() {
    QTest::addColumn<QColor>("color");
    QTest::addColumn<int>("grey");
    QTest::newRow("black") << QColor(0, 0, 0) << 0;
    QTest::newRow("white stays short of 255") << QColor(255, 255, 255) << 254;
    QTest::newRow("red") << QColor(255, 0, 0) << 76;
    QTest::newRow("green") << QColor(0, 255, 0) << 150;
    QTest::newRow("blue") << QColor(0, 0, 255) << 28;
    QTest::newRow("yellow") << QColor(255, 255, 0) << 226;
    QTest::newRow("mid grey rounds down") << QColor(128, 128, 128) << 127;
    QTest::newRow("rounds up from .596") << QColor(2, 0, 0) << 1;
    QTest::newRow("rounds down from .22") << QColor(0, 0, 2) << 0;
    QTest::newRow("mixed") << QColor(10, 20, 30) << 18;
  }

  void grayLevel() {
    QFETCH(QColor, color);
    QFETCH(int, grey);
    QCOMPARE(GrayLevel(color.red(), color.green(), color.blue()), grey);
  }

  void imageGrayScaleTurnsOnlyTheChosenPictureGrey() {
    auto button = MakeButton();
    QImage picture(2, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(255, 0, 0, 255));
    picture.setPixel(1, 0, qRgba(0, 255, 0, 100));
    button->SetPicture(picture);
    button->SetPictureOver(picture);

    button->ImageGrayScale(1);
    const QImage grey = button->Picture();
    QCOMPARE(grey.pixel(0, 0), qRgba(76, 76, 76, 255));
    QCOMPARE(qGray(grey.pixel(1, 0)), 150);
    QCOMPARE(qAlpha(grey.pixel(1, 0)), 100);
    QCOMPARE(button->PictureOver().pixel(0, 0), qRgba(255, 0, 0, 255));
    // The normal look shows the grey picture at once.
    QCOMPARE(QColor(Render(*button).pixel(button->ImageLeft(), button->ImageTop())),
             QColor(76, 76, 76));

    button->ImageGrayScale(7);  // no such look: nothing changes
    QCOMPARE(button->PictureOver().pixel(0, 0), qRgba(255, 0, 0, 255));
  }

  // System colours follow the desktop's palette (the five of the border and face are
  // checked on a drawn button below); plain ones are their own bytes.
  void colorsResolveThroughThePalette_data() {
    QTest::addColumn<uint>("color");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("window") << 0x80000005u << QColor(6, 6, 6);
    QTest::newRow("window text") << 0x80000008u << QColor(7, 7, 7);
    QTest::newRow("plain colour is blue, green, red") << 0x00332211u << QColor(0x11, 0x22, 0x33);
    QTest::newRow("no such system colour") << 0x800000FFu << QColor(0, 0, 0);
  }

  void colorsResolveThroughThePalette() {
    QFETCH(uint, color);
    QFETCH(QColor, expected);
    QCOMPARE(ResolveColor(color, TestPalette()), expected);
  }

  void newButtonDrawsWithTheDesktopColours() {
    AnyButton button;
    button.setPalette(TestPalette());
    button.resize(120, 40);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    const QImage image = button.grab().toImage();
    QCOMPARE(QColor(image.pixel(3, 20)), QColor(1, 1, 1));   // button face
    QCOMPARE(QColor(image.pixel(60, 0)), QColor(2, 2, 2));   // 3-D highlight
    QCOMPARE(QColor(image.pixel(60, 1)), QColor(4, 4, 4));   // 3-D light
    QCOMPARE(QColor(image.pixel(60, 39)), QColor(3, 3, 3));  // 3-D dark shadow
    QCOMPARE(QColor(image.pixel(60, 38)), QColor(5, 5, 5));  // button shadow
  }

 private:
  static QPalette TestPalette() {
    QPalette palette;
    const std::pair<QPalette::ColorRole, int> roles[] = {
        {QPalette::Button, 1}, {QPalette::Light, 2}, {QPalette::Shadow, 3}, {QPalette::Midlight, 4},
        {QPalette::Dark, 5},   {QPalette::Base, 6},  {QPalette::Text, 7}};
    for (const auto& [role, level] : roles) {
      palette.setColor(role, QColor(level, level, level));
    }
    return palette;
  }
};

}  // namespace hv::test

HV_QTEST_MAIN(hv::test::AnyButtonLookTest)
#include "AnyButtonLookTest.moc"
