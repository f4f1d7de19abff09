#pragma once

#include <functional>
#include <string>

namespace hv {

// Names for new files that are still being written, where a file system cannot keep them
// without a name: hidden, recognisable as this program's, and carrying the id of the
// process that made them. The owner holds an exclusive flock(2) on the file for as long as
// it works on it, so a file of such a name that nobody holds was left by a crash, a kill or
// a power cut, and holds copies of data the user meant to protect.

// Calls attempt with fresh staged names until it succeeds, and returns that name; empty
// once an attempt failed for another reason than the name being taken (errno then tells).
std::string UnderFreshStagedName(const std::function<bool(const std::string&)>& attempt);

// Marks the open file as worked on by this process until the descriptor is closed.
void ClaimStaged(int fd);

// Removes the staged files in the folder whose owner is gone. A file counts as abandoned
// when nobody holds its lock (or the file system keeps no locks) and either no process of
// its id runs or it was last written long ago, since ids are reused after a restart. A
// staged file nobody holds yet, just created by a running process, stays.
void SweepAbandonedStagedFiles(int folder);

}  // namespace hv
