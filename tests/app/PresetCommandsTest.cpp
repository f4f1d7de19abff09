// Saving, applying and deleting presets through the window's lists and buttons.
#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include "AppTests.h"
#include "WindowFixture.h"
#include "ports/UserInterface.h"

Q_DECLARE_METATYPE(hv::ByteArray)
Q_DECLARE_METATYPE(std::vector<bool>)

namespace hv::test {
namespace {

QStringList Entries(const QComboBox* list) {
  QStringList entries;
  for (int i = 0; i < list->count(); ++i) {
    entries << list->itemText(i);
  }
  return entries;
}

ByteArray StoredBytes(const std::string& name) {
  const Variant value = ReadValue("Presets\\Windows", name);
  const ByteArray* bytes = std::get_if<ByteArray>(&value);
  return bytes ? *bytes : ByteArray{};
}

bool IsStored(const std::string& name) {
  return !std::holds_alternative<std::monostate>(ReadValue("Presets\\Windows", name));
}

// A Windows page of boxes K0, K1, ... with their definitions.
void WriteWindowsPage(WindowFixture& fixture, const std::vector<bool>& states) {
  std::vector<TestBox> boxes;
  std::vector<std::string> keys;
  for (size_t i = 0; i < states.size(); ++i) {
    keys.push_back("K" + std::to_string(i));
    boxes.push_back({keys.back(), states[i]});
  }
  fixture.WriteConfig("windows.pick", PageWith(boxes));
  fixture.WriteConfig("winclean.cln", DefinitionsFor(keys));
}

// Deleting the selected preset of the Windows page, with its box 0 clicked meanwhile.
struct DeleteCase {
  const char* what;
  std::vector<std::pair<std::string, ByteArray>> presets;
  int selected;
  int answer;
  // What follows: the entries left, the one selected and the page's check states.
  QStringList left;
  int current;
  std::vector<bool> page;
};

constexpr int kYes = MessageAnswer::kYes;
const DeleteCase kDeleteCases[] = {
    {"middle", {{"X", {0}}, {"Y", {1, 1, 1}}, {"Z", {0, 1, 0}}}, 1, kYes, {"X", "Z"}, 1, {0, 1, 0}},
    {"last: the new last", {{"X", {0, 1, 0}}, {"Y", {1, 1, 1}}}, 1, kYes, {"X"}, 0, {0, 1, 0}},
    {"only: the page as it is", {{"Only", {1, 1, 1}}}, 0, kYes, {}, -1, {0, 1, 1}},
    {"answered No", {{"Keep", {1, 1, 1}}}, 0, MessageAnswer::kNo, {"Keep"}, 0, {0, 1, 1}},
};

class PresetCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearProgramRegistry(); }

  void SaveStoresThePageUnderTheNameGiven() {
    WritePresetBytes("Windows", "A", {0, 0, 0});
    WindowFixture fixture;
    fixture.Start();
    fixture.SelectTab(2);
    auto* detail = fixture.Find<QComboBox>("cboWinPreset");
    fixture.ClickBox("lstWindows", 1);
    fixture.ui.AnswerInput("New");
    fixture.Find<QPushButton>("cmdSaveWin")->click();
    // The input offers the selected name; a read gives the stored bytes and one extra 0.
    QCOMPARE(fixture.ui.events.back(), std::string("input: Preset name: (Hushvault) [A]"));
    QCOMPARE(StoredBytes("New"), ByteArray({0, 1, 0, 0}));
    QCOMPARE(Entries(detail), QStringList({"A", "New"}));
    QCOMPARE(detail->currentText(), QString("New"));
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, true, false}));

    // An existing name is replaced in place.
    fixture.ClickBox("lstWindows", 0);
    fixture.ui.AnswerInput("A");
    fixture.Find<QPushButton>("cmdSaveWin")->click();
    QCOMPARE(StoredBytes("A"), ByteArray({1, 1, 0, 0}));
    QCOMPARE(Entries(detail), QStringList({"A", "New"}));
    QCOMPARE(detail->currentText(), QString("A"));
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({true, true, false}));

    // Cancelled, or no name at all: nothing is saved.
    for (const std::optional<std::string>& answer : {std::optional<std::string>(), {""}}) {
      fixture.ui.AnswerInput(answer);
      fixture.Find<QPushButton>("cmdSaveWin")->click();
      QVERIFY(fixture.ui.ScriptUsedUp());
      QCOMPARE(Entries(detail), QStringList({"A", "New"}));
      QVERIFY(!IsStored(""));
    }
    QVERIFY(fixture.ui.messages.empty());
    // The home list catches up at the next tab switch.
    QCOMPARE(Entries(fixture.Find<QComboBox>("cboWindows")), QStringList({"A"}));
    fixture.SelectTab(1);
    QCOMPARE(Entries(fixture.Find<QComboBox>("cboWindows")), QStringList({"A", "New"}));
  }

  void BlankNameCanBeSavedButNotDeleted() {
    WindowFixture fixture;
    fixture.Start();
    fixture.ui.AnswerInput("   ");
    fixture.Find<QPushButton>("cmdSaveWin")->click();
    QCOMPARE(fixture.ui.events.back(), std::string("input: Preset name: (Hushvault) []"));
    QCOMPARE(fixture.Find<QComboBox>("cboWinPreset")->currentText(), QString("   "));
    QCOMPARE(StoredBytes("   "), ByteArray({1, 0, 1, 0}));

    fixture.Find<QPushButton>("cmdDelWin")->click();  // asks nothing, deletes nothing
    QVERIFY(fixture.ui.messages.empty());
    QVERIFY(IsStored("   "));
  }

  void ApplyFollowsTheStoredBytes_data() {
    QTest::addColumn<ByteArray>("stored");
    QTest::addColumn<std::vector<bool>>("page");
    QTest::addColumn<std::vector<bool>>("expected");
    QTest::addColumn<QStringList>("clicked");
    const std::vector<bool> sixOn(6, true);
    const std::vector<bool> eightOn(8, true);
    QTest::newRow("one box more: the extra 0 unchecks it")
        << ByteArray{1, 0, 1, 0, 1} << sixOn
        << std::vector<bool>{true, false, true, false, true, false}
        << QStringList{"K1", "K3", "K5"};
    QTest::newRow("two boxes more: the rest keep their states")
        << ByteArray{1, 0, 1, 0, 1} << eightOn
        << std::vector<bool>{true, false, true, false, true, false, true, true}
        << QStringList{"K1", "K3", "K5"};
    QTest::newRow("fewer boxes: surplus bytes ignored")
        << ByteArray{1, 1, 1, 1, 1} << std::vector<bool>(3, false) << std::vector<bool>(3, true)
        << QStringList{"K0", "K1", "K2"};
    QTest::newRow("a byte other than 0 or 1 unchecks")
        << ByteArray{2, 1, 255} << std::vector<bool>(3, true)
        << std::vector<bool>{false, true, false} << QStringList{"K0", "K2"};
    QTest::newRow("nothing differs: no click") << ByteArray{1, 0} << std::vector<bool>{true, false}
                                               << std::vector<bool>{true, false} << QStringList{};
  }

  void ApplyFollowsTheStoredBytes() {
    QFETCH(ByteArray, stored);
    QFETCH(std::vector<bool>, page);
    QFETCH(std::vector<bool>, expected);
    QFETCH(QStringList, clicked);
    WritePresetBytes("Windows", "P", stored);
    WindowFixture fixture;
    WriteWindowsPage(fixture, page);
    fixture.Start();
    QCOMPARE(fixture.States("lstWindows"), expected);
    // The last load applied the preset once to a fresh page.
    QCOMPARE(fixture.Clicks("lstWindows"), clicked);
  }

  void HomeListAppliesToTheHiddenPage() {
    WritePresetBytes("Windows", "None", {0, 0, 0});
    WritePresetBytes("Windows", "All", {1, 1, 1});
    WindowFixture fixture;
    fixture.Start();
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, false, false}));
    fixture.Find<QComboBox>("cboWindows")->setCurrentIndex(1);
    QCOMPARE(fixture.Find<QComboBox>("cboWinPreset")->currentIndex(), 1);
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({true, true, true}));
  }

  void DeleteAsksAndSelectsWhatTakesThePlace_data() {
    QTest::addColumn<int>("row");
    for (int row = 0; row < int(std::size(kDeleteCases)); ++row) {
      QTest::newRow(kDeleteCases[row].what) << row;
    }
  }

  // The box clicked before deleting shows whether the page was refilled from the new
  // selection.
  void DeleteAsksAndSelectsWhatTakesThePlace() {
    QFETCH(int, row);
    const DeleteCase& c = kDeleteCases[row];
    for (const auto& [name, bytes] : c.presets) {
      WritePresetBytes("Windows", name, bytes);
    }
    WindowFixture fixture;
    fixture.Start();
    fixture.SelectTab(2);
    auto* detail = fixture.Find<QComboBox>("cboWinPreset");
    detail->setCurrentIndex(c.selected);
    const std::string chosen = detail->currentText().toStdString();
    fixture.ClickBox("lstWindows", 0);
    fixture.ui.AnswerMessage(c.answer);
    fixture.Find<QPushButton>("cmdDelWin")->click();

    QCOMPARE(fixture.ui.messages,
             std::vector<ScriptedUserInterface::Message>(
                 {{"Are you sure you want to delete the selected preset?",
                   MessageStyle::kYesNo | MessageStyle::kQuestion, "Hushvault"}}));
    QCOMPARE(IsStored(chosen), c.answer == MessageAnswer::kNo);
    QCOMPARE(Entries(detail), c.left);
    QCOMPARE(detail->currentIndex(), c.current);
    QCOMPARE(fixture.States("lstWindows"), c.page);
  }
};

}  // namespace

QObject* MakePresetCommandsTest() {
  return new PresetCommandsTest;
}

}  // namespace hv::test

#include "PresetCommandsTest.moc"
