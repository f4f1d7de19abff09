#pragma once

#include <cstdint>

#include "clean/ReportSink.h"

namespace bench {

// Throws every entry away: the cost of an action without a report.
class DroppingSink : public hv::ReportSink {
 public:
  void Add(const hv::ReportEntry&) override {}
};

// Keeps what a run's totals need, and the latest entry as a view of it would: the cost of
// the report, without the bounded list of the window.
class CountingSink : public hv::ReportSink {
 public:
  void Add(const hv::ReportEntry& entry) override {
    ++entries;
    bytes += entry.bytes.value_or(0);
    latest = entry;
  }
  uint64_t entries = 0;
  uint64_t bytes = 0;
  hv::ReportEntry latest;
};

}  // namespace bench
