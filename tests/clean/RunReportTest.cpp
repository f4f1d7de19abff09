#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>

#include "clean/RunReport.h"
#include "fileio/CleanItem.h"

namespace hv {
namespace {

ReportEntry Removed(EntryType type, std::string what, std::optional<uint64_t> bytes = {}) {
  return {type, std::move(what), bytes, EntryOutcome::kRemoved, ""};
}

ReportEntry Left(std::string what, std::string reason) {
  return {EntryType::kFile, std::move(what), std::nullopt, EntryOutcome::kLeft, std::move(reason)};
}

CleanItem Named(const std::string& caption) {
  CleanItem item;
  item.Caption = caption;
  return item;
}

TEST(EntryTallyTest, NumbersAreGroupedAndSizesInDecimalUnits) {
  const std::pair<uint64_t, std::string> numbers[] = {
      {0, "0"},
      {1, "1"},
      {999, "999"},
      {1000, "1,000"},
      {1234567, "1,234,567"},
      {18446744073709551615ull, "18,446,744,073,709,551,615"}};
  for (const auto& [number, text] : numbers) {
    EXPECT_EQ(GroupedNumber(number), text);
  }
  const std::pair<uint64_t, std::string> sizes[] = {{0, "0 bytes"},
                                                    {1, "1 byte"},
                                                    {999, "999 bytes"},
                                                    {1000, "1.0 kB"},
                                                    {1234567, "1.2 MB"},
                                                    {999'949, "999.9 kB"},
                                                    {999'999, "1.0 MB"},
                                                    {187'400'000, "187.4 MB"},
                                                    {5'000'000'000'000, "5.0 TB"}};
  for (const auto& [bytes, text] : sizes) {
    EXPECT_EQ(DisplaySize(bytes), text) << bytes;
  }
}

TEST(EntryTallyTest, TotalsLineNamesOnlyWhatIsThere) {
  const struct {
    std::vector<ReportEntry> entries;
    std::string line;
  } cases[] = {
      {{}, "nothing"},
      {{Removed(EntryType::kFile, "a", 0)}, "1 file, 0 bytes"},
      {{Removed(EntryType::kCookie, "c")}, "1 cookie"},
      {{Removed(EntryType::kFile, "a", 1000), Removed(EntryType::kFile, "b", 234567),
        Removed(EntryType::kCookie, "c"), Removed(EntryType::kHistoryEntry, "h"),
        Removed(EntryType::kHistoryEntry, "i"), Removed(EntryType::kSettingsValue, "v")},
       "2 files, 235.6 kB; 1 cookie; 2 history entries; 1 settings value"},
      {{Removed(EntryType::kCacheFile, "x", 4096), Removed(EntryType::kTrashItem, "t", 999),
        Removed(EntryType::kSettingsKey, "k"), Left("f", "permission denied")},
       "1 cache file, 4.1 kB; 1 trash item, 999 bytes; 1 settings key; 1 left behind"},
      {{{EntryType::kFile, "w", 10, EntryOutcome::kWouldBeRemoved, ""}}, "1 file, 10 bytes"},
  };
  for (const auto& c : cases) {
    EntryTally tally;
    for (const ReportEntry& entry : c.entries) {
      tally.Add(entry);
    }
    EXPECT_EQ(TallyLine(tally), c.line);
    EXPECT_EQ(tally.Entries(), c.entries.size());
  }
}

TEST(RunReportTest, KeepsEachItemsEntriesCountsAndFirstReason) {
  RunReport report;
  report.BeginItem(Named("Temp files"));
  report.Add(Removed(EntryType::kFile, "/t/a", 4096));
  report.Add(Left("/t/b", "in use by another program"));
  report.Add(Left("/t/c", "permission denied"));
  report.BeginItem(Named("Cookies"));
  report.Add(Removed(EntryType::kCookie, "cookie of example.org"));
  report.BeginItem(Named("Registry"));
  report.ItemFailed("the key could not be opened");

  ASSERT_EQ(report.ItemCount(), 3u);
  const RunReport::ItemSummary temp = report.Item(0);
  EXPECT_EQ(temp.caption, "Temp files");
  EXPECT_EQ(temp.shownEntries, 3u);
  EXPECT_EQ(temp.firstReason, "in use by another program");
  EXPECT_EQ(TallyLine(temp.tally), "1 file, 4.1 kB; 2 left behind");
  EXPECT_EQ(report.Entry(1, 0), Removed(EntryType::kCookie, "cookie of example.org"));
  EXPECT_EQ(report.Entry(2, 0).reason, "the key could not be opened");
  EXPECT_EQ(report.ItemsLeft(),
            (std::vector<std::string>{"Temp files: in use by another program",
                                      "Registry: the key could not be opened"}));
  EXPECT_EQ(TallyLine(report.Totals()), "1 file, 4.1 kB; 1 cookie; 3 left behind");
  const RunReport::Progress progress = report.CurrentProgress();
  EXPECT_EQ(progress.item, "Registry");
  EXPECT_EQ(progress.entries, 5u);
  EXPECT_EQ(progress.bytes, 4096u);
}

// Past its budget the list stops growing while every count still takes each entry in.
TEST(RunReportTest, VisibleListIsBoundedAndTotalsStayComplete) {
  constexpr size_t kBudget = 1000;
  constexpr uint64_t kEntries = 250'000;
  RunReport report(kBudget);
  report.BeginItem(Named("first"));
  report.Add(Removed(EntryType::kFile, "/only", 1));
  report.BeginItem(Named("many"));
  for (uint64_t i = 0; i < kEntries; ++i) {
    report.Add(Removed(EntryType::kFile, "/f" + std::to_string(i), 512));
  }
  EXPECT_EQ(report.Item(0).shownEntries, 1u);
  EXPECT_EQ(report.Item(1).shownEntries, kBudget - 1);
  EXPECT_EQ(report.Item(1).tally.count[static_cast<size_t>(EntryType::kFile)], kEntries);
  EXPECT_EQ(report.Totals().Bytes(), kEntries * 512 + 1);
  EXPECT_EQ(report.HiddenEntries(), kEntries + 1 - kBudget);
  EXPECT_EQ(report.Entry(1, kBudget - 2).what, "/f" + std::to_string(kBudget - 2));
}

TEST(RunReportTest, TextHasASectionPerItemAndTheTotals) {
  RunReport report(3);
  report.BeginItem(Named("Temp files"));
  report.Add({EntryType::kFile, "/t/a", 2000, EntryOutcome::kWouldBeRemoved, ""});
  report.Add(Left("/t/b", "a link, not followed"));
  report.BeginItem(Named("History"));
  report.Add(Removed(EntryType::kHistoryEntry, "https://example.org/"));
  report.Add(Removed(EntryType::kHistoryEntry, "https://example.net/"));
  std::ostringstream text;
  report.WriteText(text, "Preview");
  EXPECT_EQ(text.str(),
            "Preview\n"
            "\n"
            "Temp files: 1 file, 2.0 kB; 1 left behind\n"
            "  would be removed: /t/a (2.0 kB)\n"
            "  left: /t/b - a link, not followed\n"
            "\n"
            "History: 2 history entries\n"
            "  removed: https://example.org/\n"
            "  (1 more, counted but not listed)\n"
            "\n"
            "Total: 1 file, 2.0 kB; 2 history entries; 1 left behind\n");
}

// The window reads while the run adds: every reading is of a whole entry.
TEST(RunReportTest, ReadingWhileTheRunAddsSeesConsistentCounts) {
  RunReport report;
  report.BeginItem(Named("many"));
  std::thread run([&] {
    for (int i = 0; i < 20'000; ++i) {
      report.Add(Removed(EntryType::kFile, "/f", 2));
    }
  });
  uint64_t lastEntries = 0;
  while (lastEntries < 20'000) {
    const RunReport::Progress progress = report.CurrentProgress();
    EXPECT_EQ(progress.bytes, progress.entries * 2);
    EXPECT_GE(progress.entries, lastEntries);
    lastEntries = progress.entries;
  }
  run.join();
  EXPECT_FALSE(report.StopRequested());
  report.RequestStop();
  EXPECT_TRUE(report.StopRequested());
}

}  // namespace
}  // namespace hv
