#include "platform/posix/RegistryHive.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "platform/posix/HiveSchema.h"
#include "platform/posix/SqliteRegistry.h"
#include "platform/posix/SqliteStatement.h"

namespace hv {
namespace {

// Long enough for another running copy to finish its write, short enough that a stuck
// copy does not freeze the window for good.
constexpr int kBusyTimeoutMs = 10000;

// WriteRefused: SQLite will not write the file; damage unless the file system is why.
enum class HiveState { Ready, Damaged, Unavailable, WriteRefused };

// Whatever keeps a file from serving as a hive is damage, except what says nothing about
// the file itself: another copy holding it, missing rights, and a machine short of memory
// or disk or failing to read it, where moving a sound hive aside would lose the settings.
HiveState StateAfter(int code) {
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_NOMEM:
    case SQLITE_IOERR:
    case SQLITE_FULL:
    case SQLITE_INTERRUPT:
      return HiveState::Unavailable;
    case SQLITE_READONLY:
      return HiveState::WriteRefused;
    default:
      return HiveState::Damaged;
  }
}

// A file SQLite opened read-only though the file system lets it be written (its header
// names a write format SQLite does not know) is damage.
HiveState WritableIsDamage(HiveState state, const std::string& path) {
  if (state != HiveState::WriteRefused) {
    return state;
  }
  const std::string folder = std::filesystem::path(path).parent_path().string();
  const bool writable = ::access(path.c_str(), W_OK) == 0 &&
                        ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
  return writable ? HiveState::Damaged : HiveState::Unavailable;
}

// A database that is not empty must be a hive of a known version with both roots; an older
// one is converted.
HiveState EnsureSchema(sqlite3* db) {
  SqliteTransaction transaction(db);
  if (transaction.Begun() != SQLITE_OK) {
    return StateAfter(transaction.Begun());
  }
  const HiveShape shape = ReadHiveShape(db);
  if (shape.code != SQLITE_OK) {
    return StateAfter(shape.code);
  }
  if (!shape.empty && !IsKnownHiveVersion(shape.version)) {
    return HiveState::Damaged;
  }
  const bool current = !shape.empty && IsCurrentHiveVersion(shape.version);
  if (!current) {
    const int made = shape.empty ? CreateHiveTables(db) : UpgradeHiveTables(db);
    if (made != SQLITE_OK) {
      return StateAfter(made);
    }
  }
  if (!HasHiveTables(db)) {
    return HiveState::Damaged;
  }
  if (current) {
    // Nothing to change: a write, rolled back, shows whether SQLite will write the file.
    const int probe = ExecuteSql(db, "UPDATE registry_keys SET name = name WHERE id = 1");
    return probe == SQLITE_OK ? HiveState::Ready : StateAfter(probe);
  }
  const int committed = transaction.Commit();
  return committed == SQLITE_OK ? HiveState::Ready : StateAfter(committed);
}

// Read-only, so that a file of some other program is left exactly as it was found.
HiveState Inspect(sqlite3* db) {
  SqliteStatement check(db, "PRAGMA quick_check");
  if (!check.Step()) {
    return StateAfter(check.Result());
  }
  if (check.Text(0) != "ok") {
    return HiveState::Damaged;
  }
  const HiveShape shape = ReadHiveShape(db);
  if (shape.code != SQLITE_OK) {
    return StateAfter(shape.code);
  }
  return shape.empty || IsKnownHiveVersion(shape.version) ? HiveState::Ready : HiveState::Damaged;
}

HiveState Prepare(sqlite3* db) {
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  if (const HiveState found = Inspect(db); found != HiveState::Ready) {
    return found;
  }
  // Writes that returned must survive a crash: a write-ahead log, synced at each commit.
  if (const int journal = ExecuteSql(db, "PRAGMA journal_mode = WAL"); journal != SQLITE_OK) {
    return StateAfter(journal);
  }
  if (const int sync = ExecuteSql(db, "PRAGMA synchronous = FULL"); sync != SQLITE_OK) {
    return StateAfter(sync);
  }
  return EnsureSchema(db);
}

HiveState TryOpen(const std::string& path, sqlite3*& db) {
  // The hive holds the user's settings: readable by the user alone.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd >= 0) {
    ::close(fd);
  }
  db = nullptr;
  const int opened =
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  const HiveState state =
      WritableIsDamage(opened == SQLITE_OK ? Prepare(db) : StateAfter(opened), path);
  if (state != HiveState::Ready) {
    sqlite3_close_v2(db);
    db = nullptr;
  }
  return state;
}

std::string TimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &utc);
  return text;
}

// Moves the damaged hive and its log to a free name; empty when it cannot be moved, so
// that the old file is never overwritten.
std::string MoveAside(const std::string& path) {
  namespace fs = std::filesystem;
  const std::string stem = path + ".damaged-" + TimeStamp();
  std::string target = stem;
  std::error_code error;
  for (int n = 2; fs::exists(fs::symlink_status(target, error)) || fs::exists(target + "-wal");
       ++n) {
    target = stem + "-" + std::to_string(n);
  }
  fs::rename(path, target, error);
  if (error) {
    return {};
  }
  if (fs::exists(fs::symlink_status(path + "-wal", error))) {
    fs::rename(path + "-wal", target + "-wal", error);
  }
  fs::remove(path + "-shm", error);
  return target;
}

}  // namespace

std::string UserRegistryPath() {
  if (const char* path = std::getenv("HUSHVAULT_REGISTRY"); path != nullptr && path[0] != '\0') {
    return path;
  }
  std::string config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
    config = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
    config = std::string(home) + "/.config";
  } else {
    config = ".config";
  }
  return config + "/hushvault/registry.db";
}

OpenedRegistry OpenRegistryHive(const std::string& path) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!folder.empty() && std::filesystem::create_directories(folder, error)) {
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
  }
  OpenedRegistry opened;
  sqlite3* db = nullptr;
  if (TryOpen(path, db) == HiveState::Damaged) {
    opened.movedAside = MoveAside(path);
    if (!opened.movedAside.empty()) {
      TryOpen(path, db);
    }
  }
  opened.backend = std::make_unique<SqliteRegistry>(db);
  return opened;
}

OpenedRegistry OpenUserRegistry() {
  return OpenRegistryHive(UserRegistryPath());
}

}  // namespace hv
