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
  void SettingIsStoredAtOnceAndPositionsOnlyAtClose();
  void ShownTabFillsThePageAreaAndSettingsShowsTabFive();
  void MissingFilesAreNamedOnceOrShownAsEmptyPage();
  void BrokenDefinitionKeepsTheRecordsBeforeTheFault();
  void TabPickedWhileLoadingWins();
  void ClearClipboardEmptiesItAndSaysSo();
  void WebsiteButtonOpensTheProductPage();
};

class PresetCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearProgramRegistry(); }
  void SaveStoresThePageUnderTheNameGiven();
  void BlankNameCanBeSavedButNotDeleted();
  void ApplyFollowsTheStoredBytes_data();
  void ApplyFollowsTheStoredBytes();
  void HomeListAppliesToTheHiddenPage();
  void DeleteAsksAndSelectsWhatTakesThePlace_data();
  void DeleteAsksAndSelectsWhatTakesThePlace();
};

class PageCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ClearProgramRegistry(); }
  void SelectAllAndNoneClickOnlyWhatDiffers();
  void OnlyCheckboxInputsTakePositionsAndKeysFindAnyElement();
  void TabSwitchReloadsThePage();
  void CleanOnTheCleanerTabUsesTheChangedPage();
  void CleanOnTheHomeTabUsesTheReloadedPage();
  void EveryTabFitsTheDefaultWindow();
  void MessageStylesMapToIconsAndButtons_data();
  void MessageStylesMapToIconsAndButtons();
};

}  // namespace hv::test
