#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace hv {

// An ordinary file open for reading from its start. Destroying it closes it.
class InputStream {
 public:
  virtual ~InputStream() = default;

  // The file's length when it was opened.
  virtual uint64_t Length() const = 0;

  // Reads up to buffer.size() bytes at the current position: the count read, 0 at the end
  // of the file, nullopt on a read error.
  virtual std::optional<size_t> Read(std::span<std::byte> buffer) = 0;
};

// A new file written in the folder of its final name, without a name where the system
// allows it, so that the final name only ever holds a complete file and a crash leaves no
// copy of the data under another name. Destroying it before Commit removes it.
class StagedFile {
 public:
  virtual ~StagedFile() = default;

  // Appends the whole buffer.
  virtual bool Write(std::span<const std::byte> data) = 0;

  // Forces the content to the disk and renames the file to its final name, replacing any
  // file of that name at once. On failure the temporary file is gone and the final name is
  // as it was.
  virtual bool Commit() = 0;
};

// Whole-file reading and crash-safe writing.
class FileStreams {
 public:
  virtual ~FileStreams() = default;

  // Opens an ordinary file for reading; links, folders and devices are refused. nullptr when
  // the file cannot be opened.
  virtual std::unique_ptr<InputStream> OpenForReading(const std::string& path) = 0;

  // Starts a new file for finalPath, readable and writable as the file at rightsFrom is;
  // nullptr when its folder takes no new file. Files that earlier stagings in that folder
  // left behind when their process ended are removed first.
  virtual std::unique_ptr<StagedFile> Stage(const std::string& finalPath,
                                            const std::string& rightsFrom) = 0;
};

// The file streams of the machine the program runs on.
FileStreams& NativeFileStreams();

}  // namespace hv
