#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileIdentity.h"

namespace hv {

// One trace a browser keeps, as the URL cache presents it: its entry name, and where it
// lies in its store (a row, or a file).
struct Trace {
  std::string name;
  int64_t row = 0;
  std::string file;
  std::optional<uint64_t> bytes = {};  // the blocks a file takes on disk
  std::string display = {};            // how to show it, where the name does not tell
  std::string left = {};               // why it cannot be deleted; such a trace never is
  FileIdentity identity = {};          // the file a cache trace is, where it is its one name
};

// One store of browsing traces: a cookie database, a history database or a cache folder.
class TraceStore {
 public:
  virtual ~TraceStore() = default;

  // Appends the traces of the store; a store that cannot be read adds one trace that
  // stands for it all, left with the reason.
  virtual void List(std::vector<Trace>& traces) = 0;

  // Deletes one trace that List reported; false, with why in reason, when it could not be
  // deleted. Changes to a database may stay pending until Commit.
  virtual bool Delete(const Trace& trace, std::string& reason) = 0;

  // Makes pending deletions permanent; false when they were lost.
  virtual bool Commit() { return true; }

  // Clears the store's browsing history, keeping bookmarks; stores without history have
  // nothing to clear.
  virtual bool ClearHistory() { return true; }
};

}  // namespace hv
