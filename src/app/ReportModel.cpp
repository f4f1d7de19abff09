#include "app/ReportModel.h"

#include <QApplication>
#include <QFont>
#include <QStyle>
#include <algorithm>

namespace hv {
namespace {

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

QString OutcomeText(EntryOutcome outcome) {
  switch (outcome) {
    case EntryOutcome::kRemoved:
      return QStringLiteral("Removed");
    case EntryOutcome::kWouldBeRemoved:
      return QStringLiteral("Would be removed");
    case EntryOutcome::kLeft:
      break;
  }
  return QStringLiteral("Left");
}

QVariant WarningIcon() {
  return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
}

}  // namespace

ReportModel::ReportModel(const RunReport& report, QObject* parent)
    : QAbstractItemModel(parent), report_(report) {
  for (size_t i = 0; i < report.ItemCount(); ++i) {
    items_.push_back(report.Item(i));
  }
  fetched_.assign(items_.size(), 0);
}

QModelIndex ReportModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column < 0 || column >= kColumnCount) {
    return {};
  }
  if (!parent.isValid()) {
    return static_cast<size_t>(row) < items_.size() ? createIndex(row, column, kItemLevel)
                                                    : QModelIndex();
  }
  if (parent.internalId() != kItemLevel ||
      static_cast<size_t>(row) >= fetched_[static_cast<size_t>(parent.row())]) {
    return {};
  }
  return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex ReportModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kItemLevel) {
    return {};
  }
  return createIndex(static_cast<int>(child.internalId() - 1), 0, kItemLevel);
}

int ReportModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) {
    return static_cast<int>(items_.size());
  }
  if (parent.internalId() != kItemLevel || parent.column() != 0) {
    return 0;
  }
  return static_cast<int>(fetched_[static_cast<size_t>(parent.row())]);
}

int ReportModel::columnCount(const QModelIndex&) const {
  return kColumnCount;
}

bool ReportModel::hasChildren(const QModelIndex& parent) const {
  if (!parent.isValid()) {
    return !items_.empty();
  }
  return parent.internalId() == kItemLevel && parent.column() == 0 &&
         items_[static_cast<size_t>(parent.row())].shownEntries > 0;
}

bool ReportModel::canFetchMore(const QModelIndex& parent) const {
  if (!parent.isValid() || parent.internalId() != kItemLevel) {
    return false;
  }
  const auto row = static_cast<size_t>(parent.row());
  return fetched_[row] < items_[row].shownEntries;
}

void ReportModel::fetchMore(const QModelIndex& parent) {
  if (!canFetchMore(parent)) {
    return;
  }
  const auto row = static_cast<size_t>(parent.row());
  const size_t more = std::min(kFetchChunk, items_[row].shownEntries - fetched_[row]);
  beginInsertRows(parent, static_cast<int>(fetched_[row]),
                  static_cast<int>(fetched_[row] + more - 1));
  fetched_[row] += more;
  endInsertRows();
}

QVariant ReportModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) {
    return {};
  }
  if (index.internalId() == kItemLevel) {
    return ItemData(items_[static_cast<size_t>(index.row())], index.column(), role);
  }
  if (role != Qt::DisplayRole && role != Qt::DecorationRole && role != Qt::ToolTipRole &&
      role != Qt::TextAlignmentRole) {
    return {};  // spares the report's lock for the roles nobody shows
  }
  const ReportEntry entry = report_.Entry(index.internalId() - 1, static_cast<size_t>(index.row()));
  return EntryData(entry, index.column(), role);
}

QVariant ReportModel::ItemData(const RunReport::ItemSummary& item, int column, int role) const {
  const bool sized = std::any_of(item.tally.sized.begin(), item.tally.sized.end(),
                                 [](bool sized) { return sized; });
  if (role == Qt::DisplayRole) {
    switch (column) {
      case kWhat:
        return Text(item.caption);
      case kOutcome:
        return Text(TallyLine(item.tally));
      case kSize:
        return sized ? Text(DisplaySize(item.tally.Bytes())) : QVariant();
      case kReason:
        return Text(item.firstReason);
      default:
        return {};
    }
  }
  if (role == Qt::FontRole && column == kWhat) {
    QFont bold;
    bold.setBold(true);
    return bold;
  }
  if (role == Qt::DecorationRole && column == kWhat && item.tally.left > 0) {
    return WarningIcon();
  }
  if (role == Qt::TextAlignmentRole && column == kSize) {
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  }
  return {};
}

QVariant ReportModel::EntryData(const ReportEntry& entry, int column, int role) const {
  if (role == Qt::DisplayRole) {
    switch (column) {
      case kWhat:
        return Text(entry.what);
      case kOutcome:
        return OutcomeText(entry.outcome);
      case kSize:
        return entry.bytes ? Text(DisplaySize(*entry.bytes)) : QVariant();
      case kReason:
        return Text(entry.reason);
      default:
        return {};
    }
  }
  if (role == Qt::ToolTipRole && column == kWhat) {
    return Text(entry.what);  // long paths are cut in the column
  }
  if (role == Qt::DecorationRole && column == kWhat && entry.outcome == EntryOutcome::kLeft) {
    return WarningIcon();
  }
  if (role == Qt::TextAlignmentRole && column == kSize) {
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  }
  return {};
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return {};
  }
  static const char* const kHeaders[kColumnCount] = {"Item", "Outcome", "Size", "Reason"};
  return section >= 0 && section < kColumnCount ? QString(kHeaders[section]) : QVariant();
}

}  // namespace hv
