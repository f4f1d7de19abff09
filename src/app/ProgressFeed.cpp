#include "app/ProgressFeed.h"

#include <QFile>

#include "clean/EntryTally.h"
#include "clean/RunReport.h"
#include "fileio/BatchProgress.h"

namespace hv {

ProgressFeed CleaningFeed(RunReport& report, bool preview) {
  return {
      .title = preview ? "Hushvault - Preview" : "Hushvault - Cleaning up",
      .heading = preview ? "Looking for what Clean Now! would remove..."
                         : "Cleaning up the checked items...",
      .stopping = "Stopping...",
      .read =
          [&report] {
            const RunReport::Progress progress = report.CurrentProgress();
            return ProgressFrame{
                .item = QString::fromStdString(progress.item),
                .counts = QString::fromStdString(GroupedNumber(progress.entries) + " entries, " +
                                                 DisplaySize(progress.bytes) + " so far")};
          },
      .stop = [&report] { report.RequestStop(); },
  };
}

ProgressFeed FileBatchFeed(BatchProgress& progress, const QString& title, const QString& heading,
                           const QString& stopping) {
  return {
      .title = title,
      .heading = heading,
      .stopping = stopping,
      .read =
          [&progress] {
            const BatchProgress::Snapshot now = progress.Current();
            constexpr int kWhole = 1000;
            const int permille =
                now.bytesTotal > 0
                    ? static_cast<int>(now.bytesDone * kWhole / now.bytesTotal)
                    : static_cast<int>(now.fileCount > 0 ? now.fileNumber * kWhole / now.fileCount
                                                         : 0);
            return ProgressFrame{
                // A name's bytes that are no text show with replacement characters.
                .item = QFile::decodeName(QByteArray::fromStdString(now.path)),
                .counts = QString::fromStdString("File " + GroupedNumber(now.fileNumber) + " of " +
                                                 GroupedNumber(now.fileCount) + ", " +
                                                 DisplaySize(now.bytesDone) + " of " +
                                                 DisplaySize(now.bytesTotal)),
                .permille = permille};
          },
      .stop = [&progress] { progress.RequestStop(); },
  };
}

}  // namespace hv
