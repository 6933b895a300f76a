#include "ui/result_view/result_view.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QDrag>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMouseEvent>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>

#include <algorithm>

#include "core/engine_list.h"
#include "platform/registry.h"
#include "results/results_list.h"
#include "results/url_result.h"
#include "support/settings/defaults_list.h"
#include "ui/result_view/result_view_host.h"
#include "ui/result_view/safe_html_view.h"
#include "ui/result_view/url_mime.h"
#include "ui/results_model/results_model.h"

namespace trawler::ui {

ResultView::ResultView(ResultViewHost& host, QTableView* lvExt, QTextBrowser* hl, QWidget* window)
    : QObject(window), FHost(host), FView(lvExt), FPreview(hl), FWindow(window),
      FModel(new ResultsModel(this)) {
    FModel->SetResultsList(&List());
    FModel->SetHeaderTexts(FHost.Lang());
    FActiveViewer = FPreview;
    SetupView();
    MakeSafeHtmlView(*FPreview);
    WireHtmlView(*FPreview);
    CreateItemActions();
    CreateWebViewActions();
    CreateFilterActions();
    BuildItemMenu();
    BuildWebViewMenu();
    ApplySettings();
    UpdateItemActions();
}

ResultView::~ResultView() {
    // The table may already be gone (a sibling destroyed first): nothing of
    // the model's last signals may reach it through this object.
    disconnect(FModel, nullptr, this, nullptr);
    // The rows go before the result list can outlive them: unbind them now.
    FModel->SetResultsList(nullptr);
}

results::tResultsList& ResultView::List() const { return *FHost.Engines().ResultList; }

void ResultView::SetupView() {
    FView->setModel(FModel);
    FView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A slow second click or F2 edits the title; a double click opens.
    FView->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    FView->setDragEnabled(false);  // the drag is started here, with the URL formats
    FView->setAcceptDrops(false);
    FView->setDragDropMode(QAbstractItemView::NoDragDrop);
    FView->setWordWrap(false);
    FView->setSortingEnabled(false);  // never re-sorted by itself
    FView->setContextMenuPolicy(Qt::CustomContextMenu);
    FView->verticalHeader()->hide();
    FView->verticalHeader()->setDefaultSectionSize(FView->fontMetrics().height() + 4);
    FView->horizontalHeader()->setSectionsClickable(true);
    FView->horizontalHeader()->setSortIndicatorShown(false);
    FView->horizontalHeader()->setHighlightSections(false);
    FView->horizontalHeader()->setStretchLastSection(false);
    FView->setColumnWidth(rcTitle, 260);
    FView->setColumnWidth(rcUrl, 260);
    FView->viewport()->installEventFilter(this);
    LoadColumnWidths();
    FSaveWidthsTimer = new QTimer(this);
    FSaveWidthsTimer->setSingleShot(true);
    FSaveWidthsTimer->setInterval(500);
    connect(FSaveWidthsTimer, &QTimer::timeout, this, &ResultView::SaveColumnWidths);
    connect(FView->horizontalHeader(), &QHeaderView::sectionResized, FSaveWidthsTimer,
            qOverload<>(&QTimer::start));

    connect(FView->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { SortByColumn(column); });
    connect(FView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ResultView::SelectionChanged);
    // Type-ahead searches the current column: keep it on the title.
    connect(FView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.column() != rcTitle)
                    FView->selectionModel()->setCurrentIndex(current.siblingAtColumn(rcTitle),
                                                             QItemSelectionModel::NoUpdate);
            });
    connect(FView, &QAbstractItemView::doubleClicked, this, [this] { OpenSelected(""); });
    connect(FView, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        FItemMenu->popup(FView->viewport()->mapToGlobal(pos));
    });
    connect(FModel, &ResultsModel::rowCountChanged, this, [this](int rows) {
        FHost.ShowRowCount(rows);
        UpdateItemActions();
    });
}

// --- column widths -------------------------------------------------------------------

namespace {
constexpr std::string_view kColumnsKey = "\\Software\\Oxbow\\Trawler\\views\\1";
constexpr int kMinColumnWidth = 8;
constexpr int kMaxColumnWidth = 4000;
std::string WidthName(int column) { return "Width" + std::to_string(column); }
}  // namespace

void ResultView::LoadColumnWidths() {
    platform::RegKey key(FHost.Engines().Registry());
    if (!key.OpenKeyReadOnly(kColumnsKey)) return;
    for (int column = 0; column < kResultColumnCount; ++column) {
        const std::optional<std::int32_t> width = key.ReadInteger(WidthName(column));
        if (width && *width >= kMinColumnWidth && *width <= kMaxColumnWidth)
            FView->setColumnWidth(column, *width);
    }
}

void ResultView::SaveColumnWidths() {
    if (FSaveWidthsTimer) FSaveWidthsTimer->stop();
    platform::RegKey key(FHost.Engines().Registry());
    if (!key.OpenKey(kColumnsKey, true)) return;
    for (int column = 0; column < kResultColumnCount; ++column)
        key.WriteInteger(WidthName(column), FView->columnWidth(column));
}

// --- filling ---------------------------------------------------------------------------

void ResultView::Fill() {
    FHost.ShowProgress(0, 1);
    FView->setEnabled(false);
    FHost.ShowStatusText(QStringLiteral("Loading list..."));
    // The emptied view shows nothing selected; results left marked selected
    // would otherwise be hit by Delete or the marks without being seen.
    results::tResultsList& list = List();
    for (int i = 0; i < list.Count(); ++i) {
        results::tUrlResult* result = list.Items(i);
        if (result && result->Selected()) result->SetSelected(false);
    }
    FSelectionDetached = true;
    FModel->Fill([this](int position, int maximum) { FHost.ShowProgress(position, maximum); });
    FSelectionDetached = false;
    FView->setEnabled(true);
    FHost.ShowProgress(0, 1);
    FHost.ShowStatusText(QStringLiteral("Loading done"));
    if (FPreviewActive) LoadHtml(*FPreview, {});
    UpdateItemActions();
}

void ResultView::AddResult(results::tUrlResult& result) {
    if (result.Visible()) FModel->AppendResult(result);
}

void ResultView::BeginUpdate() {
    FModel->BeginBatch();
    FView->setUpdatesEnabled(false);
}

void ResultView::EndUpdate() {
    FModel->EndBatch();
    if (!FModel->InBatch()) FView->setUpdatesEnabled(true);
}

int ResultView::RowCount() const { return FModel->rowCount(); }

// --- selection -------------------------------------------------------------------------

results::tUrlResult* ResultView::ResultOfRow(int row) const { return FModel->ResultAt(row); }

QList<int> ResultView::SelectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : FView->selectionModel()->selectedRows()) rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int ResultView::SelectedCount() const {
    int count = 0;
    for (const QItemSelectionRange& range : FView->selectionModel()->selection())
        count += range.height();
    return count;
}

int ResultView::FirstSelectedRow() const {
    int first = -1;
    for (const QItemSelectionRange& range : FView->selectionModel()->selection())
        if (first < 0 || range.top() < first) first = range.top();
    return first;
}

void ResultView::SelectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    if (FSelectionDetached) return;
    // Collect first: turning a result old may take its row out of the view.
    std::vector<std::pair<results::tUrlResult*, bool>> changes;
    auto collect = [&](const QItemSelection& selection, bool value) {
        for (const QItemSelectionRange& range : selection)
            for (int row = range.top(); row <= range.bottom(); ++row)
                if (results::tUrlResult* result = ResultOfRow(row)) changes.emplace_back(result, value);
    };
    collect(deselected, false);
    collect(selected, true);
    const QModelIndex current = FView->selectionModel()->currentIndex();
    QPersistentModelIndex shown;
    if (!selected.isEmpty())
        shown = selected.contains(current) ? QModelIndex(current) : QModelIndex(selected.first().topLeft());
    for (auto& [result, value] : changes) result->SetSelected(value);

    UpdateItemActions();
    if (FPropertiesWindow && FPropertiesWindow->isVisible()) ShowProperties();
    if (FPreviewActive) RefreshPreviewFor(shown, shown.isValid());
}

void ResultView::RerunSelectionHandler() {
    const int first = FirstSelectedRow();
    if (FPropertiesWindow && FPropertiesWindow->isVisible()) ShowProperties();
    if (FPreviewActive) RefreshPreviewFor(FModel->index(first, rcTitle), first >= 0);
}

void ResultView::RefreshPreviewFor(const QModelIndex& row, bool selected) {
    const results::tUrlResult* result = row.isValid() ? ResultOfRow(row.row()) : nullptr;
    if (!selected || !result) {
        LoadHtml(*FPreview, {});
        return;
    }
    LoadHtml(*FPreview, QString::fromUtf8(Describe(*result)));
}

void ResultView::PropertiesTabActivated(bool active) {
    FPreviewActive = active;
    if (active) RerunSelectionHandler();
}

void ResultView::SelectAll() {
    BeginUpdate();
    FSelectionDetached = true;
    std::vector<results::tUrlResult*> results;
    for (int row = 0; row < FModel->rowCount(); ++row)
        if (results::tUrlResult* result = ResultOfRow(row)) results.push_back(result);
    for (results::tUrlResult* result : results) result->SetSelected(true);
    EndUpdate();
    FView->selectAll();
    FSelectionDetached = false;
    UpdateItemActions();
}

// --- sorting ---------------------------------------------------------------------------

void ResultView::SortByColumn(int column) {
    FSortAscending = !FSortAscending;
    if (!FView->isVisible()) return;
    FModel->SortByColumn(column, FSortAscending);
    FView->horizontalHeader()->setSortIndicatorShown(true);
    FView->horizontalHeader()->setSortIndicator(column, FSortAscending ? Qt::AscendingOrder
                                                                       : Qt::DescendingOrder);
    const int first = FirstSelectedRow();
    if (first >= 0) FView->scrollTo(FModel->index(first, rcTitle));
}

// --- settings --------------------------------------------------------------------------

void ResultView::ApplySettings() {
    const settings::tDefaultsList& s = FHost.Settings();
    QFont font = FView->font();
    if (!s.FontName.empty()) font.setFamily(QString::fromStdString(s.FontName));
    if (s.FontSize > 0) font.setPointSize(s.FontSize);
    FView->setFont(font);
    FView->horizontalHeader()->setFont(font);
    FView->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    FView->setShowGrid(s.GridLines);

    ResultDisplayOptions options;
    options.UseExtList = s.UseExtList;
    options.NewItemsBold = s.NewItemsBold;
    const auto bgr = static_cast<std::uint32_t>(s.NewItemsColor);
    options.NewItemsColor = QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    options.ShowItemHint = s.ShowItemHint;
    options.Font = font;  // bold rows keep the list's face and size
    FModel->SetDisplayOptions(options);

    // The preview's default font: a serif face, one size above the lists.
    QFont previewFont(QStringLiteral("Times New Roman"));
    previewFont.setStyleHint(QFont::Serif);
    previewFont.setPointSize((s.FontSize > 0 ? s.FontSize : 9) + 1);
    FPreview->document()->setDefaultFont(previewFont);
    ApplyCharset(*FPreview);
}

// --- dragging a result -----------------------------------------------------------------

bool ResultView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FView->viewport()) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        FPressRow = -1;
        if (mouse->button() == Qt::LeftButton) {
            const QModelIndex index = FView->indexAt(mouse->position().toPoint());
            if (index.isValid() && ResultOfRow(index.row())) {
                FPressRow = index.row();
                FPressPos = mouse->position().toPoint();
            }
        }
    } else if (event->type() == QEvent::MouseMove && FPressRow >= 0) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if ((mouse->buttons() & Qt::LeftButton) &&
            (mouse->position().toPoint() - FPressPos).manhattanLength() >=
                QApplication::startDragDistance()) {
            const int row = FPressRow;
            FPressRow = -1;
            StartDrag(row);
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        FPressRow = -1;
    }
    return QObject::eventFilter(watched, event);
}

void ResultView::StartDrag(int row) {
    const results::tUrlResult* result = ResultOfRow(row);
    if (!result) return;
    auto* drag = new QDrag(FView);
    drag->setMimeData(UrlMimeData(result->MainUrl(), result->Title).release());
    drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
}

}  // namespace trawler::ui
