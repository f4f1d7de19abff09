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
    // A window not scripted is still seen (the test fails) and ended as Cancel would.
    Step step{"", "close"};
    if (!steps.empty()) {
      step = steps.front();
      steps.pop_front();
    }
    if (auto* message = qobject_cast<QMessageBox*>(modal)) {
      seen << message->windowTitle() + ": " + message->text();
      message->button(step.button == "Retry" ? QMessageBox::Retry : QMessageBox::Cancel)->click();
    } else {
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

class GetPasswordTest : public QObject {
  Q_OBJECT

 private slots:
  void asks() {
    const QString ask = "Enter the password: []";
    const struct {
      bool noConfirm;
      std::deque<Step> steps;
      QString expected;
      QStringList seen;
    } rows[] = {
        // Blanks refused, the dialog stays and takes the next entry.
        {true, {{"  ", "cmdOK"}, {"x", "cmdOK"}}, "x", {ask, "Enter the password: [  ]"}},
        {false, {{"typed", "cmdCancel"}}, "", {ask}},
        {true, {{"typed", "escape"}}, "", {ask}},
        {true, {{"typed", "close"}}, "", {ask}},
        // Retry starts again with an empty box.
        {false,
         {{"one", "cmdOK"},
          {"two", "cmdOK"},
          {"", "Retry"},
          {"three", "cmdOK"},
          {"three", "cmdOK"}},
         "three",
         {ask, kAgain, kMismatch, ask, kAgain}},
    };
    for (const auto& row : rows) {
      std::string result;
      QCOMPARE(Run("Enter the password:", row.noConfirm, row.steps, result), row.seen);
      QCOMPARE(QString::fromStdString(result), row.expected);
    }
  }

  // A blank entry is refused with the dialog left open and the focus back in the box.
  void dialogLooksAsDefinedAndRefusesBlanks() {
    hv::frmPassword dialog;
    QCOMPARE(dialog.windowTitle(), QString(" Password:"));
    QVERIFY(dialog.isModal());
    auto* box = dialog.findChild<QLineEdit*>("txtPass");
    QCOMPARE(box->echoMode(), QLineEdit::Password);
    auto* ok = dialog.findChild<QPushButton*>("cmdOK");
    QVERIFY(ok->isDefault());

    dialog.show();
    dialog.findChild<QPushButton*>("cmdCancel")->setFocus();
    box->setText("   ");
    ok->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(box));
    QCOMPARE(box->text(), QString("   "));
  }
};

HV_QTEST_MAIN(GetPasswordTest)
#include "GetPasswordTest.moc"
