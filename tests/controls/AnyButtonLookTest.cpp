// The arrangement of picture and caption, and the three looks of the button checked on
// the pixels of the rendered widget.
#include <QtTest>

#include "ButtonTestKit.h"
#include "QtTestMain.h"
#include "controls/ButtonLayout.h"
#include "controls/GrayScale.h"

namespace hv::test {
namespace {

const QColor kPictureColor(200, 100, 50);

// An arrangement of picture and caption inside a button of size inner, space pixels
// apart; expected holds image top, image left, label top, label left, or is null when
// nothing is computed.
struct LayoutCase {
  const char* what;
  int arrangement;
  QSize inner, picture, caption;
  int space;
  QRect expected;
};

const LayoutCase kLayouts[] = {
    {"caption below", 0, {100, 80}, {32, 32}, {60, 13}, 4, {15, 34, 51, 20}},
    {"caption right", 1, {100, 80}, {32, 32}, {60, 13}, 4, {24, 2, 33, 38}},
    {"caption left", 2, {100, 80}, {32, 32}, {60, 13}, 4, {24, 66, 33, 2}},
    {"caption above", 3, {100, 80}, {32, 32}, {60, 13}, 4, {32, 34, 15, 20}},
    {"no picture: caption alone centred", 0, {100, 80}, {0, 0}, {60, 13}, 0, {33, 50, 33, 20}},
    // Parts larger than the button: the odd pixel is dropped toward zero on both sides.
    {"caption larger than the button", 0, {50, 10}, {0, 0}, {61, 13}, 0, {-1, 25, -1, -5}},
    {"free", 4, {100, 80}, {32, 32}, {60, 13}, 4, {}},
    {"five", 5, {100, 80}, {32, 32}, {60, 13}, 4, {}},
};

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
  void computedArrangements_data() { AddTableRows(kLayouts); }

  void computedArrangements() {
    QFETCH(int, row);
    const LayoutCase& c = kLayouts[row];
    const auto at = LayOutParts(c.arrangement, c.inner, c.picture, c.caption, c.space);
    QCOMPARE(at.has_value(), !c.expected.isNull());
    if (at) {
      QCOMPARE(QRect(at->imageTop, at->imageLeft, at->labelTop, at->labelLeft), c.expected);
    }
  }

  void borderRings_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("lines");
    // Middle of the top, bottom, left and right sides: outer ring, then inner ring.
    QTest::addColumn<QString>("expected");
    QTest::newRow("normal, two rings") << 1 << 2 << "ABCDABCD";
    QTest::newRow("up, three counts as two") << 2 << 3 << "ABCDABCD";
    QTest::newRow("down, two rings sunken") << 0 << 2 << "CDABCDAB";
    QTest::newRow("normal, inner ring only") << 1 << 1 << "bBbDbBbD";
    QTest::newRow("normal, no border") << 1 << 0 << "bbbbbbbb";
  }

  // Each look takes its own ring count; the button starts at another size, so the rings
  // must follow the resize.
  void borderRings() {
    QFETCH(int, state);
    QFETCH(int, lines);
    QFETCH(QString, expected);
    auto button = MakeButton(60, 30);
    button->resize(100, 40);
    using B = AnyButton;
    const std::pair<void (B::*)(int), void (B::*)()> looks[] = {
        {&B::SetNbLineDown, &B::DOWNposition},
        {&B::SetNbLine, &B::NormalPosition},
        {&B::SetNbLineOver, &B::UPposition}};
    (button.get()->*looks[state].first)(lines);
    (button.get()->*looks[state].second)();
    QCOMPARE(Marks(Render(*button),
                   {{50, 0}, {50, 1}, {50, 39}, {50, 38}, {0, 20}, {1, 20}, {99, 20}, {98, 20}}),
             expected);
  }

  // Every pixel of a small raised button: the rings close without gaps, and the bottom and
  // right lines own the far corners of each ring.
  void raisedBorderPixelByPixel() {
    auto button = MakeButton(8, 6);
    const QImage image = Render(*button);
    QStringList rows;
    for (int y = 0; y < 6; ++y) {
      rows << Marks(image, {{0, y}, {1, y}, {2, y}, {3, y}, {4, y}, {5, y}, {6, y}, {7, y}});
    }
    QCOMPARE(rows,
             QStringList({"AAAAAAAC", "ABBBBBDC", "ABbbbbDC", "ABbbbbDC", "ADDDDDDC", "CCCCCCCC"}));
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
    QCOMPARE(Marks(shot, {image + QPoint(10, 10)}), QString("b"));
    QCOMPARE(button->CaptionArea().topLeft(), label);

    button->DOWNposition();
    shot = Render(*button);
    QCOMPARE(Marks(shot, {image}), QString("d"));
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
    QVERIFY(qAbs(around.left() - around.right()) <= 1);
    QVERIFY(qAbs(around.top() - around.bottom()) <= 1);
    QCOMPARE(Marks(Render(*button), {pictureCorner}), QString("o"));
  }

  // Reading a position after a layout returns the computed value, never the one written;
  // only the free arrangement (4) places the parts where they were written.
  void positionsAfterLayout() {
    for (int arrangement = 0; arrangement <= 4; ++arrangement) {
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
      QCOMPARE(image == QPoint(8, 7), arrangement == 4);
      QCOMPARE(label == QPoint(10, 9), arrangement == 4);
      QCOMPARE(button->PictureArea().topLeft(), image);
      QCOMPARE(button->CaptionArea().topLeft(), label);
      QCOMPARE(QColor(Render(*button).pixel(image)), kPictureColor);
    }
  }

  // Auto-size fits the caption inside the border, whatever the picture.
  void autoSizeFitsTheCaption() {
    auto button = MakeButton(300, 200);
    button->SetPicture(SolidPicture(250, 150, kPictureColor));
    button->SetCaption("Pictured");
    QCOMPARE(button->size(), QSize(300, 200));  // not yet auto-sized
    button->SetAutoSize(true);
    for (const int lines : {2, 0}) {
      button->SetNbLine(lines);
      for (const QString& text : {QString("x"), QString("Visit our website!")}) {
        button->SetCaption(text);
        QCOMPARE(button->size(), QFontMetrics(button->Font()).size(0, text) + QSize(2, 2) * lines);
      }
    }
  }

  // Grey levels round down: mid grey and white come out one short.
  void grayScale() {
    const int levels[][4] = {{255, 0, 0, 76},
                             {0, 255, 0, 150},
                             {0, 0, 255, 28},
                             {128, 128, 128, 127},
                             {255, 255, 255, 254}};
    for (const auto& [red, green, blue, grey] : levels) {
      QCOMPARE(GrayLevel(red, green, blue), grey);
    }

    // Only the chosen look's picture turns grey, keeping its transparency.
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
  }

  // System colours follow the desktop's palette; plain ones are stored blue, green, red.
  void colorsResolveThroughThePalette() {
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(6, 6, 6));
    QCOMPARE(ResolveColor(kColorWindow, palette), QColor(6, 6, 6));
    QCOMPARE(ResolveColor(0x00332211u, palette), QColor(0x11, 0x22, 0x33));
    QCOMPARE(ResolveColor(0x800000FFu, palette), QColor(0, 0, 0));  // no such colour
  }
};

}  // namespace hv::test

HV_QTEST_MAIN(hv::test::AnyButtonLookTest)
#include "AnyButtonLookTest.moc"
