#pragma once

#include <string>

#include "platform/posix/TraceStore.h"

namespace hv {

// A browser's cache folder: every ordinary file at any depth is an entry, named by the URL
// key stored in it where it can be read, otherwise by its path. Links are never followed.
class CacheFolder : public TraceStore {
 public:
  explicit CacheFolder(std::string path) : path_(std::move(path)) {}

  void List(std::vector<Trace>& traces) override;
  bool Delete(const Trace& trace) override;

 private:
  std::string path_;
};

}  // namespace hv
