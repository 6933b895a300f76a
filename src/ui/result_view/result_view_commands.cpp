// The item commands of the result view: open, copy, delete, link check and
// the black-list additions.

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QTableView>

#include "core/view/black_list_commands.h"
#include "core/view/filter_buttons.h"
#include "results/list_search_bot.h"
#include "results/results_list.h"
#include "results/url_result.h"
#include "support/lang/lang_list.h"
#include "support/settings/defaults_list.h"
#include "ui/result_view/result_view.h"
#include "ui/result_view/result_view_host.h"
#include "ui/result_view/url_mime.h"
#include "ui/results_model/results_model.h"

namespace trawler::ui {

void ResultView::OpenSelected(const std::string& browser) {
    for (int row : SelectedRows())
        if (const results::tUrlResult* result = ResultOfRow(row)) FHost.OpenUrl(browser, result->MainUrl());
}

void ResultView::CopySelected() {
    const results::tUrlResult* result = ResultOfRow(FirstSelectedRow());
    if (!result) return;
    QApplication::clipboard()->setMimeData(UrlMimeData(result->MainUrl(), result->Title).release());
}

void ResultView::DeleteSelected(bool permanently) {
    results::tResultsList& list = List();
    const int noted = FirstSelectedRow();
    const bool deletedView = (list.ViewMode() & results::vmDeleted) != 0;
    if (FHost.Settings().PromptForLinkDelete && (permanently || deletedView) &&
        !FHost.AskYesNo(QString::fromUtf8(FHost.Lang().MessageText(57)), true))
        return;

    BeginUpdate();
    try {
        list.DeleteSelected(permanently);
    } catch (...) {
        // The rows that went are gone; the view is brought up to date below.
    }
    EndUpdate();

    const int rows = RowCount();
    const int target = core::view::RowToSelectAfterDelete(noted, rows, SelectedCount() > 0);
    if (target >= 0) {
        const QModelIndex index = FModel->index(target, rcTitle);
        FView->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        FView->setFocus();
        FView->scrollTo(index);
    }
    FHost.ShowRowCount(rows);
    RerunSelectionHandler();
    UpdateItemActions();
}

void ResultView::CheckSelected() {
    results::tListSearchBot* checker = FHost.LinkChecker();
    if (!checker) return;
    bool queued = false;
    for (int row : SelectedRows()) {
        const results::tUrlResult* result = ResultOfRow(row);
        if (result && result->CheckState == results::csUnchecked && checker->Enqueue(result->MainUrl()))
            queued = true;
    }
    const settings::tDefaultsList& s = FHost.Settings();
    checker->Proxy = s.ProxyHost;
    checker->ProxyPort = s.ProxyPort > 0 ? std::to_string(s.ProxyPort) : std::string();
    checker->ProxyUser = s.ProxyUser;
    checker->ProxyPassword = s.ProxyPassword;
    checker->ProxyBypass = s.OverrideProxy;
    checker->Timeout = s.Timeout;

    bool goOn = true;
    if (queued && !FHost.IsOnline())
        goOn = FHost.AskYesNo(QString::fromUtf8(FHost.Lang().MessageText(23)), true);
    if (goOn && !checker->Dispatching()) checker->Dispatch();
    FHost.RepaintStatusBar();
    UpdateItemActions();
}

void ResultView::MassDelete(const std::string& pattern) {
    if (pattern.empty()) return;
    BeginUpdate();
    List().DeleteMatching(pattern);
    EndUpdate();
    UpdateItemActions();
}

// Adds one entry and deletes the matching results, asking first when the
// DeleteAfterBlack setting says so.
static void AddAndDeleteMatching(ResultView& view, ResultViewHost& host, results::tResultsList& list,
                                 const std::string& text, bool permanent) {
    const std::string question = core::view::AddToBlackList(list, text, permanent, host.Lang());
    if (host.Settings().DeleteAfterBlack && !host.AskYesNo(QString::fromUtf8(question), false)) return;
    view.BeginUpdate();
    list.DeleteMatching(text);
    view.EndUpdate();
}

void ResultView::AddToBlackList(const std::string& text, bool permanent) {
    if (text.empty()) return;
    results::tResultsList& list = List();
    core::view::WithTemporaryRefresh(list, [&] { AddAndDeleteMatching(*this, FHost, list, text, permanent); });
    UpdateItemActions();
}

void ResultView::AddSelectedToBlackList(bool permanent) {
    results::tResultsList& list = List();
    core::view::WithTemporaryRefresh(list, [&] {
        // Always the first selected row; its entry may delete it (and others)
        // from the view. A row that is still there afterwards is deselected,
        // so the loop ends when no row is selected.
        int rounds = SelectedCount();
        for (int row = FirstSelectedRow(); row >= 0 && rounds-- > 0; row = FirstSelectedRow()) {
            const QPersistentModelIndex index = FModel->index(row, rcTitle);
            if (const results::tUrlResult* result = ResultOfRow(row)) {
                const std::string text = core::view::BlackListTextOfUrl(result->MainUrl(), permanent);
                AddAndDeleteMatching(*this, FHost, list, text, permanent);
            }
            if (index.isValid() && FirstSelectedRow() == index.row())
                FView->selectionModel()->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        }
    });
    UpdateItemActions();
}

}  // namespace trawler::ui
