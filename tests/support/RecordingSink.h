#pragma once

#include <optional>
#include <vector>

#include "clean/ReportSink.h"

namespace hv::test {

// Keeps every entry an action reports, in order; asks to stop once stopAfter entries came.
class RecordingSink : public ReportSink {
 public:
  void Add(const ReportEntry& entry) override { entries.push_back(entry); }
  bool StopRequested() const override { return stopAfter && entries.size() >= *stopAfter; }

  std::vector<ReportEntry> entries;
  std::optional<size_t> stopAfter;
};

}  // namespace hv::test
