#pragma once

#include <string>

namespace hv {

// The side files of a database in write-ahead-log mode ("-shm", "-wal"). A reader that
// may not write still makes them when they are missing, and leaves them behind; a look that
// must change nothing removes again those it made, once no other connection holds them.
class SqliteSideFiles {
 public:
  // Notes which side files of database are there before it is opened.
  explicit SqliteSideFiles(std::string database);

  // After the connection is closed: removes a "-shm" that was not there before, with an
  // empty "-wal" that was not there either, unless another connection still uses them.
  void RemoveThoseMadeSince() const;

 private:
  std::string database_;
  bool hadSharedMemory_;
  bool hadLog_;
};

}  // namespace hv
