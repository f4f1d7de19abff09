#include "registry/DeleteRegistryItem.h"

#include <vector>

#include "registry/cRegistry.h"
#include "util/NamePattern.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

// Why a key stays, worded for the report.
constexpr const char* kHoldsKeys = "holds keys of its own";
constexpr const char* kKeyNotDeleted = "could not be deleted";

std::string RootName(int32_t root) {
  return root == kHkeyClassesRoot ? "HKEY_CLASSES_ROOT" : "HKEY_CURRENT_USER";
}

bool HoldsKeys(int32_t root, const std::string& keyPath) {
  cRegistry key;
  key.ClassKey(root);
  key.SectionKey(keyPath);
  std::vector<std::string> sections;
  int32_t count = 0;
  return key.EnumerateSections(sections, count) && count > 0;
}

ReportEntry KeyEntry(const std::string& shown, EntryOutcome outcome, const char* reason) {
  return {.type = EntryType::kSettingsKey,
          .what = shown,
          .bytes = std::nullopt,
          .outcome = outcome,
          .reason = reason};
}

// The key with its immediate subkeys, each reported; a subkey holding keys of its own
// stays, and with it the key, as the deletion itself has it.
void DeleteKeyReporting(cRegistry& registry, ReportSink& report, bool preview) {
  const int32_t root = registry.ClassKey();
  const std::string path = registry.SectionKey();
  const std::string shown = RootName(root) + "\\" + path;
  bool everySubkeyGoes = true;
  const auto subkeyDone = [&](const std::string& subkey, bool deleted) {
    everySubkeyGoes = everySubkeyGoes && deleted;
    const bool nested = !deleted && HoldsKeys(root, path + "\\" + subkey);
    report.Add(KeyEntry(shown + "\\" + subkey,
                        !deleted  ? EntryOutcome::kLeft
                        : preview ? EntryOutcome::kWouldBeRemoved
                                  : EntryOutcome::kRemoved,
                        !deleted ? (nested ? kHoldsKeys : kKeyNotDeleted) : ""));
  };
  if (preview) {
    std::vector<std::string> sections;
    int32_t count = 0;
    registry.EnumerateSections(sections, count);
    for (int32_t i = 1; i <= count; ++i) {
      subkeyDone(sections[i], !HoldsKeys(root, path + "\\" + sections[i]));
    }
    report.Add(KeyEntry(shown,
                        everySubkeyGoes ? EntryOutcome::kWouldBeRemoved : EntryOutcome::kLeft,
                        everySubkeyGoes ? "" : kHoldsKeys));
    return;
  }
  const bool deleted = registry.DeleteKey(subkeyDone);
  report.Add(KeyEntry(shown, deleted ? EntryOutcome::kRemoved : EntryOutcome::kLeft,
                      deleted           ? ""
                      : everySubkeyGoes ? kKeyNotDeleted
                                        : kHoldsKeys));
}

}  // namespace

void DeleteRegistryItem(const std::string& pattern, int32_t root, const std::string& keyPath,
                        ReportSink& report, bool preview) {
  // An item that names no key would clean the root itself, every top-level key with it:
  // a record with an empty path is taken for a mistake and changes nothing.
  if (keyPath.find_first_not_of('\\') == std::string::npos) {
    return;
  }
  cRegistry registry;
  registry.ClassKey(root);
  registry.SectionKey(keyPath);
  if (pattern == "@") {
    if (registry.KeyExists()) {
      DeleteKeyReporting(registry, report, preview);
    }
    return;
  }
  std::vector<std::string> names;
  int32_t count = 0;
  if (!registry.EnumerateValues(names, count) || count == 0) {
    return;
  }
  const std::string shownKey = RootName(root) + "\\" + keyPath + "\\";
  for (const std::string& name : names) {
    if (!MatchesPattern(name, pattern)) {
      continue;
    }
    if (report.StopRequested()) {
      return;
    }
    ReportEntry entry{.type = EntryType::kSettingsValue,
                      .what = shownKey + (name.empty() ? "(Default)" : name),
                      .bytes = std::nullopt,
                      .outcome = preview ? EntryOutcome::kWouldBeRemoved : EntryOutcome::kRemoved,
                      .reason = {}};
    if (!preview) {
      registry.ValueKey(name);
      try {
        registry.DeleteValue();
      } catch (const NumberedError& error) {
        // A value that another running copy removed first, or that cannot be removed, stays
        // in the report: the other matching values are still cleaned.
        entry.outcome = EntryOutcome::kLeft;
        entry.reason = error.Description();
      }
    }
    report.Add(entry);
  }
}

CleanAction DeleteRegistryItemAction() {
  return [](const CleanItem& item, CleanContext& context) {
    DeleteRegistryItem(item.Mask, kHkeyCurrentUser, item.Path, context.report, context.preview);
  };
}

}  // namespace hv
