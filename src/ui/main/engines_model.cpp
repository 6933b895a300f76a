#include "ui/main/engines_model.h"

#include "ui/pictures/pictures.h"

namespace trawler::ui {

EnginesModel::EnginesModel(mainwin::EngineRows &rows, QObject *parent)
    : QAbstractTableModel(parent), FRows(rows) {
  FRows.OnReset = [this] {
    beginResetModel();
    endResetModel();
  };
  FRows.OnRowChanged = [this](int row) {
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
  };
}

void EnginesModel::SetHeaderTexts(const QStringList &texts) {
  FHeaders = texts;
  emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

int EnginesModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : FRows.Count();
}

int EnginesModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant EnginesModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || index.row() >= FRows.Count()) return {};
  const mainwin::EngineRow &row = FRows.Row(index.row());
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    switch (index.column()) {
      case colCaption: return QString::fromStdString(row.Caption);
      case colState: return QString::fromStdString(row.State);
      case colReceived: return QString::fromStdString(row.Received);
      case colTotal: return QString::fromStdString(row.Total);
      case colTransferred: return QString::fromStdString(row.Transferred);
      default: return {};
    }
  }
  if (role == Qt::DecorationRole && index.column() == colCaption)
    return pictures::EnginePicture(row.Picture);
  if (role == Qt::TextAlignmentRole && index.column() >= colReceived)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

bool EnginesModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                                 int role) {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount ||
      (role != Qt::DisplayRole && role != Qt::EditRole))
    return false;
  while (FHeaders.size() < kColumnCount) FHeaders << QString();
  FHeaders[section] = value.toString();
  emit headerDataChanged(Qt::Horizontal, section, section);
  return true;
}

QVariant EnginesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < FHeaders.size())
    return FHeaders[section];
  return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace trawler::ui
