#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/FileIdentity.h"

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

// One entry of a folder: its name as stored, its attributes, and what it takes up on disk.
struct FolderEntry {
  std::string name;
  uint32_t attributes = FileAttribute::kNormal;
  // What removing the entry frees; where the system keeps no such count, its length. A
  // listing may leave it out (nullopt) where finding it costs a look at each entry.
  std::optional<uint64_t> allocatedBytes = std::nullopt;
  FileIdentity identity = {};  // of an ordinary file, where the system tells

  bool operator==(const FolderEntry&) const = default;
};

// Whether a file may be taken on to be erased, and if not, why.
enum class FileAccess {
  kExclusive,  // an ordinary file this user may delete, held open by no other process
  kMissing,    // no such entry (any more)
  kNotAFile,   // a link, a folder, a device or a pipe
  kDenied,     // not this user's to open or to remove
  kInUse,      // another process holds it open
};

// What a probe found out about a file.
struct FileProbe {
  FileAccess access = FileAccess::kMissing;
  std::optional<uint64_t> allocatedBytes =
      std::nullopt;  // what the file takes up, where the probe saw it
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

// A folder held open. Its entries are reached by name relative to the folder itself,
// never through a link, so that a folder renamed or swapped for a link once it was opened
// cannot lead anywhere else. A name is one component: a name holding a separator, "." or
// ".." reaches nothing. The path is for showing only.
class Folder {
 public:
  virtual ~Folder() = default;

  // The path the folder was opened by, ending with a separator.
  virtual const std::string& Path() const = 0;

  // The entries, without "." and "..", in the order the file system keeps them; an entry
  // gone while it is listed is left out where that is noticed. Empty when the folder cannot
  // be listed. A file's read-only bit and size may be left out where the listing alone does
  // not tell them: a folder's never are.
  virtual std::vector<FolderEntry> List() = 0;

  // The subfolder name when it is a folder on this folder's own volume and not a link;
  // nullptr otherwise.
  virtual std::unique_ptr<Folder> OpenSubfolder(const std::string& name) = 0;

  // The entry name itself (never a link's target); nullopt when it is missing or cannot be
  // examined.
  virtual std::optional<FolderEntry> FindEntry(const std::string& name) = 0;

  // Whether name is an ordinary file this user may delete and no other process holds
  // open, and if not, why, with what the file takes up when that was seen on the way.
  // Changes nothing, not even an access time.
  virtual FileProbe Probe(const std::string& name) = 0;
  FileAccess ProbeAccess(const std::string& name) { return Probe(name).access; }
  bool CanOpenExclusively(const std::string& name) {
    return ProbeAccess(name) == FileAccess::kExclusive;
  }

  // Opens the existing ordinary file name for writing; nullptr when it cannot be opened.
  virtual std::unique_ptr<OpenFile> OpenForWriting(const std::string& name, WriteMode mode) = 0;

  // What OpenToErase found, and the file open for writing when it was free to erase.
  struct FileToErase {
    FileProbe probe;
    std::unique_ptr<OpenFile> file;  // nullptr when the probe refused it or the open failed
  };
  // Probes name and, when it is free to erase, gives it normal attributes and opens it for
  // writing with mode; the probe says kDenied when the attributes could not be changed. A
  // system whose open for writing can itself be the probe may do both at once, and then
  // keeps every other opener out for as long as the file stays open.
  virtual FileToErase OpenToErase(const std::string& name, WriteMode mode);

  // The sector size of the folder's volume; 0 when it cannot be found out.
  virtual uint32_t SectorSize() = 0;

  // Sets the changeable attribute bits (read-only, hidden, system, archive) of name.
  virtual bool SetAttributes(const std::string& name, uint32_t attributes) = 0;

  // The length of the file name; nullopt when it cannot be read.
  virtual std::optional<uint64_t> FileLength(const std::string& name) = 0;

  // Reads the start of the file name through the ordinary, cached input path into buffer;
  // returns the number of bytes read (0 when the file cannot be read).
  virtual size_t ReadStart(const std::string& name, std::span<std::byte> buffer) = 0;

  // Deletes the file or link name (never its target); true when it is gone.
  virtual bool DeleteFile(const std::string& name) = 0;

  // Removes the empty folder name; true when it is gone.
  virtual bool RemoveFolder(const std::string& name) = 0;
};

// The file-system services of the secure wipe and the folder deletion. A walk opens its
// folder once and goes on from there; the calls by path serve single files, through the
// folder that holds the path's last component (links elsewhere in the path are followed,
// the last component never).
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The folder at path (with or without a closing separator), links in the path followed:
  // a folder may be named through one; nullptr when it is no folder or cannot be opened.
  virtual std::unique_ptr<Folder> OpenFolder(const std::string& path) = 0;

  // What the folder holding path answers for its last component; see Folder.
  virtual bool CanOpenExclusively(const std::string& path);
  virtual std::optional<FolderEntry> FindEntry(const std::string& path);
  virtual bool SetAttributes(const std::string& path, uint32_t attributes);
  virtual bool DeleteFile(const std::string& path);

  // The entries of the folder path; empty when it cannot be listed.
  virtual std::vector<FolderEntry> ListFolder(const std::string& path);
};

// The folder that holds a path's last component, open, and that component's name; folder
// is nullptr when it cannot be opened or the path names no entry (a root folder).
struct FolderAndName {
  std::unique_ptr<Folder> folder;
  std::string name;
};
FolderAndName OpenFolderOf(FileSystem& files, const std::string& path);

// The file system of the machine the program runs on.
FileSystem& NativeFileSystem();

}  // namespace hv
