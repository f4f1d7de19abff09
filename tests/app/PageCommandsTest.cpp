// The commands of the cleaner tabs: check boxes, the key lookup, presets, the clean
// commands, and the message boxes they show.
#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include "AppTests.h"
#include "QtTestMain.h"
#include "WindowFixture.h"
#include "app/MessageStyles.h"
#include "ports/UserInterface.h"

namespace hv::test {
namespace {

// Inputs of every sort around three boxes; the second box is written in capitals and
// carries its key only as a name.
const char* const kMixedPage = R"html(<!DOCTYPE html><html><body data-clicks="">
<input type="radio" id="R1" checked>
<input type="checkbox" id="M1" onclick="document.body.dataset.clicks += this.id + ' '">
<input type="text" id="T1" value="x">
<input type="CHECKBOX" name="M2" checked onclick="document.body.dataset.clicks += this.name + ' '">
<input type="radio" id="R2">
<input type="checkbox" id="M3" onclick="document.body.dataset.clicks += this.id + ' '">
<input type="checkbox" id="Twice" checked><input type="checkbox" name="Twice" checked>
</body></html>)html";

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

// A preset applied at start-up to a Windows page of boxes K0, K1, ...: the page and the
// expected states as one digit a box, and the ids the page saw clicked.
struct ApplyCase {
  const char* what;
  ByteArray stored;
  std::string page;
  const char* expected;
  const char* clicked;
};

const ApplyCase kApplyCases[] = {
    {"two boxes more: extra 0, rest unchanged",
     {1, 0, 1, 0, 1},
     "11111111",
     "10101011",
     "K1 K3 K5"},
    {"fewer boxes: surplus bytes ignored", {1, 1, 1, 1, 1}, "000", "111", "K0 K1 K2"},
    {"a byte other than 0 or 1 unchecks", {2, 1, 255}, "111", "010", "K0 K2"},
};

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
    {"last: the new last", {{"X", {0, 1, 0}}, {"Y", {1, 1, 1}}}, 1, kYes, {"X"}, 0, {0, 1, 0}},
    {"only: the page as it is", {{"Only", {1, 1, 1}}}, 0, kYes, {}, -1, {0, 1, 1}},
    {"answered No", {{"Keep", {1, 1, 1}}}, 0, MessageAnswer::kNo, {"Keep"}, 0, {0, 1, 1}},
};

// A preset name and whether Delete Preset takes it: only spaces make a name blank.
struct BlankCase {
  const char* what;
  std::string name;
  bool deletable;
};

const BlankCase kBlankCases[] = {
    {"spaces", "   ", false},
    {"tab", "\t", true},
    {"line feed", "\n", true},
    {"no-break space", "\xc2\xa0", true},
    {"ideographic space", "\xe3\x80\x80", true},
    {"tab between spaces", " \t ", true},
};

class PageCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearProgramRegistry(); }

  void SelectAllAndNoneClickOnlyWhatDiffers() {
    WindowFixture fixture;
    fixture.Start();
    fixture.SelectTab(2);
    fixture.Find<QPushButton>("cmdAppSel")->click();
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({true, true, true}));
    QCOMPARE(fixture.Clicks("lstWindows"), QStringList({"A2"}));
    fixture.Find<QPushButton>("cmdAppSel")->click();  // all checked: no click
    fixture.Find<QPushButton>("cmdAppClear")->click();
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, false, false}));
    QCOMPARE(fixture.Clicks("lstWindows"), QStringList({"A2", "A1", "A2", "A3"}));

    // The Web tab's buttons work on the Web page only.
    fixture.Find<QPushButton>("cmdWebSel")->click();
    QCOMPARE(fixture.States("lstWeb"), std::vector<bool>({true, true}));
    fixture.Find<QPushButton>("cmdWebClear")->click();
    QCOMPARE(fixture.States("lstWeb"), std::vector<bool>({false, false}));
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, false, false}));
  }

  void OnlyCheckboxInputsTakePositionsAndKeysFindAnyElement() {
    WindowFixture fixture;
    fixture.WriteConfig("windows.pick", kMixedPage);
    fixture.Start();
    // M1, M2 (written "CHECKBOX"), M3 and the two "Twice" boxes; radios and text skipped.
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, true, false, true, true}));
    WebSelectionDocument document = fixture.Document("lstWindows");
    const std::pair<std::string, bool> cases[] = {
        {"M1", false},           // by id, unchecked
        {"M2", true},            // by name attribute only
        {"Twice", false},        // two elements share the key: a collection, not checked
        {"Missing", false},      // no element
        {"M1\"); x(\"", false},  // quotes in a key stay inside the key
        {"\xff\xfe", false},     // bytes that are no text
    };
    for (const auto& [key, checked] : cases) {
      QVERIFY2(document.IsCheckedByKey(key) == checked, key.c_str());
    }

    fixture.Find<QPushButton>("cmdAppSel")->click();
    QCOMPARE(fixture.Clicks("lstWindows"), QStringList({"M1", "M3"}));
  }

  // Unsaved changes go when the preset is shown again: at a tab switch or a pick.
  void ShowingThePresetAgainDropsUnsavedChanges() {
    WritePresetBytes("Windows", "Saved", {0, 1, 0});
    WindowFixture fixture;
    fixture.Start();
    fixture.SelectTab(2);
    fixture.ClickBox("lstWindows", 0);
    fixture.ClickBox("lstWindows", 2);
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({true, true, true}));
    fixture.SelectTab(3);
    fixture.SelectTab(2);
    // Unsaved changes are gone: the page shows the preset of the detail list.
    QCOMPARE(fixture.Find<QComboBox>("cboWinPreset")->currentText(), QString("Saved"));
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, true, false}));

    // Picking the preset already selected applies it too. The home list follows by
    // position only, so picking its selected entry changes nothing.
    fixture.ClickBox("lstWindows", 0);
    fixture.PickEntry("cboWinPreset", 0);
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, true, false}));
    fixture.ClickBox("lstWindows", 2);
    fixture.PickEntry("cboWindows", 0);
    QCOMPARE(fixture.States("lstWindows"), std::vector<bool>({false, true, true}));
  }

  // A cleaner tab's button cleans the page as changed there; a home tab's button reloads
  // the page first. A key used twice on the page is passed over by the run.
  void CleanUsesTheChangedPageOnItsTabAndTheReloadedOneAtHome() {
    WritePresetBytes("Web", "Second only", {0, 1});
    WindowFixture fixture;
    fixture.WriteConfig("windows.pick",
                        PageWith({{"A1", true}, {"A1", true}, {"A2", false}, {"A3", true}}));
    fixture.Start();
    fixture.SelectTab(2);
    fixture.ClickBox("lstWindows", 2);
    fixture.ClickBox("lstWindows", 3);
    const auto clean = [&](const char* button, const std::vector<std::string>& expected) {
      fixture.cleaned.clear();
      fixture.ui.AnswerMessage(MessageAnswer::kOk);
      fixture.Find<QPushButton>(button)->click();
      QCOMPARE(fixture.cleaned, expected);
      QCOMPARE(fixture.ui.messages.back().text, std::string("Cleanup Complete!"));
    };
    clean("cmdWinSClean", {"A2"});
    // The Web page was never shown; it holds the preset of the Web lists.
    clean("cmdSWebCleanup", {"B2"});
    fixture.SelectTab(1);
    clean("cmdWindowsClean", {"A3"});
    clean("cmdWebClean", {"B2"});
  }

  void MessageStylesMapToIconsAndButtons() {
    const std::tuple<int, QMessageBox::Icon, QMessageBox::StandardButtons> styles[] = {
        {36, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No},
        {53, QMessageBox::Warning, QMessageBox::Retry | QMessageBox::Cancel},
        {50, QMessageBox::Warning, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore}};
    for (const auto& [style, icon, buttons] : styles) {
      QCOMPARE(MessageIcon(style), icon);
      QCOMPARE(MessageButtons(style), buttons);
    }
    const std::pair<QMessageBox::StandardButton, int> answers[] = {
        {QMessageBox::Yes, MessageAnswer::kYes},
        {QMessageBox::No, MessageAnswer::kNo},
        {QMessageBox::Abort, MessageAnswer::kAbort},
        {QMessageBox::Retry, MessageAnswer::kRetry},
        {QMessageBox::Ignore, MessageAnswer::kIgnore},
        {QMessageBox::NoButton, MessageAnswer::kCancel}};
    for (const auto& [button, answer] : answers) {
      QCOMPARE(MessageAnswerOf(button), answer);
    }
  }

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

    // An existing name is replaced in place.
    fixture.ClickBox("lstWindows", 0);
    fixture.ui.AnswerInput("A");
    fixture.Find<QPushButton>("cmdSaveWin")->click();
    QCOMPARE(StoredBytes("A"), ByteArray({1, 1, 0, 0}));
    QCOMPARE(Entries(detail), QStringList({"A", "New"}));
    QCOMPARE(detail->currentText(), QString("A"));

    // Cancelled, or no name at all: nothing is saved.
    for (const std::optional<std::string>& answer : {std::optional<std::string>(), {""}}) {
      fixture.ui.AnswerInput(answer);
      fixture.Find<QPushButton>("cmdSaveWin")->click();
      QVERIFY(fixture.ui.ScriptUsedUp());
      QCOMPARE(Entries(detail), QStringList({"A", "New"}));
      QVERIFY(StoredBytes("").empty());
    }

    // A blank name is saved, but cannot be deleted: the button asks nothing.
    fixture.ui.AnswerInput("   ");
    fixture.Find<QPushButton>("cmdSaveWin")->click();
    QCOMPARE(detail->currentText(), QString("   "));
    QCOMPARE(StoredBytes("   "), ByteArray({1, 1, 0, 0}));
    fixture.Find<QPushButton>("cmdDelWin")->click();
    QVERIFY(fixture.ui.messages.empty());
    QVERIFY(!StoredBytes("   ").empty());
  }

  void ApplyFollowsTheStoredBytes_data() { AddTableRows(kApplyCases); }

  void ApplyFollowsTheStoredBytes() {
    QFETCH(int, row);
    const auto& [what, stored, page, expected, clicked] = kApplyCases[row];
    WritePresetBytes("Windows", "P", stored);
    WindowFixture fixture;
    std::vector<TestBox> boxes;
    std::vector<std::string> keys;
    for (size_t i = 0; i < page.size(); ++i) {
      keys.push_back("K" + std::to_string(i));
      boxes.push_back({keys.back(), page[i] == '1'});
    }
    fixture.WriteConfig("windows.pick", PageWith(boxes));
    fixture.WriteConfig("winclean.cln", DefinitionsFor(keys));
    fixture.Start();
    QString states;
    for (const bool checked : fixture.States("lstWindows")) {
      states += checked ? '1' : '0';
    }
    QCOMPARE(states, QString(expected));
    // The last load applied the preset once to a fresh page.
    QCOMPARE(fixture.Clicks("lstWindows").join(' '), QString(clicked));
  }

  void DeleteAsksAndSelectsWhatTakesThePlace_data() { AddTableRows(kDeleteCases); }

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
    fixture.PickEntry("cboWinPreset", c.selected);
    const std::string chosen = detail->currentText().toStdString();
    fixture.ClickBox("lstWindows", 0);
    fixture.ui.AnswerMessage(c.answer);
    fixture.Find<QPushButton>("cmdDelWin")->click();

    QCOMPARE(fixture.ui.messages,
             std::vector<ScriptedUserInterface::Message>(
                 {{"Are you sure you want to delete the selected preset?",
                   MessageStyle::kYesNo | MessageStyle::kQuestion, "Hushvault"}}));
    QCOMPARE(!StoredBytes(chosen).empty(), c.answer == MessageAnswer::kNo);
    QCOMPARE(Entries(detail), c.left);
    QCOMPARE(detail->currentIndex(), c.current);
    QCOMPARE(fixture.States("lstWindows"), c.page);
  }

  void DeleteTreatsOnlySpacesAsBlank_data() { AddTableRows(kBlankCases); }

  void DeleteTreatsOnlySpacesAsBlank() {
    QFETCH(int, row);
    const BlankCase& c = kBlankCases[row];
    WritePresetBytes("Windows", c.name, {1, 1, 1});
    WindowFixture fixture;
    fixture.Start();
    fixture.SelectTab(2);
    QCOMPARE(fixture.Find<QComboBox>("cboWinPreset")->currentText().toStdString(), c.name);
    if (c.deletable) {
      fixture.ui.AnswerMessage(MessageAnswer::kYes);
    }
    fixture.Find<QPushButton>("cmdDelWin")->click();
    QVERIFY(fixture.ui.ScriptUsedUp());
    QCOMPARE(fixture.ui.messages.size(), size_t(c.deletable ? 1 : 0));
    QCOMPARE(StoredBytes(c.name).empty(), c.deletable);
  }

  // A page without check boxes (its file missing) has nothing to save: the command says
  // so before asking a name, and the selected preset keeps its bytes.
  void SaveIsRefusedOnAPageWithoutBoxes() {
    WritePresetBytes("Windows", "Real", {1, 0, 1});
    WindowFixture fixture;
    fixture.RemoveConfig("windows.pick");
    fixture.Start();
    fixture.SelectTab(2);
    fixture.ui.AnswerMessage(MessageAnswer::kOk);
    fixture.Find<QPushButton>("cmdSaveWin")->click();
    QVERIFY(fixture.ui.ScriptUsedUp());
    QCOMPARE(fixture.ui.messages.size(), size_t(1));
    const auto& message = fixture.ui.messages.front();
    QVERIFY2(message.text.find("windows.pick") != std::string::npos, message.text.c_str());
    QCOMPARE(message.style, MessageStyle::kExclamation);
    QCOMPARE(StoredBytes("Real"), ByteArray({1, 0, 1, 0}));
  }
};

}  // namespace

QObject* MakePageCommandsTest() {
  return new PageCommandsTest;
}

}  // namespace hv::test

#include "PageCommandsTest.moc"
