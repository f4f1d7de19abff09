// Following the pointer: the events the button raises and the looks it draws.
#include <QMouseEvent>
#include <QtTest>
#include <functional>

#include "ButtonTestKit.h"
#include "QtTestMain.h"

namespace hv::test {
namespace {

// Records the button's events in the order they come.
class EventLog {
 public:
  explicit EventLog(AnyButton& button) {
    QObject::connect(&button, &AnyButton::EnterButton, [this] { names_ << "Enter"; });
    QObject::connect(&button, &AnyButton::ExitButton, [this] { names_ << "Exit"; });
    QObject::connect(&button, &AnyButton::Click, [this] { names_ << "Click"; });
    QObject::connect(&button, &AnyButton::RightMouseUP, [this] { names_ << "RightUp"; });
  }
  QString Text() const { return names_.join(' '); }

 private:
  QStringList names_;
};

void Send(AnyButton& button, QEvent::Type type, QPoint at, Qt::MouseButton changed,
          Qt::MouseButtons held) {
  QMouseEvent event(type, at, button.mapToGlobal(at), changed, held, Qt::NoModifier);
  QCoreApplication::sendEvent(&button, &event);
}

// Plays a script of pointer steps, separated by ";": "m x y" moves with no button held,
// "mL x y" moves holding the left button, "pL"/"rL" and "pR"/"rR" press and release the
// left or right button at x y.
void Play(AnyButton& button, const QString& script) {
  for (const QString& step : script.split(';', Qt::SkipEmptyParts)) {
    const QStringList words = step.simplified().split(' ');
    QVERIFY2(words.size() == 3, qPrintable("bad step: " + step));
    const QPoint at(words[1].toInt(), words[2].toInt());
    const QString verb = words[0];
    const Qt::MouseButton which = verb.endsWith('R') ? Qt::RightButton : Qt::LeftButton;
    if (verb == "m") {
      Send(button, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    } else if (verb == "mL") {
      Send(button, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    } else if (verb.startsWith('p')) {
      Send(button, QEvent::MouseButtonPress, at, which, which);
    } else if (verb.startsWith('r')) {
      Send(button, QEvent::MouseButtonRelease, at, which, Qt::NoButton);
    } else {
      QFAIL(qPrintable("unknown step: " + step));
    }
  }
}

// The button is 100 x 40; x 100 and y 40 are its right and bottom edges. Each script ends
// with the events raised, the look drawn and the Position left.
struct Script {
  const char* what;
  int style;
  const char* steps;
  const char* events;
  int drawn;
  int position;
};

const Script kScripts[] = {
    {"push: left held inside", 0, "m 50 20; pL 50 20; mL 51 20", "Enter Enter", 0, 1},
    {"push: click", 0, "m 50 20; pL 50 20; rL 50 20", "Enter Click", 1, 2},
    {"push: dragged out, released outside", 0, "m 50 20; pL 50 20; mL 150 20; rL 150 20",
     "Enter Enter Exit", 1, 1},
    {"one move past the right edge", 0, "m 99 20; m 101 20", "Enter Enter Exit", 1, 1},
    {"the edges count as inside", 0, "m 99 20; m 100 20; m 100 40", "Enter Enter Enter", 2, 1},
    {"right button released", 0, "m 50 20; pR 50 20; rR 50 20", "Enter RightUp", 2, 1},
    {"latch: second click releases", 1, "m 50 20; pL 50 20; rL 50 20; pL 50 20; rL 50 20",
     "Enter Click Click", 1, 1},
    {"latch: leaving while latched stays down", 1, "m 50 20; pL 50 20; rL 50 20; m 150 20",
     "Enter Click Enter Exit", 0, 0},
};

}  // namespace

class AnyButtonPointerTest : public QObject {
  Q_OBJECT

 private slots:
  void scripts_data() { AddTableRows(kScripts); }

  void scripts() {
    QFETCH(int, row);
    const Script& script = kScripts[row];
    auto button = MakeButton(100, 40);
    button->SetStyle(script.style);
    const EventLog log(*button);
    Play(*button, script.steps);
    QCOMPARE(log.Text(), QString(script.events));
    QCOMPARE(int(button->DrawnState()), script.drawn);
    QCOMPARE(button->Position(), script.position);
  }

  // Losing the mouse to another window, or being hidden, counts as leaving.
  void leavingWithoutAMove() {
    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    const std::function<void(AnyButton&)> ways[] = {[&](AnyButton& button) {
                                                      other.grabMouse();
                                                      QEvent leave(QEvent::Leave);
                                                      QCoreApplication::sendEvent(&button, &leave);
                                                      other.releaseMouse();
                                                    },
                                                    [](AnyButton& button) { button.hide(); }};
    for (const auto& leave : ways) {
      auto button = MakeButton(100, 40);
      const EventLog log(*button);
      Play(*button, "m 50 20");
      leave(*button);
      QCOMPARE(log.Text(), QString("Enter Exit"));
      QCOMPARE(button->DrawnState(), AnyButton::kNormal);
    }
  }

  void disabledButtonLetsGoAndIgnoresThePointer() {
    auto button = MakeButton(100, 40);
    Play(*button, "m 50 20");
    const EventLog log(*button);
    button->SetEnabled(false);
    QCOMPARE(QWidget::mouseGrabber(), nullptr);
    const auto drawn = button->DrawnState();
    Play(*button, "m 50 20; pL 50 20; rL 50 20");
    QCOMPARE(log.Text(), QString());
    QCOMPARE(button->DrawnState(), drawn);
  }
};

}  // namespace hv::test

HV_QTEST_MAIN(hv::test::AnyButtonPointerTest)
#include "AnyButtonPointerTest.moc"
