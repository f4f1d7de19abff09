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
  const Variant value = ReadPreset("Windows", name);
  const ByteArray* bytes = std::get_if<ByteArray>(&value);
  return bytes ? *bytes : ByteArray{};
}

bool IsStored(const std::string& name) {
  return !std::holds_alternative<std::monostate>(ReadPreset("Windows", name));
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

}  // namespace

void PresetCommandsTest::SaveStoresThePageAndSelectsTheNewName() {
  WindowFixture fixture;
  fixture.Start();
  fixture.SelectTab(2);
  fixture.ClickBox("lstWindows", 1);
  fixture.ui.AnswerInput("All on");
  fixture.Find<QPushButton>("cmdSaveWin")->click();

  QCOMPARE(fixture.ui.events.back(), std::string("input: Preset name: (Hushvault) []"));
  // A read gives the stored bytes and one extra 0.
  QCOMPARE(StoredBytes("All on"), ByteArray({1, 1, 1, 0}));
  auto* detail = fixture.Find<QComboBox>("cboWinPreset");
  QCOMPARE(Entries(detail), QStringList({"All on"}));
  QCOMPARE(detail->currentIndex(), 0);
  QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({true, true, true}));
  // The home list catches up at the next tab switch.
  QCOMPARE(fixture.Find<QComboBox>("cboWindows")->count(), 0);
  fixture.SelectTab(1);
  QCOMPARE(Entries(fixture.Find<QComboBox>("cboWindows")), QStringList({"All on"}));
}

void PresetCommandsTest::SaveUnderAnExistingNameReplacesIt() {
  WritePresetBytes("Windows", "A", {0, 0, 0});
  WritePresetBytes("Windows", "B", {1, 1, 1});
  WindowFixture fixture;
  fixture.Start();
  fixture.SelectTab(2);
  QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, false, false}));
  fixture.ClickBox("lstWindows", 0);
  fixture.ui.AnswerInput("B");
  fixture.Find<QPushButton>("cmdSaveWin")->click();

  QCOMPARE(StoredBytes("B"), ByteArray({1, 0, 0, 0}));
  auto* detail = fixture.Find<QComboBox>("cboWinPreset");
  QCOMPARE(Entries(detail), QStringList({"A", "B"}));
  QCOMPARE(detail->currentText(), QString("B"));
  QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({true, false, false}));
  QVERIFY(fixture.ui.messages.empty());
}

void PresetCommandsTest::SaveWithoutANameSavesNothing_data() {
  QTest::addColumn<bool>("cancelled");
  QTest::newRow("cancelled") << true;
  QTest::newRow("empty text") << false;
}

void PresetCommandsTest::SaveWithoutANameSavesNothing() {
  QFETCH(bool, cancelled);
  WindowFixture fixture;
  fixture.Start();
  fixture.ui.AnswerInput(cancelled ? std::nullopt : std::optional<std::string>(""));
  fixture.Find<QPushButton>("cmdSaveWin")->click();
  QVERIFY(fixture.ui.ScriptUsedUp());
  QCOMPARE(fixture.Find<QComboBox>("cboWinPreset")->count(), 0);
  QVERIFY(!IsStored(""));
  QVERIFY(fixture.ui.messages.empty());
}

void PresetCommandsTest::SaveOffersTheSelectedName() {
  WritePresetBytes("Windows", "Mine", {1, 0, 1});
  WindowFixture fixture;
  fixture.Start();
  fixture.ui.AnswerInput(std::nullopt);
  fixture.Find<QPushButton>("cmdSaveWin")->click();
  QCOMPARE(fixture.ui.events.back(), std::string("input: Preset name: (Hushvault) [Mine]"));
}

void PresetCommandsTest::BlankNameCanBeSavedButNotDeleted() {
  WindowFixture fixture;
  fixture.Start();
  fixture.ui.AnswerInput("   ");
  fixture.Find<QPushButton>("cmdSaveWin")->click();
  QCOMPARE(fixture.Find<QComboBox>("cboWinPreset")->currentText(), QString("   "));
  QCOMPARE(StoredBytes("   "), ByteArray({1, 0, 1, 0}));

  fixture.Find<QPushButton>("cmdDelWin")->click();  // asks nothing, deletes nothing
  QVERIFY(fixture.ui.messages.empty());
  QVERIFY(IsStored("   "));
}

void PresetCommandsTest::ApplyFollowsTheStoredBytes_data() {
  QTest::addColumn<ByteArray>("stored");
  QTest::addColumn<std::vector<bool>>("page");
  QTest::addColumn<std::vector<bool>>("expected");
  QTest::addColumn<QStringList>("clicked");
  const std::vector<bool> sixOn(6, true);
  const std::vector<bool> eightOn(8, true);
  QTest::newRow("one box more: the extra 0 unchecks it")
      << ByteArray{1, 0, 1, 0, 1} << sixOn
      << std::vector<bool>{true, false, true, false, true, false} << QStringList{"K1", "K3", "K5"};
  QTest::newRow("two boxes more: the rest keep their states")
      << ByteArray{1, 0, 1, 0, 1} << eightOn
      << std::vector<bool>{true, false, true, false, true, false, true, true}
      << QStringList{"K1", "K3", "K5"};
  QTest::newRow("fewer boxes: surplus bytes ignored")
      << ByteArray{1, 1, 1, 1, 1} << std::vector<bool>(3, false) << std::vector<bool>(3, true)
      << QStringList{"K0", "K1", "K2"};
  QTest::newRow("a byte other than 0 or 1 unchecks")
      << ByteArray{2, 1, 255} << std::vector<bool>(3, true) << std::vector<bool>{false, true, false}
      << QStringList{"K0", "K2"};
  QTest::newRow("nothing differs: no click") << ByteArray{1, 0} << std::vector<bool>{true, false}
                                             << std::vector<bool>{true, false} << QStringList{};
}

void PresetCommandsTest::ApplyFollowsTheStoredBytes() {
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

void PresetCommandsTest::HomeListAppliesToTheHiddenPage() {
  WritePresetBytes("Windows", "None", {0, 0, 0});
  WritePresetBytes("Windows", "All", {1, 1, 1});
  WindowFixture fixture;
  fixture.Start();
  QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, false, false}));
  fixture.Find<QComboBox>("cboWindows")->setCurrentIndex(1);
  QCOMPARE(fixture.Find<QComboBox>("cboWinPreset")->currentIndex(), 1);
  QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({true, true, true}));
}

void PresetCommandsTest::DeleteAsksAndKeepsThePosition() {
  WritePresetBytes("Windows", "X", {0, 0, 0});
  WritePresetBytes("Windows", "Y", {1, 1, 1});
  WritePresetBytes("Windows", "Z", {0, 1, 0});
  WindowFixture fixture;
  fixture.Start();
  fixture.SelectTab(2);
  auto* detail = fixture.Find<QComboBox>("cboWinPreset");
  detail->setCurrentIndex(1);
  fixture.ui.AnswerMessage(MessageAnswer::kYes);
  fixture.Find<QPushButton>("cmdDelWin")->click();

  QCOMPARE(fixture.ui.messages,
           std::vector<ScriptedUserInterface::Message>(
               {{"Are you sure you want to delete the selected preset?",
                 MessageStyle::kYesNo | MessageStyle::kQuestion, "Hushvault"}}));
  QVERIFY(!IsStored("Y"));
  QCOMPARE(Entries(detail), QStringList({"X", "Z"}));
  QCOMPARE(detail->currentText(), QString("Z"));
  QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, true, false}));
}

void PresetCommandsTest::DeletingTheLastEntrySelectsTheNewLast() {
  WritePresetBytes("Windows", "X", {0, 1, 0});
  WritePresetBytes("Windows", "Y", {1, 1, 1});
  WindowFixture fixture;
  fixture.Start();
  auto* detail = fixture.Find<QComboBox>("cboWinPreset");
  detail->setCurrentIndex(1);
  fixture.ui.AnswerMessage(MessageAnswer::kYes);
  fixture.Find<QPushButton>("cmdDelWin")->click();
  QCOMPARE(Entries(detail), QStringList({"X"}));
  QCOMPARE(detail->currentIndex(), 0);
  QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, true, false}));
}

void PresetCommandsTest::DeletingTheOnlyPresetEmptiesTheList() {
  WritePresetBytes("Windows", "Only", {1, 1, 1});
  WindowFixture fixture;
  fixture.Start();
  fixture.ClickBox("lstWindows", 0);
  fixture.ui.AnswerMessage(MessageAnswer::kYes);
  fixture.Find<QPushButton>("cmdDelWin")->click();
  auto* detail = fixture.Find<QComboBox>("cboWinPreset");
  QCOMPARE(detail->count(), 0);
  QCOMPARE(detail->currentIndex(), -1);
  QVERIFY(!IsStored("Only"));
  QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, true, true}));
}

void PresetCommandsTest::AnsweringNoDeletesNothing() {
  WritePresetBytes("Windows", "Keep", {1, 1, 1});
  WindowFixture fixture;
  fixture.Start();
  fixture.ui.AnswerMessage(MessageAnswer::kNo);
  fixture.Find<QPushButton>("cmdDelWin")->click();
  QVERIFY(IsStored("Keep"));
  QCOMPARE(fixture.Find<QComboBox>("cboWinPreset")->count(), 1);
}

}  // namespace hv::test
