#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/posix/browser/TraceStore.h"

namespace hv {

// A store that is found but never touched (a cache folder reached through a link, for
// instance): it lists one trace standing for all of it, left with the reason.
class LeftStore : public TraceStore {
 public:
  LeftStore(std::string name, std::string path, std::string reason)
      : name_(std::move(name)), path_(std::move(path)), reason_(std::move(reason)) {}

  void List(std::vector<Trace>& traces) override {
    traces.push_back({name_, 0, {}, {}, path_, reason_});
  }
  bool Delete(const Trace&, std::string& reason) override {
    reason = reason_;
    return false;
  }

 private:
  std::string name_;
  std::string path_;
  std::string reason_;
};

}  // namespace hv
