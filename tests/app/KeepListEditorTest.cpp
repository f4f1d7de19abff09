#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <string>
#include <vector>

#include "QtTestMain.h"
#include "ScriptedUserInterface.h"
#include "app/AboutTab.h"
#include "clean/KeepLists.h"

namespace hv {
namespace {

std::vector<std::string> Shown(const QListWidget& list) {
  std::vector<std::string> entries;
  for (int row = 0; row < list.count(); ++row) {
    entries.push_back(list.item(row)->text().toStdString());
  }
  return entries;
}

}  // namespace

// The keep lists on the About / Settings tab: what the user adds or removes is in the
// settings store at once, and a new tab shows what is stored.
class KeepListEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() {
    WriteKeepList(kKeepCookiesKey, {});
    WriteKeepList(kKeepPathsKey, {});
  }

  void AddedSitesAreStoredAtOnceAsHostNames() {
    test::ScriptedUserInterface ui;
    AboutTab tab(ui);
    auto* list = tab.findChild<QListWidget*>("lstKeepCookies");
    auto* add = tab.findChild<QPushButton*>("cmdAddKeepCookie");
    QVERIFY(list != nullptr && add != nullptr);
    for (const char* typed :
         {"https://Mail.Example.org/inbox", "example.net", "example.net", "not a site", ""}) {
      ui.AnswerInput(std::string(typed));
    }
    ui.AnswerInput(std::nullopt);  // cancelled
    ui.AnswerMessage(MessageAnswer::kOk);
    for (int click = 0; click < 6; ++click) {
      add->click();
    }
    const std::vector<std::string> expected = {"mail.example.org", "example.net"};
    QCOMPARE(Shown(*list), expected);
    QCOMPARE(ReadKeepLists().cookieSites, expected);
    QCOMPARE(ui.messages.size(), size_t{1});
    QCOMPARE(ui.messages[0].text, std::string("'not a site' is not a site name."));
    QVERIFY(ui.ScriptUsedUp());
  }

  void RemovedPathsLeaveTheStoreAtOnce() {
    WriteKeepList(kKeepPathsKey, {"/srv/one", "%Cache%/two", "/srv/three"});
    test::ScriptedUserInterface ui;
    AboutTab tab(ui);
    auto* list = tab.findChild<QListWidget*>("lstKeepPaths");
    auto* remove = tab.findChild<QPushButton*>("cmdRemoveKeepPath");
    auto* add = tab.findChild<QPushButton*>("cmdAddKeepPath");
    QVERIFY(list != nullptr && remove != nullptr && add != nullptr);
    QCOMPARE(Shown(*list), (std::vector<std::string>{"/srv/one", "%Cache%/two", "/srv/three"}));

    remove->click();  // nothing selected: nothing goes
    QCOMPARE(ReadKeepLists().paths.size(), size_t{3});
    list->item(1)->setSelected(true);
    remove->click();
    QCOMPARE(ReadKeepLists().paths, (std::vector<std::string>{"/srv/one", "/srv/three"}));

    ui.AnswerInput(std::string("relative/path"));
    ui.AnswerMessage(MessageAnswer::kOk);
    ui.AnswerInput(std::string(" /srv/four/ "));
    add->click();
    add->click();
    QCOMPARE(ReadKeepLists().paths,
             (std::vector<std::string>{"/srv/one", "/srv/three", "/srv/four"}));
    QCOMPARE(ui.messages.size(), size_t{1});
    QCOMPARE(ui.messages[0].text, std::string("'relative/path' is not a full path."));
  }
};

}  // namespace hv

HV_QTEST_MAIN(hv::KeepListEditorTest)
#include "KeepListEditorTest.moc"
