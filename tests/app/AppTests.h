#pragma once

#include <QObject>

#include "WindowFixture.h"

namespace hv::test {

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearProgramRegistry(); }
  // Runs first: the test program starts on a damaged settings store.
  void DamagedSettingsStoreIsReportedOnce();
  void FirstStartBuildsTabsAndStoresDefaultSettings();
  void StoredSettingsAreRestored();
  void SettingIsStoredAtOnceAndPositionsOnlyAtClose();
  void ListWithoutPresetsIsStoredAsNoSelection();
  void SettingsButtonShowsTabFive();
  void ShownTabFillsThePageArea();
  void MissingDefinitionFileIsNamedOnce();
  void BrokenDefinitionKeepsTheRecordsBeforeTheFault();
  void MissingPageLoadsAsEmptyPage();
  void TabPickedWhileLoadingWins();
  void ClearClipboardEmptiesItAndSaysSo();
  void WebsiteButtonOpensTheProductPage();
};

class PresetCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearProgramRegistry(); }
  void SaveStoresThePageAndSelectsTheNewName();
  void SaveUnderAnExistingNameReplacesIt();
  void SaveWithoutANameSavesNothing_data();
  void SaveWithoutANameSavesNothing();
  void SaveOffersTheSelectedName();
  void BlankNameCanBeSavedButNotDeleted();
  void ApplyFollowsTheStoredBytes_data();
  void ApplyFollowsTheStoredBytes();
  void HomeListAppliesToTheHiddenPage();
  void DeleteAsksAndKeepsThePosition();
  void DeletingTheLastEntrySelectsTheNewLast();
  void DeletingTheOnlyPresetEmptiesTheList();
  void AnsweringNoDeletesNothing();
};

class PageCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearProgramRegistry(); }
  void SelectAllAndNoneClickOnlyWhatDiffers();
  void OnlyCheckboxInputsTakePositions();
  void KeyLookupFollowsIdNameAndUniqueness();
  void TabSwitchReloadsThePage();
  void CleanOnTheCleanerTabUsesTheChangedPage();
  void CleanOnTheHomeTabUsesTheReloadedPage();
  void ShippedPagesMatchTheirDefinitions_data();
  void ShippedPagesMatchTheirDefinitions();
  void EveryTabFitsTheDefaultWindow();
  void MessageStylesMapToIconsAndButtons_data();
  void MessageStylesMapToIconsAndButtons();
};

}  // namespace hv::test
