#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace hv::cli {

// What a File Protection command was given.
struct FileRequest {
  std::vector<std::string> files;
  bool yes = false;                     // the wipe's question answered Yes
  std::optional<std::string> password;  // from a file or descriptor; else the terminal
};

// Each returns the exit status; the messages are those of the File Protection tab, as text.
int RunWipe(const FileRequest& request, std::ostream& out, std::ostream& err);
int RunEncrypt(FileRequest request, std::ostream& out, std::ostream& err);
int RunDecrypt(FileRequest request, std::ostream& out, std::ostream& err);

}  // namespace hv::cli
