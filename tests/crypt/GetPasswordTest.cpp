// The password dialog, driven offscreen: a timer answers each modal window (the password
// dialog or the mismatch message) from a script while GetPassword runs.
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <deque>

#include "QtTestMain.h"
#include "crypt/GetPassword.h"
#include "crypt/frmPassword.h"

namespace {

// One answer: for the password dialog, the text to type and the button to press; for the
// mismatch message, the button to press.
struct Step {
  QString typed;
  QString button;  // "cmdOK", "cmdCancel", "escape", "close", "Retry" or "Cancel"
};

// What the user saw, one line per window: the prompt (marked when shown in red) with the
// box's text on arrival, or the message text.
QStringList Run(const std::string& prompt, bool noConfirm, std::deque<Step> steps,
                std::string& result) {
  QStringList seen;
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    // A window is answered once, unless it stays open (a refused OK); a new dialog may
    // reuse the address of the last one, so the mark sits on the window itself.
    if (modal == nullptr || modal->property("answered").toBool()) {
      return;
    }
    if (steps.empty()) {
      // Not scripted: end it as Cancel would, so that the test fails instead of hanging.
      seen << "unexpected window";
      modal->setProperty("answered", true);
      modal->close();
      return;
    }
    const Step step = steps.front();
    steps.pop_front();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      seen << box->windowTitle() + ": " + box->text();
      box->setProperty("answered", true);
      box->button(step.button == "Retry" ? QMessageBox::Retry : QMessageBox::Cancel)->click();
      return;
    }
    auto* label = modal->findChild<QLabel*>("lblText");
    auto* box = modal->findChild<QLineEdit*>("txtPass");
    const bool red = label->styleSheet().contains("#ff0000");
    seen << (red ? "[red] " : "") + label->text() + " [" + box->text() + "]";
    box->setText(step.typed);
    if (step.button == "escape") {
      QTest::keyClick(modal, Qt::Key_Escape);
    } else if (step.button == "close") {
      modal->close();
    } else {
      modal->findChild<QPushButton*>(step.button)->click();
    }
    modal->setProperty("answered", !modal->isVisible());
  });
  driver.start(5);
  result = hv::GetPassword(prompt, noConfirm);
  if (!steps.empty()) {
    seen << "unused steps";
  }
  return seen;
}

const QString kAgain = "[red] Please re-enter the password to avoid mistyped passwords. []";
const QString kMismatch = "Hushvault: Passwords do not match!";

}  // namespace

Q_DECLARE_METATYPE(std::deque<Step>)

class GetPasswordTest : public QObject {
  Q_OBJECT

 private slots:
  void asks_data() {
    QTest::addColumn<bool>("noConfirm");
    QTest::addColumn<std::deque<Step>>("steps");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("seen");

    const QString ask = "Enter the password: []";
    QTest::newRow("confirmed") << false << std::deque<Step>{{"pw", "cmdOK"}, {"pw", "cmdOK"}}
                               << "pw" << QStringList{ask, kAgain};
    QTest::newRow("blanks refused, then typed")
        << true << std::deque<Step>{{"  ", "cmdOK"}, {"x", "cmdOK"}} << "x"
        << QStringList{ask, "Enter the password: [  ]"};
    QTest::newRow("cancel") << false << std::deque<Step>{{"typed", "cmdCancel"}} << ""
                            << QStringList{ask};
    QTest::newRow("escape") << true << std::deque<Step>{{"typed", "escape"}} << ""
                            << QStringList{ask};
    QTest::newRow("window closed")
        << true << std::deque<Step>{{"typed", "close"}} << "" << QStringList{ask};
    QTest::newRow("mismatch, retry starts empty")
        << false
        << std::deque<Step>{{"one", "cmdOK"},
                            {"two", "cmdOK"},
                            {"", "Retry"},
                            {"three", "cmdOK"},
                            {"three", "cmdOK"}}
        << "three" << QStringList{ask, kAgain, kMismatch, ask, kAgain};
  }

  void asks() {
    QFETCH(bool, noConfirm);
    QFETCH(std::deque<Step>, steps);
    QFETCH(QString, expected);
    QFETCH(QStringList, seen);
    std::string result;
    QCOMPARE(Run("Enter the password:", noConfirm, steps, result), seen);
    QCOMPARE(QString::fromStdString(result), expected);
  }

  void dialogLooksAsDefined() {
    hv::frmPassword dialog;
    QCOMPARE(dialog.windowTitle(), QString(" Password:"));
    QVERIFY(dialog.isModal());
    auto* box = dialog.findChild<QLineEdit*>("txtPass");
    QCOMPARE(box->echoMode(), QLineEdit::Password);
    QVERIFY(box->styleSheet().contains("lineedit-password-character: 42"));
    QVERIFY(dialog.findChild<QPushButton*>("cmdOK")->isDefault());
    QCOMPARE(dialog.findChild<QPushButton*>("cmdOK")->text(), QString("OK"));
    QCOMPARE(dialog.findChild<QPushButton*>("cmdCancel")->text(), QString("Cancel"));
    QVERIFY(!dialog.findChild<QLabel*>("Image1")->pixmap().isNull());
  }

  void blankEntryPutsTheFocusBack() {
    hv::frmPassword dialog;
    dialog.show();
    auto* box = dialog.findChild<QLineEdit*>("txtPass");
    auto* cancel = dialog.findChild<QPushButton*>("cmdCancel");
    cancel->setFocus();
    box->setText("   ");
    dialog.findChild<QPushButton*>("cmdOK")->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(box));
    QCOMPARE(box->text(), QString("   "));
  }
};

HV_QTEST_MAIN(GetPasswordTest)
#include "GetPasswordTest.moc"
