#include "ui/results_model/results_model.h"

#include <QFont>
#include <QLocale>
#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "results/results_list.h"
#include "results/url_result.h"
#include "support/lang/lang_list.h"
#include "ui/pictures/pictures.h"
#include "ui/results_model/locale_sort_keys.h"
#include "ui/results_model/row_compare.h"

namespace trawler::ui {

namespace {
QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

// One row of the view: the texts the result list wrote into it, its picture,
// and the link back to its result.
class ResultRow final : public results::ListItem {
public:
    ResultRow(ResultsModel& model, int index) : FModel(&model), FIndex(index) {}

    std::string Caption() const override { return FCaption; }
    void SetCaption(const std::string& text) override {
        if (text != FCaption) {
            FCaption = text;
            FKeys[rcTitle].reset();
        }
        // The result list rewrites the caption on every refresh, also when only
        // the result's marks changed, so the whole row is redrawn.
        FModel->RowChanged(*this, rcTitle, rcRelevance);
    }

    int ColumnCount() const override { return FColumnCount; }
    void AddColumn() override {
        if (FColumnCount < static_cast<int>(FColumns.size())) ++FColumnCount;
    }
    std::string Column(int index) const override {
        return index >= 0 && index < FColumnCount ? FColumns[static_cast<std::size_t>(index)] : std::string();
    }
    void SetColumn(int index, const std::string& text) override {
        if (index < 0 || index >= FColumnCount) return;
        std::string& column = FColumns[static_cast<std::size_t>(index)];
        if (column == text) return;
        column = text;
        if (index + 1 < kKeyedColumns) FKeys[index + 1].reset();
        FModel->RowChanged(*this, index + 1, index + 1);
    }

    void SetImage(int image) override {
        if (image == FImage) return;
        FImage = image;
        FModel->RowChanged(*this, rcTitle, rcTitle);
    }

    void Unbind() override { FResult = nullptr; }
    // May destroy this row; nothing touches it afterwards.
    void Delete() override { FModel->RowDeleted(*this); }

    ResultsModel* FModel;
    results::tUrlResult* FResult = nullptr;
    int FIndex;
    bool FDead = false;  // deleted inside a batch, leaves at the batch's end
    int FImage = results::csUnchecked;
    int FColumnCount = 0;
    std::string FCaption;
    std::array<std::string, kResultColumnCount - 1> FColumns;

    // The text of a column that is sorted by locale (title, URL, engine).
    const std::string& Text(int column) const {
        return column == rcTitle ? FCaption : FColumns[static_cast<std::size_t>(column - 1)];
    }
    // Sort keys of those columns, made by the first sort that needs them and
    // dropped when the text changes, so turning a sort over is cheap.
    static constexpr int kKeyedColumns = rcEngine + 1;
    std::array<std::optional<std::string>, kKeyedColumns> FKeys;
};

ResultsModel::ResultsModel(QObject* parent) : QAbstractTableModel(parent) {
    for (int column = 0; column < kResultColumnCount; ++column)
        FHeaders[column] = QString::number(kResultColumnTexts[column]);
}

ResultsModel::~ResultsModel() {
    for (auto& row : FRows)
        if (row->FResult && row->FResult->ListItem() == row.get()) row->FResult->BindRow(nullptr);
}

void ResultsModel::SetResultsList(results::tResultsList* list) {
    Clear();
    FList = list;
}

void ResultsModel::SetHeaderTexts(const lang::tALanglist& lang) {
    for (int column = 0; column < kResultColumnCount; ++column)
        FHeaders[column] = FromUtf8(lang.CaptionText(kResultColumnTexts[column]));
    emit headerDataChanged(Qt::Horizontal, 0, kResultColumnCount - 1);
}

void ResultsModel::SetDisplayOptions(const ResultDisplayOptions& options) {
    FOptions = options;
    if (!FRows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, kResultColumnCount - 1));
}

std::unique_ptr<ResultRow> ResultsModel::MakeRow(int index) {
    return std::make_unique<ResultRow>(*this, index);
}

void ResultsModel::Fill(const ProgressCallback& progress) {
    beginResetModel();
    for (auto& row : FRows)
        if (row->FResult && row->FResult->ListItem() == row.get()) row->FResult->BindRow(nullptr);
    FRows.clear();
    FDeadRows = 0;
    if (FList) {
        const int count = FList->Count();
        const int step = std::max(1, count / 100);
        FRows.reserve(static_cast<std::size_t>(count));
        FQuiet = true;
        for (int i = 0; i < count; ++i) {
            if (progress && i % step == 0) progress(i, count);
            results::tUrlResult* result = FList->Items(i);
            if (!result || !result->Visible()) continue;
            auto row = MakeRow(static_cast<int>(FRows.size()));
            row->FResult = result;
            ResultRow* bound = row.get();
            FRows.push_back(std::move(row));
            result->BindRow(bound);
        }
        FQuiet = false;
    }
    endResetModel();
    emit rowCountChanged(rowCount());
}

void ResultsModel::Clear() {
    if (FRows.empty()) return;
    beginResetModel();
    for (auto& row : FRows)
        if (row->FResult && row->FResult->ListItem() == row.get()) row->FResult->BindRow(nullptr);
    FRows.clear();
    FDeadRows = 0;
    endResetModel();
    emit rowCountChanged(0);
}

int ResultsModel::AppendResult(results::tUrlResult& result) {
    const int shown = RowOf(&result);
    if (shown >= 0) return shown;
    const int index = static_cast<int>(FRows.size());
    beginInsertRows(QModelIndex(), index, index);
    auto row = MakeRow(index);
    row->FResult = &result;
    ResultRow* bound = row.get();
    FRows.push_back(std::move(row));
    FQuiet = true;
    result.BindRow(bound);
    FQuiet = false;
    endInsertRows();
    emit rowCountChanged(rowCount());
    return index;
}

results::tUrlResult* ResultsModel::ResultAt(int row) const {
    if (row < 0 || row >= static_cast<int>(FRows.size())) return nullptr;
    return FRows[static_cast<std::size_t>(row)]->FResult;
}

int ResultsModel::RowOf(const results::tUrlResult* result) const {
    if (!result) return -1;
    const auto* row = dynamic_cast<const ResultRow*>(result->ListItem());
    if (!row || row->FModel != this || row->FDead) return -1;
    return row->FIndex;
}

void ResultsModel::BeginBatch() { ++FBatchDepth; }

void ResultsModel::EndBatch() {
    if (FBatchDepth == 0) return;
    if (--FBatchDepth == 0 && FDeadRows > 0) RemoveDeadRows();
}

void ResultsModel::Renumber(int from) {
    for (std::size_t i = static_cast<std::size_t>(std::max(from, 0)); i < FRows.size(); ++i)
        FRows[i]->FIndex = static_cast<int>(i);
}

void ResultsModel::RemoveDeadRows() {
    // A few runs of removed rows leave one by one, so the view keeps its
    // selection and scroll position; many scattered removals reset the model
    // once instead of shifting the rows once per run.
    constexpr int kMaxRuns = 16;
    std::vector<std::pair<int, int>> runs;  // first, last
    for (int i = 0; i < static_cast<int>(FRows.size()); ++i) {
        if (!FRows[static_cast<std::size_t>(i)]->FDead) continue;
        if (!runs.empty() && runs.back().second == i - 1)
            runs.back().second = i;
        else
            runs.emplace_back(i, i);
        if (static_cast<int>(runs.size()) > kMaxRuns) break;
    }
    if (static_cast<int>(runs.size()) <= kMaxRuns) {
        for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
            beginRemoveRows(QModelIndex(), it->first, it->second);
            FRows.erase(FRows.begin() + it->first, FRows.begin() + it->second + 1);
            Renumber(it->first);
            endRemoveRows();
        }
    } else {
        beginResetModel();
        std::erase_if(FRows, [](const std::unique_ptr<ResultRow>& row) { return row->FDead; });
        Renumber(0);
        endResetModel();
    }
    FDeadRows = 0;
    emit rowCountChanged(rowCount());
}

void ResultsModel::RowChanged(ResultRow& row, int firstColumn, int lastColumn) {
    if (FQuiet || row.FDead) return;
    emit dataChanged(index(row.FIndex, firstColumn), index(row.FIndex, lastColumn));
}

void ResultsModel::RowDeleted(ResultRow& row) {
    if (row.FDead) return;
    row.FResult = nullptr;
    if (FBatchDepth > 0) {
        row.FDead = true;
        ++FDeadRows;
        return;
    }
    const int index = row.FIndex;
    beginRemoveRows(QModelIndex(), index, index);
    FRows.erase(FRows.begin() + index);  // destroys row
    Renumber(index);
    endRemoveRows();
    emit rowCountChanged(rowCount());
}

void ResultsModel::SortByColumn(int column, bool ascending) {
    if (column < 0 || column >= kResultColumnCount || FRows.size() < 2) return;
    const int count = static_cast<int>(FRows.size());
    std::vector<int> order;
    if (column == rcDate) {
        std::vector<double> days(FRows.size());
        for (std::size_t i = 0; i < FRows.size(); ++i)
            days[i] = FRows[i]->FResult ? FRows[i]->FResult->Date : 0;
        order = StableOrder(count, [&](int a, int b) { return CompareDays(days[a], days[b]); }, ascending);
    } else if (column == rcRelevance) {
        std::vector<int> values(FRows.size());
        for (std::size_t i = 0; i < FRows.size(); ++i) values[i] = RelevanceOfText(FRows[i]->Column(rcRelevance - 1));
        order = StableOrder(count, [&](int a, int b) { return values[a] < values[b] ? -1 : (values[a] > values[b] ? 1 : 0); }, ascending);
    } else {
        // Case-sensitive comparison in the user's locale, through sort keys
        // made once per row rather than once per comparison.
        const QLocale locale;
        if (locale != FKeyLocale) {
            for (auto& row : FRows)
                for (auto& key : row->FKeys) key.reset();
            FKeyLocale = locale;
        }
        LocaleSortKeys keyMaker{locale};
        if (keyMaker.Binary()) {
            // UTF-8 bytes compare in code point order: the C locale's order.
            std::vector<const std::string*> texts;
            texts.reserve(FRows.size());
            for (const auto& row : FRows) texts.push_back(&row->Text(column));
            order = StableOrder(count, [&](int a, int b) { return texts[static_cast<std::size_t>(a)]->compare(*texts[static_cast<std::size_t>(b)]); }, ascending);
        } else {
            std::vector<const std::string*> keys;
            keys.reserve(FRows.size());
            for (const auto& row : FRows) {
                auto& key = row->FKeys[static_cast<std::size_t>(column)];
                if (!key) key.emplace(keyMaker.Key(row->Text(column)));
                keys.push_back(&*key);
            }
            order = StableOrder(count, [&](int a, int b) { return keys[static_cast<std::size_t>(a)]->compare(*keys[static_cast<std::size_t>(b)]); }, ascending);
        }
    }

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(FRows.size());
    for (int position = 0; position < count; ++position) newRowOf[static_cast<std::size_t>(order[static_cast<std::size_t>(position)])] = position;
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.append(index(newRowOf[static_cast<std::size_t>(old.row())], old.column()));
    std::vector<std::unique_ptr<ResultRow>> sorted;
    sorted.reserve(FRows.size());
    for (int from : order) sorted.push_back(std::move(FRows[static_cast<std::size_t>(from)]));
    FRows = std::move(sorted);
    Renumber(0);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(FRows.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kResultColumnCount;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(FRows.size())) return {};
    const ResultRow& row = *FRows[static_cast<std::size_t>(index.row())];
    if (row.FDead) return {};
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return FromUtf8(column == rcTitle ? row.FCaption : row.Column(column - 1));
        case Qt::DecorationRole:
            if (column == rcTitle) return pictures::RowPicture(row.FImage);
            return {};
        case Qt::FontRole:
            if (FOptions.UseExtList && FOptions.NewItemsBold && row.FResult && row.FResult->IsNew()) {
                QFont font = FOptions.Font;
                font.setBold(true);
                return font;
            }
            return {};
        case Qt::ForegroundRole:
            if (FOptions.UseExtList && FOptions.NewItemsColor.isValid() && row.FResult && row.FResult->IsNew())
                return FOptions.NewItemsColor;
            return {};
        case Qt::ToolTipRole:
            if (FOptions.ShowItemHint && row.FResult) return FromUtf8(row.FResult->SummaryText());
            return {};
        default:
            return {};
    }
}

bool ResultsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != rcTitle) return false;
    if (index.row() >= static_cast<int>(FRows.size())) return false;
    ResultRow& row = *FRows[static_cast<std::size_t>(index.row())];
    const QByteArray text = value.toString().toUtf8();
    // An empty title is refused; the old one stays.
    if (text.isEmpty() || !row.FResult || row.FDead) return false;
    row.FResult->SetTitle(text.toStdString());
    row.SetCaption(row.FResult->Title);
    return true;
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid()) flags |= Qt::ItemIsDragEnabled;
    if (index.isValid() && index.column() == rcTitle) flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kResultColumnCount)
        return FHeaders[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool ResultsModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
    if (orientation != Qt::Horizontal || (role != Qt::EditRole && role != Qt::DisplayRole) || section < 0 ||
        section >= kResultColumnCount)
        return false;
    FHeaders[section] = value.toString();
    emit headerDataChanged(Qt::Horizontal, section, section);
    return true;
}

void ResultsModel::sort(int column, Qt::SortOrder order) {
    SortByColumn(column, order == Qt::AscendingOrder);
}

}  // namespace trawler::ui
