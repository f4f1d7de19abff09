// The password dialog, driven offscreen: a timer answers each modal window (the password
// dialog or the mismatch message) from a script while GetPassword runs.
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <deque>

#include "QtTestMain.h"
#include "dialogs/GetPassword.h"
#include "dialogs/frmPassword.h"

namespace {

// One answer: for the password dialog, the text to type and the button to press; for the
// mismatch message, the button to press.
struct Step {
  QString typed;
  QString button;  // "cmdOK", "cmdCancel", "close", "Retry" or "Cancel"
};

// What the user saw, one line per window: the prompt (marked when shown in red) with the
// box's text on arrival, or the message text.
QStringList Run(const std::string& prompt, bool noConfirm, std::deque<Step> steps,
                std::string& result) {
  QStringList seen;
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    // A window is answered once; a new dialog may reuse the address of the last one, so the
    // mark sits on the window itself.
    if (modal == nullptr || modal->property("answered").toBool()) {
      return;
    }
    // A window not scripted is still seen (the test fails) and ended as Cancel would.
    const Step step = steps.empty() ? Step{"", "close"} : steps.front();
    if (!steps.empty()) {
      steps.pop_front();
    }
    if (auto* message = qobject_cast<QMessageBox*>(modal)) {
      seen << message->windowTitle() + ": " + message->text();
      message->button(step.button == "Retry" ? QMessageBox::Retry : QMessageBox::Cancel)->click();
    } else {
      auto* label = modal->findChild<QLabel*>("lblText");
      auto* box = modal->findChild<QLineEdit*>("txtPass");
      seen << (label->styleSheet().contains("#ff0000") ? "[red] " : "") + label->text() + " [" +
                  box->text() + "]";
      box->setText(step.typed);
      step.button == "close" ? void(modal->close())
                             : modal->findChild<QPushButton*>(step.button)->click();
    }
    modal->setProperty("answered", !modal->isVisible());
  });
  driver.start(5);
  result = hv::GetPassword(prompt, noConfirm);
  return seen;
}

}  // namespace

class GetPasswordTest : public QObject {
  Q_OBJECT

 private slots:
  void asks() {
    const QString ask = "Enter the password: []";
    const QString again = "[red] Please re-enter the password to avoid mistyped passwords. []";
    const struct {
      bool noConfirm;
      std::deque<Step> steps;
      QString expected;
      QStringList seen;
    } rows[] = {
        {false, {{"typed", "cmdCancel"}}, "", {ask}},
        {true, {{"typed", "close"}}, "", {ask}},
        // Retry starts again with an empty box.
        {false,
         {{"one", "cmdOK"},
          {"two", "cmdOK"},
          {"", "Retry"},
          {"three", "cmdOK"},
          {"three", "cmdOK"}},
         "three",
         {ask, again, "Hushvault: Passwords do not match!", ask, again}},
    };
    for (const auto& row : rows) {
      std::string result;
      QCOMPARE(Run("Enter the password:", row.noConfirm, row.steps, result), row.seen);
      QCOMPARE(QString::fromStdString(result), row.expected);
    }
  }

  // Only spaces make an entry blank: a tab, a no-break or an ideographic space is a
  // password like any other.
  void onlySpacesAreBlank() {
    for (const char* text : {"\t", "\xc2\xa0", "\xe3\x80\x80", " \t "}) {
      const QString typed = QString::fromUtf8(text);
      std::string result;
      QCOMPARE(Run("Enter the password:", true, {{typed, "cmdOK"}}, result),
               QStringList({"Enter the password: []"}));
      QCOMPARE(QString::fromStdString(result), typed);
    }
  }

  // The entry is masked; a blank one is refused with the dialog left open and the focus
  // back in the box.
  void dialogMasksAndRefusesBlanks() {
    hv::frmPassword dialog;
    auto* box = dialog.findChild<QLineEdit*>("txtPass");
    QCOMPARE(box->echoMode(), QLineEdit::Password);
    dialog.show();
    dialog.findChild<QPushButton*>("cmdCancel")->setFocus();
    box->setText("   ");
    dialog.findChild<QPushButton*>("cmdOK")->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(box));
    QCOMPARE(box->text(), QString("   "));
  }
};

HV_QTEST_MAIN(GetPasswordTest)
#include "GetPasswordTest.moc"
