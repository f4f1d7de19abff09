// The arrangement of picture and caption, computed apart from any widget.
#include <QtTest>
#include <vector>

#include "QtTestMain.h"
#include "controls/ButtonLayout.h"

namespace hv::test {

class ButtonLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void computedArrangements_data() {
    QTest::addColumn<int>("arrangement");
    QTest::addColumn<QSize>("inner");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("caption");
    QTest::addColumn<int>("space");
    // Image top, image left, label top, label left; a null rectangle when nothing is computed.
    QTest::addColumn<QRect>("expected");

    const QSize inner(100, 80);
    const QSize picture(32, 32);
    const QSize caption(60, 13);
    QTest::newRow("caption below")
        << 0 << inner << picture << caption << 4 << QRect(15, 34, 51, 20);
    QTest::newRow("caption right") << 1 << inner << picture << caption << 4 << QRect(24, 2, 33, 38);
    QTest::newRow("caption left") << 2 << inner << picture << caption << 4 << QRect(24, 66, 33, 2);
    QTest::newRow("caption above")
        << 3 << inner << picture << caption << 4 << QRect(32, 34, 15, 20);
    QTest::newRow("no picture: caption alone centred")
        << 0 << inner << QSize(0, 0) << caption << 0 << QRect(33, 50, 33, 20);
    QTest::newRow("no picture, caption right")
        << 1 << inner << QSize(0, 0) << caption << 0 << QRect(40, 20, 33, 20);
    // Parts larger than the button: the odd pixel is dropped toward zero on both sides.
    QTest::newRow("caption wider and taller than the button")
        << 0 << QSize(50, 10) << QSize(0, 0) << QSize(61, 13) << 0 << QRect(-1, 25, -1, -5);
    QTest::newRow("odd remaining space")
        << 0 << QSize(33, 21) << QSize(10, 10) << QSize(20, 4) << 2 << QRect(2, 11, 14, 6);
    QTest::newRow("free") << 4 << inner << picture << caption << 4 << QRect();
    QTest::newRow("five") << 5 << inner << picture << caption << 4 << QRect();
    QTest::newRow("negative") << -1 << inner << picture << caption << 4 << QRect();
  }

  void computedArrangements() {
    QFETCH(int, arrangement);
    QFETCH(QSize, inner);
    QFETCH(QSize, picture);
    QFETCH(QSize, caption);
    QFETCH(int, space);
    QFETCH(QRect, expected);

    const auto at = LayOutParts(arrangement, inner, picture, caption, space);
    QCOMPARE(at.has_value(), !expected.isNull());
    if (!at) {
      return;
    }
    QCOMPARE(at->imageTop, expected.x());
    QCOMPARE(at->imageLeft, expected.y());
    QCOMPARE(at->labelTop, expected.width());
    QCOMPARE(at->labelLeft, expected.height());
  }

  // The two rings close without gaps, and lines of different colours never share a pixel.
  void borderRingsCloseWithoutGaps_data() {
    QTest::addColumn<QSize>("inner");
    QTest::newRow("wide") << QSize(100, 40);
    QTest::newRow("small") << QSize(6, 5);
  }

  void borderRingsCloseWithoutGaps() {
    QFETCH(QSize, inner);
    const auto lines = BorderGeometry(inner);
    std::vector<int> cover(inner.width() * inner.height(), 0);
    const auto times = [&](int x, int y) -> int& { return cover[y * inner.width() + x]; };
    for (const BorderLine& line : lines) {
      const QPoint step = line.from.y() == line.to.y() ? QPoint(1, 0) : QPoint(0, 1);
      for (QPoint at = line.from; at != line.to; at += step) {
        if (QRect(QPoint(0, 0), inner).contains(at)) {
          ++times(at.x(), at.y());
        }
      }
    }
    for (int y = 0; y < inner.height(); ++y) {
      for (int x = 0; x < inner.width(); ++x) {
        const bool onRing = x <= 1 || y <= 1 || x >= inner.width() - 2 || y >= inner.height() - 2;
        // Only corners where two lines of the same colour meet are drawn twice.
        const bool sameColourCorner = (x == 0 && y == 0) || (x == 1 && y == 1) ||
                                      (x == inner.width() - 1 && y == inner.height() - 1);
        const int expected = onRing ? (sameColourCorner ? 2 : 1) : 0;
        QVERIFY2(times(x, y) == expected, qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
      }
    }
  }
};

}  // namespace hv::test

HV_QTEST_MAIN(hv::test::ButtonLayoutTest)
#include "ButtonLayoutTest.moc"
