#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryBackend.h"
#include "platform/posix/SqliteStatement.h"

namespace hv {

// The registry kept in one SQLite database (the hive): keys and values in creation
// order, names case-insensitive (every letter, as the platform compares them) and
// case-preserving. Every call is its own transaction,
// so another running copy of the program sees each write as soon as it returns. The
// "Shell Folders" key of HKEY_CURRENT_USER is not stored: it is a read-only view of the
// user's folders as they are at each read.
class SqliteRegistry : public RegistryBackend {
 public:
  // Takes over db, which holds the hive's tables; a null db answers every stored key with
  // kRegistryIoFailed (the view of the special folders still works).
  explicit SqliteRegistry(sqlite3* db);
  ~SqliteRegistry() override;
  SqliteRegistry(const SqliteRegistry&) = delete;
  SqliteRegistry& operator=(const SqliteRegistry&) = delete;

  long OpenKeyEx(RegKey key, const char* subKey, uint32_t access, RegKey* result) override;
  long CreateKeyEx(RegKey key, const char* subKey, uint32_t access, RegKey* result) override;
  long CloseKey(RegKey key) override;
  long QueryValueEx(RegKey key, const char* valueName, uint32_t* type, uint8_t* data,
                    uint32_t* dataSize) override;
  long SetValueEx(RegKey key, const char* valueName, uint32_t type, const uint8_t* data,
                  uint32_t dataSize) override;
  long EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameSize) override;
  long EnumKey(RegKey key, uint32_t index, char* name, uint32_t nameSize) override;
  long DeleteKey(RegKey key, const char* subKey) override;
  long DeleteValue(RegKey key, const char* valueName) override;
  long QueryInfoKey(RegKey key, uint32_t* maxValueNameLength) override;

 private:
  // Where an open handle points: a stored key, or the view of the special folders.
  struct Location {
    int64_t root = 0;
    int64_t id = 0;
    std::vector<std::string> path;  // below the root, as the caller wrote it
    bool shellFolders = false;
  };
  struct Handle {
    Location location;
    uint32_t access = 0;
  };
  struct StoredValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;
  };

  std::optional<Handle> Resolve(RegKey key) const;
  // The handle's key when it was opened with every one of rights.
  long Reach(RegKey key, uint32_t rights, Handle& handle) const;
  // A write transaction, when there is a database to write to.
  long BeginWrite(std::optional<SqliteTransaction>& transaction);
  // The location of subKey below the handle's key, or why there is none.
  long Locate(const Handle& base, const char* subKey, bool create, Location& found);
  // The id of the key or value (as sql finds it, under owner) named name: the one of that
  // very spelling, else the oldest whose name folds alike.
  long NamedId(const char* sql, int64_t owner, std::string_view name, int64_t& id);
  long ChildId(int64_t parent, std::string_view name, int64_t& id);
  long ValueId(int64_t key, std::string_view name, int64_t& id);
  long CheckKeyExists(int64_t id);
  // absent, unless the key itself went meanwhile.
  long AbsentUnlessDeleted(int64_t id, long absent);
  long LookUpValue(const Handle& handle, const char* valueName, StoredValue& value);
  long ValueNameAt(const Handle& handle, uint32_t index, std::string& name);
  RegKey Register(Location location, uint32_t access);
  // sql prepared once for the life of the registry.
  SqliteStatement Statement(const char* sql);
  long Failure(int sqliteCode) const;

  sqlite3* db_;
  std::map<std::string_view, sqlite3_stmt*> statements_;  // by their literal SQL text
  std::map<RegKey, Handle> handles_;
  RegKey nextHandle_ = 0x100;
};

}  // namespace hv
