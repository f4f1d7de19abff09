#include "platform/posix/SqliteRegistry.h"

#include <algorithm>
#include <cstring>

#include "platform/posix/FoldedName.h"
#include "platform/posix/RegistryHive.h"
#include "platform/posix/ShellFolders.h"
#include "platform/posix/SqliteStatement.h"

namespace hv {
namespace {

constexpr size_t kLongestKeyName = 255;
constexpr size_t kLongestValueName = 16383;

std::vector<std::string> PathParts(std::string_view path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find('\\', start), path.size());
    if (end > start) {  // doubled, leading and trailing separators add no part
      parts.emplace_back(path.substr(start, end - start));
    }
    start = end + 1;
  }
  return parts;
}

bool SameName(std::string_view a, std::string_view b) {
  return FoldedName(a) == FoldedName(b);
}

// 1 when path is the special folders' key itself, 2 when it lies below it, else 0.
int ShellFoldersDepth(int64_t root, const std::vector<std::string>& path) {
  static const std::vector<std::string> kKey = PathParts(kShellFoldersKey);
  if (root != kHiveCurrentUserId || path.size() < kKey.size() ||
      !std::equal(kKey.begin(), kKey.end(), path.begin(), SameName)) {
    return 0;
  }
  return path.size() == kKey.size() ? 1 : 2;
}

const char* OrEmpty(const char* name) {
  return name == nullptr ? "" : name;
}

}  // namespace

SqliteRegistry::SqliteRegistry(sqlite3* db) : db_(db) {}

SqliteRegistry::~SqliteRegistry() {
  for (const auto& [sql, statement] : statements_) {
    sqlite3_finalize(statement);
  }
  sqlite3_close_v2(db_);
}

SqliteStatement SqliteRegistry::Statement(const char* sql) {
  sqlite3_stmt*& kept = statements_[sql];
  int prepared = SQLITE_OK;
  if (kept == nullptr) {
    prepared = sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &kept, nullptr);
  }
  return SqliteStatement(kept, prepared);
}

std::optional<SqliteRegistry::Handle> SqliteRegistry::Resolve(RegKey key) const {
  const auto root = [](int64_t id) { return Handle{Location{id, id, {}, false}, ~uint32_t{0}}; };
  if (key == static_cast<RegKey>(kHkeyClassesRoot)) {
    return root(kHiveClassesRootId);
  }
  if (key == static_cast<RegKey>(kHkeyCurrentUser)) {
    return root(kHiveCurrentUserId);
  }
  const auto found = handles_.find(key);
  if (found == handles_.end()) {
    return std::nullopt;
  }
  return found->second;
}

RegKey SqliteRegistry::Register(Location location, uint32_t access) {
  const RegKey handle = nextHandle_++;
  handles_[handle] = Handle{std::move(location), access};
  return handle;
}

long SqliteRegistry::Failure(int sqliteCode) const {
  const int primary = sqliteCode & 0xFF;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB ? reg::kRegistryCorrupt
                                                               : reg::kRegistryIoFailed;
}

long SqliteRegistry::CheckKeyExists(int64_t id) {
  SqliteStatement query = Statement("SELECT 1 FROM registry_keys WHERE id = ?");
  if (query.Bind(1, id).Step()) {
    return reg::kSuccess;
  }
  return query.Failed() ? Failure(query.Result()) : reg::kKeyDeleted;
}

long SqliteRegistry::AbsentUnlessDeleted(int64_t id, long absent) {
  const long exists = CheckKeyExists(id);
  return exists == reg::kSuccess ? absent : exists;
}

long SqliteRegistry::Reach(RegKey key, uint32_t rights, Handle& handle) const {
  const auto found = Resolve(key);
  if (!found) {
    return reg::kInvalidHandle;
  }
  if ((found->access & rights) != rights) {
    return reg::kAccessDenied;
  }
  handle = *found;
  return reg::kSuccess;
}

long SqliteRegistry::BeginWrite(std::optional<SqliteTransaction>& transaction) {
  // Without a database only the view of the special folders is reachable.
  if (db_ != nullptr) {
    transaction.emplace(db_);
    if (transaction->Begun() != SQLITE_OK) {
      return Failure(transaction->Begun());
    }
  }
  return reg::kSuccess;
}

long SqliteRegistry::NamedId(const char* sql, int64_t owner, std::string_view name, int64_t& id) {
  SqliteStatement query = Statement(sql);
  if (query.Bind(1, owner).Bind(2, FoldedName(name)).Bind(3, name).Step()) {
    id = query.Integer(0);
    return reg::kSuccess;
  }
  return query.Failed() ? Failure(query.Result()) : reg::kFileNotFound;
}

long SqliteRegistry::ChildId(int64_t parent, std::string_view name, int64_t& id) {
  return NamedId(
      "SELECT id FROM registry_keys WHERE parent = ?1 AND folded = ?2 "
      "ORDER BY name = ?3 DESC, id LIMIT 1",
      parent, name, id);
}

long SqliteRegistry::ValueId(int64_t key, std::string_view name, int64_t& id) {
  return NamedId(
      "SELECT id FROM registry_values WHERE key = ?1 AND folded = ?2 "
      "ORDER BY name = ?3 DESC, id LIMIT 1",
      key, name, id);
}

long SqliteRegistry::Locate(const Handle& base, const char* subKey, bool create, Location& found) {
  const std::vector<std::string> added = PathParts(OrEmpty(subKey));
  found = base.location;
  found.path.insert(found.path.end(), added.begin(), added.end());
  for (const std::string& part : added) {
    if (part.size() > kLongestKeyName) {
      return reg::kInvalidParameter;
    }
  }
  switch (ShellFoldersDepth(found.root, found.path)) {
    case 1:
      found.shellFolders = true;
      return reg::kSuccess;
    case 2:  // the view has no subkeys and takes none
      return create ? reg::kAccessDenied : reg::kFileNotFound;
    default:
      break;
  }
  if (db_ == nullptr) {
    return reg::kRegistryIoFailed;
  }
  if (base.location.id != base.location.root) {
    if (const long result = CheckKeyExists(base.location.id); result != reg::kSuccess) {
      return result;
    }
  }
  for (const std::string& part : added) {
    int64_t child = 0;
    long result = ChildId(found.id, part, child);
    if (result == reg::kFileNotFound && create) {
      SqliteStatement insert =
          Statement("INSERT INTO registry_keys(parent, name, folded) VALUES (?, ?, ?)");
      insert.Bind(1, found.id).Bind(2, part).Bind(3, FoldedName(part)).Step();
      result = insert.Failed() ? Failure(insert.Result()) : reg::kSuccess;
      child = sqlite3_last_insert_rowid(db_);
    }
    if (result != reg::kSuccess) {
      return result;
    }
    found.id = child;
  }
  return reg::kSuccess;
}

long SqliteRegistry::OpenKeyEx(RegKey key, const char* subKey, uint32_t access, RegKey* result) {
  const auto base = Resolve(key);
  if (!base) {
    return reg::kInvalidHandle;
  }
  if (result == nullptr) {
    return reg::kInvalidParameter;
  }
  Location found;
  if (const long located = Locate(*base, subKey, false, found); located != reg::kSuccess) {
    return located;
  }
  *result = Register(std::move(found), access);
  return reg::kSuccess;
}

long SqliteRegistry::CreateKeyEx(RegKey key, const char* subKey, uint32_t access, RegKey* result) {
  const auto base = Resolve(key);
  if (!base) {
    return reg::kInvalidHandle;
  }
  if (result == nullptr) {
    return reg::kInvalidParameter;
  }
  std::optional<SqliteTransaction> transaction;
  if (const long begun = BeginWrite(transaction); begun != reg::kSuccess) {
    return begun;
  }
  Location found;
  if (const long located = Locate(*base, subKey, true, found); located != reg::kSuccess) {
    return located;
  }
  if (transaction) {
    if (const int committed = transaction->Commit(); committed != SQLITE_OK) {
      return Failure(committed);
    }
  }
  *result = Register(std::move(found), access);
  return reg::kSuccess;
}

long SqliteRegistry::CloseKey(RegKey key) {
  if (key == static_cast<RegKey>(kHkeyClassesRoot) ||
      key == static_cast<RegKey>(kHkeyCurrentUser)) {
    return reg::kSuccess;
  }
  return handles_.erase(key) == 1 ? reg::kSuccess : reg::kInvalidHandle;
}

long SqliteRegistry::LookUpValue(const Handle& handle, const char* valueName, StoredValue& value) {
  const std::string_view name = OrEmpty(valueName);
  if (handle.location.shellFolders) {
    for (const ShellFolder& folder : CurrentShellFolders()) {
      if (SameName(folder.name, name)) {
        value.type = reg::kSz;
        value.data.assign(folder.path.begin(), folder.path.end());
        value.data.push_back(0);
        return reg::kSuccess;
      }
    }
    return reg::kFileNotFound;
  }
  if (db_ == nullptr) {
    return reg::kRegistryIoFailed;
  }
  int64_t id = 0;
  if (const long found = ValueId(handle.location.id, name, id); found != reg::kSuccess) {
    return found == reg::kFileNotFound ? AbsentUnlessDeleted(handle.location.id, found) : found;
  }
  SqliteStatement query = Statement("SELECT type, data FROM registry_values WHERE id = ?");
  if (query.Bind(1, id).Step()) {
    value.type = static_cast<uint32_t>(query.Integer(0));
    value.data = query.Blob(1);
    return reg::kSuccess;
  }
  return query.Failed() ? Failure(query.Result()) : reg::kFileNotFound;
}

long SqliteRegistry::QueryValueEx(RegKey key, const char* valueName, uint32_t* type, uint8_t* data,
                                  uint32_t* dataSize) {
  Handle handle;
  if (const long reached = Reach(key, reg::kQueryValue, handle); reached != reg::kSuccess) {
    return reached;
  }
  if (data != nullptr && dataSize == nullptr) {
    return reg::kInvalidParameter;
  }
  StoredValue value;
  if (const long found = LookUpValue(handle, valueName, value); found != reg::kSuccess) {
    return found;
  }
  if (type != nullptr) {
    *type = value.type;
  }
  if (dataSize != nullptr) {
    const auto size = static_cast<uint32_t>(value.data.size());
    if (data != nullptr && *dataSize < size) {
      *dataSize = size;
      return reg::kMoreData;
    }
    if (data != nullptr) {
      std::copy(value.data.begin(), value.data.end(), data);
    }
    *dataSize = size;
  }
  return reg::kSuccess;
}

long SqliteRegistry::SetValueEx(RegKey key, const char* valueName, uint32_t type,
                                const uint8_t* data, uint32_t dataSize) {
  Handle handle;
  if (const long reached = Reach(key, reg::kSetValue, handle); reached != reg::kSuccess) {
    return reached;
  }
  if (handle.location.shellFolders) {
    return reg::kAccessDenied;
  }
  const std::string_view name = OrEmpty(valueName);
  if (name.size() > kLongestValueName || (data == nullptr && dataSize > 0)) {
    return reg::kInvalidParameter;
  }
  if (db_ == nullptr) {
    return reg::kRegistryIoFailed;
  }
  SqliteTransaction transaction(db_);
  if (transaction.Begun() != SQLITE_OK) {
    return Failure(transaction.Begun());
  }
  if (const long exists = CheckKeyExists(handle.location.id); exists != reg::kSuccess) {
    return exists;
  }
  // An existing value keeps its place in the enumeration and the spelling of its name.
  int64_t id = 0;
  const long found = ValueId(handle.location.id, name, id);
  if (found != reg::kSuccess && found != reg::kFileNotFound) {
    return found;
  }
  SqliteStatement write =
      found == reg::kSuccess
          ? Statement("UPDATE registry_values SET type = ?1, data = ?2 WHERE id = ?3")
          : Statement(
                "INSERT INTO registry_values(type, data, key, name, folded) "
                "VALUES (?1, ?2, ?3, ?4, ?5)");
  write.Bind(1, int64_t{type}).BindBlob(2, data, dataSize);
  if (found == reg::kSuccess) {
    write.Bind(3, id);
  } else {
    write.Bind(3, handle.location.id).Bind(4, name).Bind(5, FoldedName(name));
  }
  write.Step();
  if (write.Failed()) {
    return Failure(write.Result());
  }
  const int committed = transaction.Commit();
  return committed == SQLITE_OK ? reg::kSuccess : Failure(committed);
}

long SqliteRegistry::ValueNameAt(const Handle& handle, uint32_t index, std::string& name) {
  if (handle.location.shellFolders) {
    const std::vector<ShellFolder> folders = CurrentShellFolders();
    if (index >= folders.size()) {
      return reg::kNoMoreItems;
    }
    name = folders[index].name;
    return reg::kSuccess;
  }
  if (db_ == nullptr) {
    return reg::kRegistryIoFailed;
  }
  SqliteStatement query = Statement(
      "SELECT name FROM registry_values WHERE key = ? ORDER BY id LIMIT 1 "
      "OFFSET ?");
  if (query.Bind(1, handle.location.id).Bind(2, int64_t{index}).Step()) {
    name = query.Text(0);
    return reg::kSuccess;
  }
  if (query.Failed()) {
    return Failure(query.Result());
  }
  return AbsentUnlessDeleted(handle.location.id, reg::kNoMoreItems);
}

long SqliteRegistry::EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameSize) {
  Handle handle;
  if (const long reached = Reach(key, reg::kQueryValue, handle); reached != reg::kSuccess) {
    return reached;
  }
  if (name == nullptr || nameSize == nullptr) {
    return reg::kInvalidParameter;
  }
  std::string found;
  if (const long result = ValueNameAt(handle, index, found); result != reg::kSuccess) {
    return result;
  }
  if (found.size() + 1 > *nameSize) {
    return reg::kMoreData;
  }
  std::memcpy(name, found.c_str(), found.size() + 1);
  *nameSize = static_cast<uint32_t>(found.size());
  return reg::kSuccess;
}

long SqliteRegistry::EnumKey(RegKey key, uint32_t index, char* name, uint32_t nameSize) {
  Handle handle;
  if (const long reached = Reach(key, reg::kEnumerateSubKeys, handle); reached != reg::kSuccess) {
    return reached;
  }
  if (name == nullptr) {
    return reg::kInvalidParameter;
  }
  if (handle.location.shellFolders) {
    return reg::kNoMoreItems;
  }
  if (db_ == nullptr) {
    return reg::kRegistryIoFailed;
  }
  SqliteStatement query = Statement(
      "SELECT name FROM registry_keys WHERE parent = ? ORDER BY id LIMIT 1 "
      "OFFSET ?");
  if (!query.Bind(1, handle.location.id).Bind(2, int64_t{index}).Step()) {
    if (query.Failed()) {
      return Failure(query.Result());
    }
    return AbsentUnlessDeleted(handle.location.id, reg::kNoMoreItems);
  }
  const std::string found = query.Text(0);
  if (found.size() + 1 > nameSize) {
    return reg::kMoreData;
  }
  std::memcpy(name, found.c_str(), found.size() + 1);
  return reg::kSuccess;
}

long SqliteRegistry::DeleteKey(RegKey key, const char* subKey) {
  const auto base = Resolve(key);
  if (!base) {
    return reg::kInvalidHandle;
  }
  std::optional<SqliteTransaction> transaction;
  if (const long begun = BeginWrite(transaction); begun != reg::kSuccess) {
    return begun;
  }
  Location target;
  if (const long located = Locate(*base, subKey, false, target); located != reg::kSuccess) {
    return located;
  }
  if (target.shellFolders || target.id == target.root) {
    return reg::kAccessDenied;
  }
  SqliteStatement children = Statement("SELECT 1 FROM registry_keys WHERE parent = ? LIMIT 1");
  if (children.Bind(1, target.id).Step()) {
    return reg::kAccessDenied;  // as on NT: a key with subkeys is not deleted
  }
  SqliteStatement values = Statement("DELETE FROM registry_values WHERE key = ?");
  values.Bind(1, target.id).Step();
  SqliteStatement self = Statement("DELETE FROM registry_keys WHERE id = ?");
  self.Bind(1, target.id).Step();
  for (const SqliteStatement* statement : {&children, &values, &self}) {
    if (statement->Failed()) {
      return Failure(statement->Result());
    }
  }
  const int committed = transaction->Commit();
  return committed == SQLITE_OK ? reg::kSuccess : Failure(committed);
}

long SqliteRegistry::DeleteValue(RegKey key, const char* valueName) {
  Handle handle;
  if (const long reached = Reach(key, reg::kSetValue, handle); reached != reg::kSuccess) {
    return reached;
  }
  if (handle.location.shellFolders) {
    return reg::kAccessDenied;
  }
  if (db_ == nullptr) {
    return reg::kRegistryIoFailed;
  }
  std::optional<SqliteTransaction> transaction;
  if (const long begun = BeginWrite(transaction); begun != reg::kSuccess) {
    return begun;
  }
  int64_t id = 0;
  if (const long found = ValueId(handle.location.id, OrEmpty(valueName), id);
      found != reg::kSuccess) {
    return found == reg::kFileNotFound ? AbsentUnlessDeleted(handle.location.id, found) : found;
  }
  SqliteStatement remove = Statement("DELETE FROM registry_values WHERE id = ?");
  remove.Bind(1, id).Step();
  if (remove.Failed()) {
    return Failure(remove.Result());
  }
  const int committed = transaction->Commit();
  return committed == SQLITE_OK ? reg::kSuccess : Failure(committed);
}

long SqliteRegistry::QueryInfoKey(RegKey key, uint32_t* maxValueNameLength) {
  Handle handle;
  if (const long reached = Reach(key, reg::kQueryValue, handle); reached != reg::kSuccess) {
    return reached;
  }
  if (maxValueNameLength == nullptr) {
    return reg::kInvalidParameter;
  }
  if (handle.location.shellFolders) {
    size_t longest = 0;
    for (const ShellFolder& folder : CurrentShellFolders()) {
      longest = std::max(longest, folder.name.size());
    }
    *maxValueNameLength = static_cast<uint32_t>(longest);
    return reg::kSuccess;
  }
  if (db_ == nullptr) {
    return reg::kRegistryIoFailed;
  }
  SqliteStatement query = Statement(
      "SELECT COALESCE(MAX(length(CAST(name AS BLOB))), 0) FROM registry_values "
      "WHERE key = ?");
  query.Bind(1, handle.location.id).Step();
  if (query.Failed()) {
    return Failure(query.Result());
  }
  *maxValueNameLength = static_cast<uint32_t>(query.Integer(0));
  return CheckKeyExists(handle.location.id);
}

}  // namespace hv
