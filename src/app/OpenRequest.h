#pragma once

#include <QByteArray>
#include <optional>
#include <string>
#include <vector>

namespace hv {

// The lists of the File Protection tab.
enum class FileList { kEncrypt, kDecrypt, kWipe };

// A file given to the program from outside (command line, file manager, a drop) and the
// list it goes into. The path keeps its bytes, text or not.
struct FileToOpen {
  FileList list = FileList::kEncrypt;
  std::string path;

  bool operator==(const FileToOpen&) const = default;
};

// What a start of the program asks for: the files it was given, or the reason its
// arguments make no sense.
struct StartRequest {
  std::vector<FileToOpen> files;
  std::string error;  // for the terminal; empty when the arguments are sound
};

// The usage line the terminal is shown with a bad argument.
inline constexpr const char* kUsage =
    "Usage: hushvault [--encrypt | --wipe] [--] [FILE...]\n"
    "Files ending in .vlt go to \"Files to decrypt\", all others to \"Files to encrypt\";\n"
    "--encrypt and --wipe put every file into that list instead.";

// Reads the program's arguments (without the program's own name). Relative paths are taken
// from workingFolder, since the running window that may receive them has one of its own.
StartRequest ParseArguments(const std::vector<std::string>& arguments,
                            const std::string& workingFolder);

// The files as one message from a later start to the running window, and back. A message
// that is not one (damaged, or from another program) reads as nullopt.
QByteArray EncodeFiles(const std::vector<FileToOpen>& files);
std::optional<std::vector<FileToOpen>> DecodeFiles(const QByteArray& message);

}  // namespace hv
