#pragma once

#include <vector>

#include "clean/RunReport.h"

namespace hv::test {

// Every entry the report shows, item after item.
inline std::vector<ReportEntry> ShownEntries(const RunReport& report) {
  std::vector<ReportEntry> entries;
  for (size_t item = 0; item < report.ItemCount(); ++item) {
    for (size_t row = 0; row < report.Item(item).shownEntries; ++row) {
      entries.push_back(report.Entry(item, row));
    }
  }
  return entries;
}

}  // namespace hv::test
