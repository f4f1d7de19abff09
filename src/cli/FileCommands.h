#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace hv::cli {

// What a File Protection command was given.
struct FileRequest {
  std::vector<std::string> files;
  bool yes = false;     // the wipe's question answered Yes
  bool strong = false;  // new files in the strong format, whatever the window's setting
  // The password from a file or descriptor, or nullopt for the terminal's; read only once
  // there are files to work on.
  std::function<std::optional<std::string>()> readPassword = [] { return std::nullopt; };
};

// Each returns the exit status; the messages are those of the File Protection tab, as text.
int RunWipe(const FileRequest& request, std::ostream& out, std::ostream& err);
int RunEncrypt(const FileRequest& request, std::ostream& out, std::ostream& err);
int RunDecrypt(const FileRequest& request, std::ostream& out, std::ostream& err);

}  // namespace hv::cli
