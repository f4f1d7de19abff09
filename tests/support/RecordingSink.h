#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "clean/ReportSink.h"

namespace hv::test {

// Keeps every entry an action reports, in order; asks to stop once stopAfter entries came.
class RecordingSink : public ReportSink {
 public:
  void Add(const ReportEntry& entry) override { entries.push_back(entry); }
  bool StopRequested() const override { return stopAfter && entries.size() >= *stopAfter; }

  // What was reported, by path with root cut off: "removed", "would be removed", or the
  // reason it was left.
  std::map<std::string, std::string> OutcomesBelow(const std::string& root) const {
    std::map<std::string, std::string> outcomes;
    for (const ReportEntry& entry : entries) {
      outcomes[entry.what.substr(root.size())] = entry.outcome == EntryOutcome::kLeft ? entry.reason
                                                 : entry.outcome == EntryOutcome::kRemoved
                                                     ? "removed"
                                                     : "would be removed";
    }
    return outcomes;
  }

  std::vector<ReportEntry> entries;
  std::optional<size_t> stopAfter;
};

}  // namespace hv::test
