#pragma once

// The result view: the table lvExt over the results model, its item commands
// and context menu, the Properties tab's preview hl with the web-view menu,
// the Filters toolbar's buttons and the HTML page of the result list.
//
// The window that embeds it (ResultViewHost) wires the result list's and the
// engine list's events to Fill, AddResult, BeginUpdate and EndUpdate, puts
// FilterActions on its Filters toolbar, and tells it when the Properties tab
// becomes active. Every command acts on the host's result list.
//
// The work is spread over several source files:
//   result_view.cpp           creation, filling, selection, sorting, settings
//   result_view_actions.cpp   the actions and the two context menus
//   result_view_commands.cpp  the item commands (open, copy, delete, marks, check, black lists)
//   result_view_html.cpp      the preview, the properties window, the HTML page, web-view options

#include <QColor>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <map>
#include <memory>
#include <string>

#include "core/view/describe_result.h"

class QAction;
class QActionGroup;
class QDialog;
class QMenu;
class QModelIndex;
class QPersistentModelIndex;
class QTableView;
class QTextBrowser;
class QTimer;
class QUrl;
class QWidget;
class QItemSelection;

namespace trawler::results { class tResultsList; class tUrlResult; }

namespace trawler::ui {

class ResultViewHost;
class ResultsModel;

class ResultView : public QObject {
    Q_OBJECT
public:
    ResultView(ResultViewHost& host, QTableView* lvExt, QTextBrowser* hl, QWidget* window);
    ~ResultView() override;

    // --- for the main window ---
    QMenu* ItemMenu() const { return FItemMenu; }      // pmItem
    QMenu* WebViewMenu() const { return FWebViewMenu; }  // pmWebView
    // tbFilter1, tbFilter2, a separator, tbFilter3: the Filters toolbar.
    QList<QAction*> FilterActions() const;
    // Rebuilds every row from the visible results (FillResultView).
    void Fill();
    // A result that became visible during a search gets its row.
    void AddResult(results::tUrlResult& result);
    // Batch updates of the result list: removed rows leave together.
    void BeginUpdate();
    void EndUpdate();
    // Enabled state of the item commands, the filter buttons' hints and the
    // deleted-view picture; then the host updates what it owns.
    void UpdateItemActions();
    // Font size, tips, grid lines, drawing of new results.
    void ApplySettings();
    // The Properties tab became active (true) or another tab did (false).
    void PropertiesTabActivated(bool active);
    int RowCount() const;

    // The column widths, kept in the registry store under views\1; written a
    // moment after the user resizes a column, and when the window closes.
    void SaveColumnWidths();

    ResultsModel& Model() const { return *FModel; }
    QTableView* View() const { return FView; }
    QTextBrowser* Preview() const { return FPreview; }
    // An action of the view by objectName (aItemOpen, tbFilter1, d2, miRL, ...).
    QAction* Action(const QString& name) const;

    // --- web-view options, kept by the main window between runs ---
    // A Font charset entry by its number (0..13), as if the user chose it.
    void SetFontCharset(int tag);
    int FontCharset() const { return FCharsetTag; }
    QColor PreviewBackground() const;
    QColor PreviewFontColor() const;
    void SetPreviewColors(const QColor& background, const QColor& text);
    // The view the web-view commands act on: the preview, or the properties
    // window's view while it is used.
    QTextBrowser* ActiveViewer() const;

    // --- the item commands, also reachable through their actions ---
    void OpenSelected(const std::string& browser);
    void CopySelected();
    void DeleteSelected(bool permanently);
    void SelectAll();
    void CheckSelected();
    void AddSelectedToBlackList(bool permanent);  // Ctrl+Backspace, Ctrl+Shift+Backspace
    void AddToBlackList(const std::string& text, bool permanent);
    void MassDelete(const std::string& pattern);
    void ShowProperties();
    void ShowResultsPage();
    // Sorts by a column as a header click does: the direction flag turns over.
    void SortByColumn(int column);
    bool SortAscending() const { return FSortAscending; }
    // The description shown for a result under the current options.
    std::string Describe(const results::tUrlResult& result) const;
    // The properties window and the result page window, once created.
    QDialog* PropertiesWindow() const;
    QDialog* ResultsPageWindow() const;

private:
    // result_view.cpp
    results::tResultsList& List() const;
    void SetupView();
    void LoadColumnWidths();
    void SelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void RefreshPreviewFor(const QModelIndex& row, bool selected);
    void RerunSelectionHandler();
    int FirstSelectedRow() const;
    QList<int> SelectedRows() const;
    int SelectedCount() const;
    results::tUrlResult* ResultOfRow(int row) const;
    void StartDrag(int row);
    bool eventFilter(QObject* watched, QEvent* event) override;

    // result_view_actions.cpp
    QAction* MakeAction(const char* name, int tag, bool listShortcut = false);
    void CreateItemActions();
    void CreateWebViewActions();
    void CreateFilterActions();
    void BuildItemMenu();
    void BuildWebViewMenu();
    void ItemMenuAboutToShow();
    void WebViewMenuAboutToShow();
    void FilterClicked();

    // result_view_html.cpp
    core::view::DescribeOptions Options() const;
    void ApplyCharset(QTextBrowser& view) const;
    void ShareLookOfPreview(QTextBrowser& view) const;
    void WireHtmlView(QTextBrowser& view);
    void LinkHovered(const QUrl& url);
    void LinkClicked(const QUrl& url);
    void ChooseColor(bool background);

    ResultViewHost& FHost;
    QTableView* FView;
    QTextBrowser* FPreview;
    QWidget* FWindow;
    ResultsModel* FModel;  // child of this

    QMenu* FItemMenu = nullptr;
    QMenu* FWebViewMenu = nullptr;
    QMenu* FOpenWithMenu = nullptr;
    QMenu* FMassDeleteMenu = nullptr;
    QMenu* FTemporaryMenu = nullptr;
    QMenu* FPermanentMenu = nullptr;
    QActionGroup* FNewOldGroup = nullptr;
    QActionGroup* FCharsetGroup = nullptr;
    QActionGroup* FDecodingGroup = nullptr;
    QAction* FFilterSeparator = nullptr;

    QPointer<QTextBrowser> FActiveViewer;
    QPointer<QDialog> FPropertiesWindow;
    QPointer<QTextBrowser> FPropertiesView;
    QPointer<QDialog> FPageWindow;
    QPointer<QTextBrowser> FPageView;

    // The actions made here by objectName: commands are looked up per added
    // row during a search, so no walk over the window's children.
    std::map<QString, QAction*> FActions;
    QTimer* FSaveWidthsTimer = nullptr;
    bool FSortAscending = false;  // turned over by each header click
    bool FSelectionDetached = false;
    bool FPreviewActive = false;
    int FCharsetTag = 0;
    std::string FHoverUrl;
    std::string FCopyUrl;
    // A drag starts when the mouse moves far enough from where it was pressed.
    int FPressRow = -1;
    QPoint FPressPos;
};

}  // namespace trawler::ui
