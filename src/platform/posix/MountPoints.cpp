#include "platform/posix/MountPoints.h"

#include <mntent.h>

#include <cstdio>
#include <set>

namespace hv {

std::vector<std::string> TrashCapableMountPoints() {
  static const std::set<std::string> kPseudo = {
      "autofs",     "binfmt_misc", "bpf",       "cgroup",   "cgroup2",   "configfs", "debugfs",
      "devpts",     "fusectl",     "hugetlbfs", "mqueue",   "nsfs",      "proc",     "pstore",
      "securityfs", "sysfs",       "tracefs",   "efivarfs", "rpc_pipefs"};
  std::vector<std::string> points;
  FILE* table = setmntent("/proc/self/mounts", "r");
  if (table == nullptr) {
    return points;
  }
  std::set<std::string> seen;
  while (const mntent* entry = getmntent(table)) {
    if (kPseudo.count(entry->mnt_type) == 0 && seen.insert(entry->mnt_dir).second) {
      points.emplace_back(entry->mnt_dir);
    }
  }
  endmntent(table);
  return points;
}

}  // namespace hv
