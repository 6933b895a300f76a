// The result view's model: one row per visible result of a tResultsList.
//
// Each row is bound to its result both ways through results::ListItem, so the
// result list writes a row's texts and picture itself (RefreshRow) and removes
// the row when the result leaves the view. The row keeps the texts it was
// given, so painting and sorting never go back to the results.
//
// The model never re-sorts by itself: rows added later append, and Fill
// follows the result list's order.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QLocale>
#include <functional>
#include <memory>
#include <vector>

namespace trawler::results {
class tResultsList;
class tUrlResult;
}  // namespace trawler::results
namespace trawler::lang { class tALanglist; }

namespace trawler::ui {

// Columns of the result view and the interface texts that head them.
enum ResultColumn : int {
    rcTitle = 0,      // 129
    rcUrl = 1,        // 130
    rcEngine = 2,     // 131
    rcDate = 3,       // 238
    rcRelevance = 4,  // 239
    kResultColumnCount = 5,
};
inline constexpr int kResultColumnTexts[kResultColumnCount] = {129, 130, 131, 238, 239};

// How new results are drawn and whether rows show tips (from the settings).
struct ResultDisplayOptions {
    bool UseExtList = false;    // the program draws the rows (bold and colour apply)
    bool NewItemsBold = false;  // new results' rows in bold
    QColor NewItemsColor;       // text colour of new results
    bool ShowItemHint = false;  // tips with the result's summary
    QFont Font;                 // the view's font; new results take it in bold
};

class ResultRow;

class ResultsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using ProgressCallback = std::function<void(int position, int maximum)>;

    explicit ResultsModel(QObject* parent = nullptr);
    ~ResultsModel() override;  // unbinds every row from its result

    // The list whose visible results the model shows; changing it empties the
    // model (call Fill afterwards). None is allowed.
    void SetResultsList(results::tResultsList* list);
    results::tResultsList* ResultsList() const { return FList; }

    void SetHeaderTexts(const lang::tALanglist& lang);
    void SetDisplayOptions(const ResultDisplayOptions& options);
    const ResultDisplayOptions& DisplayOptions() const { return FOptions; }

    // Rebuilds every row from the visible results in list order. progress is
    // told (position, number of results) as the fill goes on, at most about a
    // hundred times however long the list is.
    void Fill(const ProgressCallback& progress = {});
    // Unbinds and removes every row.
    void Clear();
    // Adds a row for a result that became visible (a new result of a search)
    // and binds it; returns its row. A result already shown keeps its row.
    int AppendResult(results::tUrlResult& result);

    // The result of a row; none for a row outside the model or one unbound.
    results::tUrlResult* ResultAt(int row) const;
    // The row showing a result, or -1.
    int RowOf(const results::tUrlResult* result) const;

    // The result list's OnBeginUpdate / OnEndUpdate: rows removed inside a
    // batch leave the model together when the outermost batch ends, so
    // removing many rows costs one pass, not one pass per row.
    void BeginBatch();
    void EndBatch();
    bool InBatch() const { return FBatchDepth > 0; }

    // Sorts the rows by a column once (stable); later rows are not placed.
    void SortByColumn(int column, bool ascending);

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Column headers take texts (the language walk sets them this way).
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    void rowCountChanged(int rows);

private:
    friend class ResultRow;

    // Calls from a row (through the result list).
    void RowChanged(ResultRow& row, int firstColumn, int lastColumn);
    void RowDeleted(ResultRow& row);

    std::unique_ptr<ResultRow> MakeRow(int index);
    void RemoveDeadRows();
    void Renumber(int from);

    results::tResultsList* FList = nullptr;
    std::vector<std::unique_ptr<ResultRow>> FRows;
    QString FHeaders[kResultColumnCount];
    ResultDisplayOptions FOptions;
    int FBatchDepth = 0;
    int FDeadRows = 0;     // rows deleted inside a batch, still in FRows
    bool FQuiet = false;   // rows being bound: no change signals per cell
    QLocale FKeyLocale;    // the locale the rows' cached sort keys were made in
};

}  // namespace trawler::ui
