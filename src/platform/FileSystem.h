#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace hv {

// File attribute bits, as the program's deletion rules name them.
namespace FileAttribute {
constexpr uint32_t kNormal = 0;
constexpr uint32_t kReadOnly = 1;
constexpr uint32_t kHidden = 2;
constexpr uint32_t kSystem = 4;
constexpr uint32_t kDirectory = 16;
constexpr uint32_t kArchive = 32;
constexpr uint32_t kReparsePoint = 0x400;  // a link, or a folder where another volume is mounted
}  // namespace FileAttribute

// The separator between the components of a path; a folder path ends with it.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// One entry of a folder: its name as stored and its attributes.
struct FolderEntry {
  std::string name;
  uint32_t attributes = FileAttribute::kNormal;

  bool operator==(const FolderEntry&) const = default;
};

// How a file is opened for writing. Every open is exclusive and for an existing file only.
struct WriteMode {
  bool noBuffering = false;    // writes bypass the system's cache
  bool writeThrough = false;   // every write reaches the disk before it returns
  bool deleteOnClose = false;  // closing the handle removes the file

  bool operator==(const WriteMode&) const = default;
};

// A file open for writing, positioned at its start. Destroying it closes it.
class OpenFile {
 public:
  virtual ~OpenFile() = default;

  // Writes the whole buffer at the current position and moves past it. Without buffering
  // the buffer must start on a page boundary and its size be a multiple of the sector size.
  virtual bool Write(std::span<const std::byte> data) = 0;
  virtual bool Flush() = 0;
  virtual bool SeekToStart() = 0;
  // Cuts the file at the current position.
  virtual bool SetEndOfFile() = 0;
  // Closes the handle (and removes the file when it was opened delete-on-close); true when
  // both succeeded. Later calls do nothing and return false.
  virtual bool Close() = 0;
};

// The file-system services of the secure wipe and the folder deletion. Paths are full
// paths; links are never followed in the last component of a path.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when the file exists, is an ordinary file, may be deleted by this user and no
  // other process holds it open. Changes nothing.
  virtual bool CanOpenExclusively(const std::string& path) = 0;

  // Opens an existing ordinary file for writing; nullptr when it cannot be opened.
  virtual std::unique_ptr<OpenFile> OpenForWriting(const std::string& path, WriteMode mode) = 0;

  // The sector size of the volume holding path; 0 when it cannot be found out.
  virtual uint32_t SectorSize(const std::string& path) = 0;

  // The entry at path (the entry itself, never a link's target); nullopt when it is missing
  // or cannot be examined.
  virtual std::optional<FolderEntry> FindEntry(const std::string& path) = 0;

  // Sets the changeable attribute bits (read-only, hidden, system, archive) of path.
  virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;

  // The length of the file at path; nullopt when it cannot be read.
  virtual std::optional<uint64_t> FileLength(const std::string& path) = 0;

  // Reads the start of the file at path through the ordinary, cached input path into
  // buffer; returns the number of bytes read (0 when the file cannot be read).
  virtual size_t ReadStart(const std::string& path, std::span<std::byte> buffer) = 0;

  // The entries of the folder path (ending with a separator), without "." and "..", in
  // the order the file system keeps them; empty when it cannot be listed.
  virtual std::vector<FolderEntry> ListFolder(const std::string& path) = 0;

  // Deletes one file or link (never its target); true when it is gone.
  virtual bool DeleteFile(const std::string& path) = 0;

  // Removes an empty folder; true when it is gone.
  virtual bool RemoveFolder(const std::string& path) = 0;
};

// The file system of the machine the program runs on.
FileSystem& NativeFileSystem();

}  // namespace hv
