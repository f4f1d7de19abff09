#include "app/OpenRequest.h"

#include <algorithm>

#include "platform/FileSystem.h"

namespace hv {
namespace {

constexpr char kEncryptedSuffix[] = ".vlt";
// Identifies the message's format, so that a later version's message is refused, not misread.
constexpr char kMagic[] = "hushvault-files-1\n";

struct ListCode {
  FileList list;
  char code;
};
constexpr ListCode kListCodes[] = {
    {FileList::kEncrypt, 'e'}, {FileList::kDecrypt, 'd'}, {FileList::kWipe, 'w'}};

bool IsAbsolute(const std::string& path) {
#ifdef _WIN32
  return path.size() > 2 && (path[1] == ':' || (path[0] == '\\' && path[1] == '\\'));
#else
  return path.starts_with('/');
#endif
}

std::string Absolute(const std::string& path, const std::string& workingFolder) {
  if (IsAbsolute(path) || workingFolder.empty()) {
    return path;
  }
  return workingFolder.ends_with(kPathSeparator) ? workingFolder + path
                                                 : workingFolder + kPathSeparator + path;
}

FileList ListByName(const std::string& path) {
  return path.ends_with(kEncryptedSuffix) ? FileList::kDecrypt : FileList::kEncrypt;
}

}  // namespace

StartRequest ParseArguments(const std::vector<std::string>& arguments,
                            const std::string& workingFolder) {
  StartRequest request;
  std::optional<FileList> chosen;
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    if (!optionsEnded && argument.starts_with('-')) {
      if (argument == "--") {
        optionsEnded = true;
      } else if (argument == "--encrypt" || argument == "--wipe") {
        const FileList list = argument == "--wipe" ? FileList::kWipe : FileList::kEncrypt;
        if (chosen && *chosen != list) {
          return {.files = {}, .error = "--encrypt and --wipe cannot be given together."};
        }
        chosen = list;
      } else {
        return {.files = {}, .error = "Unknown option: " + argument};
      }
      continue;
    }
    if (argument.empty()) {
      continue;
    }
    request.files.push_back(
        {chosen.value_or(ListByName(argument)), Absolute(argument, workingFolder)});
  }
  // An option after the files still means all of them.
  if (chosen) {
    for (FileToOpen& file : request.files) {
      file.list = *chosen;
    }
  }
  return request;
}

QByteArray EncodeFiles(const std::vector<FileToOpen>& files) {
  QByteArray message(kMagic);
  for (const FileToOpen& file : files) {
    for (const ListCode& code : kListCodes) {
      if (code.list == file.list) {
        message += code.code;
      }
    }
    message += QByteArray::fromStdString(file.path);
    message += '\0';
  }
  return message;
}

std::optional<std::vector<FileToOpen>> DecodeFiles(const QByteArray& message) {
  if (!message.startsWith(kMagic)) {
    return std::nullopt;
  }
  std::vector<FileToOpen> files;
  qsizetype at = static_cast<qsizetype>(sizeof kMagic - 1);
  while (at < message.size()) {
    const qsizetype end = message.indexOf('\0', at);
    if (end < 0 || end - at < 2) {
      return std::nullopt;  // cut short, or an entry without a path
    }
    const auto code = std::find_if(std::begin(kListCodes), std::end(kListCodes),
                                   [&](const ListCode& c) { return c.code == message[at]; });
    if (code == std::end(kListCodes)) {
      return std::nullopt;
    }
    files.push_back({code->list, message.mid(at + 1, end - at - 1).toStdString()});
    at = end + 1;
  }
  return files;
}

}  // namespace hv
