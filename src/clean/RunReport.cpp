#include "clean/RunReport.h"

#include "fileio/CleanItem.h"

namespace hv {
namespace {

const char* OutcomeWord(EntryOutcome outcome) {
  switch (outcome) {
    case EntryOutcome::kRemoved:
      return "removed";
    case EntryOutcome::kWouldBeRemoved:
      return "would be removed";
    case EntryOutcome::kLeft:
      break;
  }
  return "left";
}

void WriteEntry(std::ostream& out, const ReportEntry& entry) {
  out << "  " << OutcomeWord(entry.outcome) << ": " << entry.what;
  if (entry.bytes) {
    out << " (" << DisplaySize(*entry.bytes) << ")";
  }
  if (!entry.reason.empty()) {
    out << " - " << entry.reason;
  }
  out << "\n";
}

}  // namespace

RunReport::RunReport(size_t visibleBudget) : budget_(visibleBudget) {}

void RunReport::BeginItem(const CleanItem& item) {
  const std::lock_guard lock(mutex_);
  ItemSummary next;
  next.caption = item.Caption;
  next.firstEntry = shown_.size();
  items_.push_back(std::move(next));
}

void RunReport::ItemFailed(const std::string& error) {
  std::string caption;
  {
    const std::lock_guard lock(mutex_);
    caption = items_.empty() ? std::string() : items_.back().caption;
  }
  Add({EntryType::kFile, caption, std::nullopt, EntryOutcome::kLeft, error});
}

void RunReport::Add(const ReportEntry& entry) {
  const std::lock_guard lock(mutex_);
  if (items_.empty()) {
    items_.push_back({});  // entries from outside any item still count
  }
  ItemSummary& item = items_.back();
  item.tally.Add(entry);
  totals_.Add(entry);
  if (entry.outcome == EntryOutcome::kLeft && item.firstReason.empty()) {
    item.firstReason = entry.reason.empty() ? "not removed" : entry.reason;
  }
  if (shown_.size() < budget_) {
    shown_.push_back(entry);
    ++item.shownEntries;
  }
}

bool RunReport::FirstCount(const FileIdentity& file) {
  const std::lock_guard lock(mutex_);
  return counted_.Count(file);
}

RunReport::Progress RunReport::CurrentProgress() const {
  const std::lock_guard lock(mutex_);
  return {items_.empty() ? std::string() : items_.back().caption, totals_.Entries(),
          totals_.Bytes()};
}

size_t RunReport::ItemCount() const {
  const std::lock_guard lock(mutex_);
  return items_.size();
}

RunReport::ItemSummary RunReport::Item(size_t index) const {
  const std::lock_guard lock(mutex_);
  return items_.at(index);
}

ReportEntry RunReport::Entry(size_t index, size_t row) const {
  const std::lock_guard lock(mutex_);
  const ItemSummary& item = items_.at(index);
  return row < item.shownEntries ? shown_.at(item.firstEntry + row) : ReportEntry{};
}

EntryTally RunReport::Totals() const {
  const std::lock_guard lock(mutex_);
  return totals_;
}

uint64_t RunReport::HiddenEntries() const {
  const std::lock_guard lock(mutex_);
  return totals_.Entries() - shown_.size();
}

std::vector<std::string> RunReport::ItemsLeft() const {
  const std::lock_guard lock(mutex_);
  std::vector<std::string> lines;
  for (const ItemSummary& item : items_) {
    if (item.tally.left > 0) {
      lines.push_back(item.caption + ": " + item.firstReason);
    }
  }
  return lines;
}

void RunReport::WriteText(std::ostream& out, const std::string& heading) const {
  const std::lock_guard lock(mutex_);
  out << heading << "\n";
  for (const ItemSummary& item : items_) {
    out << "\n" << item.caption << ": " << TallyLine(item.tally) << "\n";
    for (size_t row = 0; row < item.shownEntries; ++row) {
      WriteEntry(out, shown_[item.firstEntry + row]);
    }
    const uint64_t unlisted = item.tally.Entries() - item.shownEntries;
    if (unlisted > 0) {
      out << "  (" << GroupedNumber(unlisted) << " more, counted but not listed)\n";
    }
  }
  out << "\nTotal: " << TallyLine(totals_) << "\n";
}

}  // namespace hv
