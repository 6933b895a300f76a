#pragma once
// The Engines tab's table: a model over the engine rows of the current search.

#include <QAbstractTableModel>

#include <functional>

#include "core/mainwin/engine_rows.h"

namespace trawler::ui {

class EnginesModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { colCaption, colState, colReceived, colTotal, colTransferred, kColumnCount };

  explicit EnginesModel(mainwin::EngineRows &rows, QObject *parent = nullptr);

  // Header texts in column order.
  void SetHeaderTexts(const QStringList &texts);

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Header texts come from the language list through the translation walk.
  bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                     int role) override;

 private:
  mainwin::EngineRows &FRows;
  QStringList FHeaders;
};

}  // namespace trawler::ui
