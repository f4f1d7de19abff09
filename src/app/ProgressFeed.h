#pragma once

#include <QString>
#include <functional>

namespace hv {

class BatchProgress;
class RunReport;

// What a progress window shows at one refresh.
struct ProgressFrame {
  QString item;  // the item or file at work; empty before the first
  QString counts;
  int permille = -1;  // the share done, for the bar; -1 when what is to come is not known
};

// What a progress window follows, and how its Cancel asks the work to stop.
struct ProgressFeed {
  QString title;
  QString heading;
  QString stopping;                     // Cancel's text once pressed
  std::function<ProgressFrame()> read;  // called on the window's thread
  std::function<void()> stop;
};

// A cleaning run or preview: the item at work and the entries and bytes so far.
ProgressFeed CleaningFeed(RunReport& report, bool preview);

// A batch of files: the file at work, its place in the batch, and the bytes gone through
// of the whole batch.
ProgressFeed FileBatchFeed(BatchProgress& progress, const QString& title, const QString& heading,
                           const QString& stopping);

}  // namespace hv
