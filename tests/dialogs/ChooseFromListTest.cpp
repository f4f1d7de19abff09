// The list-choice dialog, driven offscreen: each case answers the modal dialog from a
// timer once it is shown, then checks what ChooseFromList returned.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "QtTestMain.h"
#include "dialogs/ChooseFromList.h"
#include "dialogs/frmChoose.h"

namespace {

using Answer = std::function<void(hv::frmChoose&)>;

// What the dialog looked like while it was open.
struct Seen {
  bool shown = false;
  QString title;
  QString prompt;
  QStringList entries;
};

// Calls ChooseFromList and answers the dialog, if one appears, with answer.
std::string Choose(const std::string& list, const Answer& answer, Seen& seen) {
  // Tied to a local object, so a timer that found no dialog dies with this call.
  const QObject scope;
  QTimer::singleShot(0, &scope, [&] {
    auto* dialog = qobject_cast<hv::frmChoose*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      return;
    }
    seen.shown = true;
    seen.title = dialog->windowTitle();
    seen.prompt = dialog->findChild<QLabel*>("lblCaption")->text();
    auto* listBox = dialog->findChild<QListWidget*>("lstChoose");
    for (int row = 0; row < listBox->count(); ++row) {
      seen.entries << listBox->item(row)->text();
    }
    answer(*dialog);
  });
  return hv::ChooseFromList("Select a Netscape Profile:", list);
}

void Select(hv::frmChoose& dialog, int row) {
  dialog.findChild<QListWidget*>("lstChoose")->setCurrentRow(row);
}

void Click(hv::frmChoose& dialog, const char* button) {
  dialog.findChild<QPushButton*>(button)->click();
}

}  // namespace

Q_DECLARE_METATYPE(Answer)

class ChooseFromListTest : public QObject {
  Q_OBJECT

 private slots:
  void answers_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("expected");

    const Answer okOnSecond = [](hv::frmChoose& d) {
      Select(d, 1);
      Click(d, "cmdOk");
    };
    const Answer okOnNothing = [](hv::frmChoose& d) { Click(d, "cmdOk"); };
    const Answer cancelAfterSelecting = [](hv::frmChoose& d) {
      Select(d, 0);
      Click(d, "cmdCancel");
    };

    QTest::newRow("Ok with an entry") << "Default;Work;Old" << okOnSecond << "Work";
    QTest::newRow("Ok with nothing selected") << "Default;Work" << okOnNothing << "";
    QTest::newRow("Cancel") << "Default;Work" << cancelAfterSelecting << "";
    // Without a ';' the list is the answer and no dialog appears.
    QTest::newRow("one entry") << "Default" << okOnNothing << "Default";
    QTest::newRow("empty list") << "" << okOnNothing << "";
  }

  // The rows run in order, so each call also shows that the selection of the one before
  // does not carry over.
  void answers() {
    QFETCH(QString, list);
    QFETCH(Answer, answer);
    QFETCH(QString, expected);
    Seen seen;
    const std::string result = Choose(list.toStdString(), answer, seen);
    QCOMPARE(QString::fromStdString(result), expected);
    QCOMPARE(seen.shown, list.contains(';'));
    if (!seen.shown) {
      return;
    }
    QCOMPARE(seen.entries, list.split(';'));
    QCOMPARE(seen.title, QString(" Choose an option:"));
    QCOMPARE(seen.prompt, QString("Select a Netscape Profile:"));
  }
};

HV_QTEST_MAIN(ChooseFromListTest)
#include "ChooseFromListTest.moc"
