#include "cli/ReportJson.h"

#include "clean/RunReport.h"

namespace hv::cli {
namespace {

const char* TypeName(EntryType type) {
  switch (type) {
    case EntryType::kFile:
      return "file";
    case EntryType::kSettingsValue:
      return "settings-value";
    case EntryType::kSettingsKey:
      return "settings-key";
    case EntryType::kCookie:
      return "cookie";
    case EntryType::kHistoryEntry:
      return "history-entry";
    case EntryType::kCacheFile:
      return "cache-file";
    case EntryType::kTrashItem:
      return "trash-item";
  }
  return "unknown";
}

const char* OutcomeName(EntryOutcome outcome) {
  switch (outcome) {
    case EntryOutcome::kRemoved:
      return "removed";
    case EntryOutcome::kWouldBeRemoved:
      return "would-be-removed";
    case EntryOutcome::kLeft:
      return "left";
  }
  return "unknown";
}

nlohmann::json TallyJson(const EntryTally& tally) {
  return {{"count", tally.Entries() - tally.left},
          {"bytes", tally.Bytes()},
          {"left", tally.left},
          {"summary", TallyLine(tally)}};
}

nlohmann::json EntryJson(const ReportEntry& entry) {
  nlohmann::json json = {{"type", TypeName(entry.type)},
                         {"what", entry.what},
                         {"outcome", OutcomeName(entry.outcome)},
                         {"bytes", nullptr},
                         {"reason", nullptr}};
  if (entry.bytes) {
    json["bytes"] = *entry.bytes;
  }
  if (!entry.reason.empty()) {
    json["reason"] = entry.reason;
  }
  return json;
}

}  // namespace

std::string JsonText(const nlohmann::json& document) {
  return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

nlohmann::json ItemsJson(const RunReport& report, const std::vector<std::string>& itemKeys) {
  nlohmann::json items = nlohmann::json::array();
  for (size_t index = 0; index < report.ItemCount(); ++index) {
    const RunReport::ItemSummary item = report.Item(index);
    nlohmann::json json = TallyJson(item.tally);
    json["key"] = index < itemKeys.size() ? nlohmann::json(itemKeys[index]) : nlohmann::json();
    json["caption"] = item.caption;
    json["firstReason"] =
        item.firstReason.empty() ? nlohmann::json() : nlohmann::json(item.firstReason);
    nlohmann::json entries = nlohmann::json::array();
    for (size_t row = 0; row < item.shownEntries; ++row) {
      entries.push_back(EntryJson(report.Entry(index, row)));
    }
    json["entries"] = std::move(entries);
    items.push_back(std::move(json));
  }
  return items;
}

nlohmann::json TotalsJson(const RunReport& report) {
  nlohmann::json totals = TallyJson(report.Totals());
  totals["unlistedEntries"] = report.HiddenEntries();
  return totals;
}

}  // namespace hv::cli
