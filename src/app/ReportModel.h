#pragma once

#include <QAbstractItemModel>
#include <vector>

#include "clean/RunReport.h"

namespace hv {

// A finished run's report as a tree: one row per item with its counts and size, its
// entries below it. Entries are read from the report only when a view asks for them and
// fetched in chunks, so a list of a million entries opens at once.
class ReportModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum Column { kWhat, kOutcome, kSize, kReason, kColumnCount };
  static constexpr size_t kFetchChunk = 10'000;

  explicit ReportModel(const RunReport& report, QObject* parent = nullptr);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  static constexpr quintptr kItemLevel = 0;  // entries carry their item's index + 1

  QVariant ItemData(const RunReport::ItemSummary& item, int column, int role) const;
  QVariant EntryData(const ReportEntry& entry, int column, int role) const;

  const RunReport& report_;
  std::vector<RunReport::ItemSummary> items_;
  std::vector<size_t> fetched_;  // per item, how many of its entries the view was given
};

}  // namespace hv
