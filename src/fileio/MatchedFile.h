#pragma once

#include "clean/ReportSink.h"
#include "platform/FileSystem.h"

namespace hv {

// Reports the entry of folder as left, for reason.
void ReportLeft(ReportSink& report, Folder& folder, const FolderEntry& entry, const char* reason);

// Takes a file a deletion matched: erases it through EraseFile (wiping it when wipe is
// set) and reports it removed with the bytes it took up, or left with the reason. A link is
// reported left and is neither followed nor removed. With preview set nothing is opened or
// changed and the file is reported as one that would be removed; whether another program
// holds it open only the run finds out.
void TakeMatchedFile(Folder& folder, const FolderEntry& entry, bool wipe, bool preview,
                     ReportSink& report);

}  // namespace hv
