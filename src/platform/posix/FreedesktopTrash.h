#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/RecycleBin.h"

namespace hv {

// The freedesktop.org Trash of one user: the home trash and the user's trash folders at
// the top of each mounted file system.
class FreedesktopTrash : public RecycleBin {
 public:
  FreedesktopTrash(std::string homeTrash, std::vector<std::string> topDirs, uid_t uid);

  // The current user's trash: $XDG_DATA_HOME/Trash and every mounted file system.
  static FreedesktopTrash ForCurrentUser();

  // The trash folders that exist and may be used: a top folder's shared ".Trash" only
  // where it is sticky and not a symlink.
  std::vector<std::string> TrashFolders() const;

  // Trashed items over all trash folders (an entry of files/ or an info file, once each).
  size_t CountItems() const;

  // Removes every item whole, with its info file, reporting each by the path it was
  // trashed from and the bytes it takes up; a preview only reports. Ends between two
  // items once the report asks to stop.
  void EmptyAll(ReportSink& report, bool preview = false) const;

  void EmptyWithConfirmation(UserInterface& ui, ReportSink& report, bool preview) override;

 private:
  std::string homeTrash_;
  std::vector<std::string> topDirs_;
  uid_t uid_;
};

}  // namespace hv
