// What the registry costs on the embedded hive: settings writes (each one synced to disk),
// reads, listing a key, path expansion and cleaning a key of 100 values.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "BenchClock.h"
#include "ReportSinks.h"
#include "clean/ExpandPath.h"
#include "platform/posix/RegistryHive.h"
#include "registry/DefaultRegistry.h"
#include "registry/DeleteRegistryItem.h"
#include "registry/cRegistry.h"

namespace {

constexpr const char* kSettings = "Software\\Hushvault\\Settings";
constexpr const char* kTraces = "Software\\Traces\\Recent";

void FillTraces(int count) {
  hv::cRegistry registry;
  registry.ClassKey(hv::kHkeyCurrentUser);
  registry.SectionKey(kTraces);
  registry.ValueType(1);
  for (int i = 0; i < count; ++i) {
    registry.ValueKey("File" + std::to_string(i));
    registry.Value(hv::Variant(std::string("/home/user/document") + std::to_string(i)));
  }
}

}  // namespace

int main() {
  char pattern[] = "/tmp/hushvault-registry-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::filesystem::path folder = pattern;
  // A hive of its own, so that the user's registry is never touched.
  hv::ReplaceDefaultRegistryBackend(hv::OpenRegistryHive((folder / "hive.db").string()).backend);

  hv::cRegistry settings;
  settings.ClassKey(hv::kHkeyCurrentUser);
  settings.SectionKey(kSettings);
  settings.ValueKey("Option0");
  settings.ValueType(4);
  int32_t flag = 0;
  Measure("DWORD write (synced)", 200, [&] { settings.Value(hv::Variant(flag ^= 1)); });
  Measure("DWORD read", 5000, [&] { settings.Value(); });

  FillTraces(100);
  hv::cRegistry traces;
  traces.ClassKey(hv::kHkeyCurrentUser);
  traces.SectionKey(kTraces);
  std::vector<std::string> names;
  int32_t count = 0;
  Measure("EnumerateValues of 100 values", 200, [&] { traces.EnumerateValues(names, count); });
  Measure("ExpandPath of %AppData%/Mozilla/Profiles/", 2000,
          [] { hv::ExpandPath("%AppData%/Mozilla/Profiles/"); });
  Measure("DeleteRegistryItem * on 100 values (with refill)", 5, [] {
    FillTraces(100);
    bench::DroppingSink report;
    hv::DeleteRegistryItem("*", hv::kHkeyCurrentUser, kTraces, report);
  });

  hv::ReplaceDefaultRegistryBackend(nullptr);
  std::filesystem::remove_all(folder);
  std::printf("values listed: %d\n", count);
  return 0;
}
