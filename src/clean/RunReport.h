#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "clean/CountedFiles.h"
#include "clean/EntryTally.h"
#include "clean/ReportSink.h"

namespace hv {

struct CleanItem;

// The report of one cleaning run or preview: per item what it removed (or would remove)
// and what it left and why, and the totals of the whole run. Entries are kept for showing
// up to a fixed budget, so that a run over millions of files costs fixed memory; the
// counts and totals always take in every entry. The files a preview counts are remembered
// by identity (see CountedFiles), so that a file two items reach is counted once.
//
// The run adds to it on its own thread while the window reads it on another: every
// member may be called from any thread.
class RunReport : public ReportSink {
 public:
  static constexpr size_t kDefaultVisibleBudget = 200'000;

  struct ItemSummary {
    std::string caption;
    EntryTally tally;
    std::string firstReason;  // why its first left entry stayed; empty when none
    size_t firstEntry = 0;    // where its entries start in the visible list
    size_t shownEntries = 0;  // how many of them the visible list holds
  };

  // What the progress display shows while the run works.
  struct Progress {
    std::string item;  // the caption of the item at work; empty before the first
    uint64_t entries = 0;
    uint64_t bytes = 0;
  };

  explicit RunReport(size_t visibleBudget = kDefaultVisibleBudget);

  // The run starts the next checked item; the entries that follow are its own.
  void BeginItem(const CleanItem& item);
  // The item's action gave up with this error; the item counts as left with its text.
  void ItemFailed(const std::string& error);

  void Add(const ReportEntry& entry) override;
  bool FirstCount(const FileIdentity& file) override;

  // Asks the run to stop at its next entry. Any thread may ask, at any time.
  void RequestStop() { stop_.store(true, std::memory_order_relaxed); }
  bool StopRequested() const override { return stop_.load(std::memory_order_relaxed); }

  Progress CurrentProgress() const;
  size_t ItemCount() const;
  ItemSummary Item(size_t index) const;
  // Entry row of item index, row below that item's shownEntries.
  ReportEntry Entry(size_t index, size_t row) const;
  EntryTally Totals() const;
  // Entries counted in the totals that the visible list has no room for.
  uint64_t HiddenEntries() const;

  // "caption: first reason" for every item that left something behind, in run order.
  std::vector<std::string> ItemsLeft() const;

  // The whole report as plain text: a section per item with its entries, then the totals.
  void WriteText(std::ostream& out, const std::string& heading) const;

 private:
  mutable std::mutex mutex_;
  std::atomic<bool> stop_{false};
  size_t budget_;
  std::vector<ItemSummary> items_;
  std::vector<ReportEntry> shown_;
  EntryTally totals_;
  CountedFiles counted_;
};

}  // namespace hv
