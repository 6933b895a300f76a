// The actions of the result view and the two context menus: pmItem with its
// submenus built as it opens, pmWebView with the display options, and the
// Filters toolbar's buttons.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QMenu>
#include <QTableView>
#include <QTextBrowser>

#include <algorithm>

#include "core/view/filter_buttons.h"
#include "core/view/font_charsets.h"
#include "core/view/item_actions.h"
#include "core/view/pattern_menus.h"
#include "results/results_list.h"
#include "results/url_result.h"
#include "support/browsers/browsers.h"
#include "support/lang/lang_list.h"
#include "support/settings/defaults_list.h"
#include "ui/pictures/pictures.h"
#include "ui/result_view/result_view.h"
#include "ui/result_view/result_view_host.h"
#include "ui/result_view/url_mime.h"

namespace trawler::ui {

namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text); }

// Menu captions show "&" as the keyboard mark; a pattern's own "&" must show.
QString MenuText(const std::string& caption) {
    const bool numbered = caption.size() >= 3 && caption[0] == '&';
    const std::string prefix = numbered ? caption.substr(0, 3) : std::string();
    QString rest = FromUtf8(numbered ? caption.substr(3) : caption);
    rest.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return FromUtf8(prefix) + rest;
}

}  // namespace

QAction* ResultView::Action(const QString& name) const {
    const auto found = FActions.find(name);
    return found != FActions.end() ? found->second : nullptr;
}

QAction* ResultView::MakeAction(const char* name, int tag, bool listShortcut) {
    auto* action = new QAction(FWindow);
    action->setObjectName(QString::fromLatin1(name));
    action->setProperty("tag", tag);
    FActions[action->objectName()] = action;
    if (tag >= 100) {
        const lang::tALanglist& lang = FHost.Lang();
        action->setText(FromUtf8(lang.CaptionText(tag)));
        const QString hint = FromUtf8(lang.HintText(tag));
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    // Shortcuts of item commands work while the result list has the focus
    // (not while a title is being edited: the editor has it then).
    if (listShortcut) {
        action->setShortcutContext(Qt::WidgetShortcut);
        FView->addAction(action);
    }
    return action;
}

void ResultView::CreateItemActions() {
    QAction* open = MakeAction("aItemOpen", 149, true);
    open->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    connect(open, &QAction::triggered, this, [this] { OpenSelected(""); });

    QAction* copy = MakeAction("aItemCopy", 150, true);
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, &ResultView::CopySelected);

    QAction* del = MakeAction("aItemDelete", 148, true);
    del->setShortcut(QKeySequence(Qt::Key_Delete));
    connect(del, &QAction::triggered, this, [this] {
        DeleteSelected(QApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
    });
    QAction* permanentDelete = MakeAction("aItemDeletePermanently", 0, true);
    permanentDelete->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    connect(permanentDelete, &QAction::triggered, this, [this] { DeleteSelected(true); });

    QAction* undelete = MakeAction("aItemUndelete", 316);
    connect(undelete, &QAction::triggered, this, [this] {
        List().UndeleteSelected();
        UpdateItemActions();
    });

    QAction* selectAll = MakeAction("aItemSelectAll", 171, true);
    selectAll->setShortcut(QKeySequence::SelectAll);
    connect(selectAll, &QAction::triggered, this, &ResultView::SelectAll);

    QAction* check = MakeAction("aItemCheck", 190);
    connect(check, &QAction::triggered, this, &ResultView::CheckSelected);

    auto mark = [this](const char* name, int tag, auto&& fn) {
        QAction* action = MakeAction(name, tag);
        connect(action, &QAction::triggered, this, [this, fn] {
            fn(List());
            UpdateItemActions();
        });
    };
    mark("aItemMarkNew", 256, [](results::tResultsList& l) { l.MarkSelected(true); });
    mark("aItemMarkOld", 257, [](results::tResultsList& l) { l.MarkSelected(false); });
    mark("aItemMarkChecked", 259, [](results::tResultsList& l) { l.SetSelectedCheckState(results::csGood); });
    mark("aItemMarkUnchecked", 260,
         [](results::tResultsList& l) { l.SetSelectedCheckState(results::csUnchecked); });

    QAction* properties = MakeAction("aItemProperties", 160, true);
    properties->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Return));
    properties->setIcon(pictures::ToolPicture(160));
    connect(properties, &QAction::triggered, this, &ResultView::ShowProperties);

    QAction* page = MakeAction("aViewResultsHTML", 274);
    connect(page, &QAction::triggered, this, &ResultView::ShowResultsPage);

    // Keys of the result list that have no menu entry of their own.
    QAction* blackTemporary = MakeAction("aItemBlackTemporary", 0, true);
    blackTemporary->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Backspace));
    connect(blackTemporary, &QAction::triggered, this, [this] { AddSelectedToBlackList(false); });
    QAction* blackPermanent = MakeAction("aItemBlackPermanent", 0, true);
    blackPermanent->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backspace));
    connect(blackPermanent, &QAction::triggered, this, [this] { AddSelectedToBlackList(true); });
}

void ResultView::CreateWebViewActions() {
    QAction* copyText = MakeAction("aWebViewCopyText", 244);
    copyText->setShortcut(QKeySequence::Copy);
    copyText->setEnabled(false);
    connect(copyText, &QAction::triggered, this, [this] {
        if (FActiveViewer) FActiveViewer->copy();
    });
    QAction* selectAll = MakeAction("aWebViewSelectAll", 171);
    selectAll->setShortcut(QKeySequence::SelectAll);
    connect(selectAll, &QAction::triggered, this, [this] {
        if (FActiveViewer) FActiveViewer->selectAll();
    });
    QAction* copyUrl = MakeAction("aWebViewCopyUrl", 150);
    connect(copyUrl, &QAction::triggered, this, [this] {
        if (!FCopyUrl.empty()) QApplication::clipboard()->setMimeData(UrlMimeData(FCopyUrl, FCopyUrl).release());
    });
    // The copy and select-all keys act on the preview while it has the focus.
    for (QAction* action : {copyText, selectAll}) {
        action->setShortcutContext(Qt::WidgetShortcut);
        FPreview->addAction(action);
    }

    QAction* background = MakeAction("aBackGround", 175);
    connect(background, &QAction::triggered, this, [this] { ChooseColor(true); });
    QAction* fontColor = MakeAction("aFontColor", 176);
    connect(fontColor, &QAction::triggered, this, [this] { ChooseColor(false); });

    FCharsetGroup = new QActionGroup(this);
    FCharsetGroup->setExclusive(true);
    for (const core::view::FontCharset& charset : core::view::FontCharsets()) {
        auto* action = new QAction(QString::fromLatin1(charset.Caption.data(),
                                                       static_cast<qsizetype>(charset.Caption.size())),
                                   FWindow);
        action->setObjectName(QStringLiteral("miCharset%1").arg(charset.Tag));
        FActions[action->objectName()] = action;
        action->setProperty("tag", charset.Tag);
        action->setCheckable(true);
        FCharsetGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, tag = charset.Tag] { SetFontCharset(tag); });
    }
    FCharsetGroup->actions().at(0)->setChecked(true);
    QAction* translit = MakeAction("miRL", 0);
    translit->setText(QStringLiteral("Translit"));
    translit->setCheckable(true);
    connect(translit, &QAction::toggled, this, [this] { RerunSelectionHandler(); });

    FDecodingGroup = new QActionGroup(this);
    FDecodingGroup->setExclusive(true);
    const std::pair<const char*, const char*> decodings[] = {
        {"d1", "None"}, {"d2", "KOI8-r"}, {"d3", "cp866"}};
    for (const auto& [name, caption] : decodings) {
        QAction* action = MakeAction(name, 0);
        action->setText(QString::fromLatin1(caption));
        action->setCheckable(true);
        FDecodingGroup->addAction(action);
        connect(action, &QAction::toggled, this, [this](bool on) {
            if (on) RerunSelectionHandler();
        });
    }
    Action(QStringLiteral("d1"))->setChecked(true);
}

void ResultView::CreateFilterActions() {
    QAction* newOnly = MakeAction("tbFilter1", 263);
    newOnly->setCheckable(true);
    newOnly->setIcon(pictures::ToolPicture(24));
    QAction* oldOnly = MakeAction("tbFilter2", 264);
    oldOnly->setCheckable(true);
    oldOnly->setIcon(pictures::ToolPicture(23));
    FNewOldGroup = new QActionGroup(this);
    FNewOldGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    FNewOldGroup->addAction(newOnly);
    FNewOldGroup->addAction(oldOnly);
    QAction* deleted = MakeAction("tbFilter3", 0);
    deleted->setCheckable(true);
    deleted->setIcon(pictures::ToolPicture(27));
    deleted->setProperty("picture", 27);
    FFilterSeparator = new QAction(FWindow);
    FFilterSeparator->setSeparator(true);
    for (QAction* action : {newOnly, oldOnly, deleted})
        connect(action, &QAction::triggered, this, &ResultView::FilterClicked);
}

QList<QAction*> ResultView::FilterActions() const {
    return {Action(QStringLiteral("tbFilter1")), Action(QStringLiteral("tbFilter2")), FFilterSeparator,
            Action(QStringLiteral("tbFilter3"))};
}

void ResultView::FilterClicked() {
    const int mode = core::view::ViewModeFromFilters(Action(QStringLiteral("tbFilter1"))->isChecked(),
                                                     Action(QStringLiteral("tbFilter2"))->isChecked(),
                                                     Action(QStringLiteral("tbFilter3"))->isChecked());
    List().SetViewMode(mode);
    UpdateItemActions();
}

void ResultView::UpdateItemActions() {
    results::tResultsList& list = List();
    const bool deletedView = (list.ViewMode() & results::vmDeleted) != 0;
    const core::view::ItemActionStates s = core::view::ComputeItemActions(SelectedCount(), deletedView);
    auto enable = [this](const char* name, bool on) {
        if (QAction* action = Action(QString::fromLatin1(name))) action->setEnabled(on);
    };
    enable("aItemOpen", s.Open);
    enable("aItemSelectAll", s.SelectAll);
    enable("aItemDelete", s.Delete);
    enable("aItemDeletePermanently", s.Delete);
    enable("aItemUndelete", s.Undelete);
    enable("aItemCopy", s.Copy);
    enable("aItemCheck", s.Check);
    enable("aItemMarkChecked", s.MarkChecked);
    enable("aItemMarkUnchecked", s.MarkUnchecked);
    enable("aItemMarkNew", s.MarkNew);
    enable("aItemMarkOld", s.MarkOld);
    enable("aItemProperties", s.Properties);
    enable("aItemBlackTemporary", s.Open);
    enable("aItemBlackPermanent", s.Open);
    auto enableMenu = [](QMenu* menu, bool on) {
        if (menu) menu->menuAction()->setEnabled(on);
    };
    enableMenu(FOpenWithMenu, s.OpenWith);
    enableMenu(FMassDeleteMenu, s.MassDelete);
    enableMenu(FTemporaryMenu, s.AddToTemporaryBlackList);
    enableMenu(FPermanentMenu, s.AddToPermanentBlackList);

    const core::view::FilterButtonsState filters = core::view::ComputeFilterButtons(list, FHost.Lang());
    QAction* newOnly = Action(QStringLiteral("tbFilter1"));
    QAction* oldOnly = Action(QStringLiteral("tbFilter2"));
    QAction* deleted = Action(QStringLiteral("tbFilter3"));
    newOnly->setToolTip(FromUtf8(filters.NewHint));
    oldOnly->setToolTip(FromUtf8(filters.OldHint));
    deleted->setToolTip(FromUtf8(filters.DeletedHint));
    deleted->setText(FromUtf8(filters.DeletedHint));
    if (deleted->property("picture").toInt() != filters.DeletedPicture) {
        deleted->setIcon(pictures::ToolPicture(filters.DeletedPicture));
        deleted->setProperty("picture", filters.DeletedPicture);
    }
    FHost.ItemActionsUpdated();
}

// --- pmItem ----------------------------------------------------------------------------

void ResultView::BuildItemMenu() {
    const lang::tALanglist& lang = FHost.Lang();
    FItemMenu = new QMenu(FWindow);
    FItemMenu->setObjectName(QStringLiteral("pmItem"));
    QAction* open = Action(QStringLiteral("aItemOpen"));
    FItemMenu->addAction(open);
    FItemMenu->setDefaultAction(open);

    FOpenWithMenu = FItemMenu->addMenu(FromUtf8(lang.CaptionText(152)));
    FOpenWithMenu->setObjectName(QStringLiteral("miOpenWith"));
    FOpenWithMenu->setProperty("tag", 152);
    connect(FOpenWithMenu, &QMenu::aboutToShow, this, [this] {
        FOpenWithMenu->clear();
        std::vector<std::string> browsers = browsers::InstalledBrowsers();
        // The desktop's own handler comes last, as in the classic menu.
        if (!browsers.empty() && browsers.front() == settings::kSystemBrowser)
            std::rotate(browsers.begin(), browsers.begin() + 1, browsers.end());
        for (const std::string& name : browsers) {
            QAction* entry = FOpenWithMenu->addAction(MenuText(name));
            connect(entry, &QAction::triggered, this, [this, name] { OpenSelected(name); });
        }
    });

    FItemMenu->addSeparator();
    FItemMenu->addAction(Action(QStringLiteral("aItemSelectAll")));
    FItemMenu->addSeparator();
    FItemMenu->addAction(Action(QStringLiteral("aItemDelete")));
    FMassDeleteMenu = FItemMenu->addMenu(FromUtf8(lang.CaptionText(253)));
    FMassDeleteMenu->setObjectName(QStringLiteral("nMassDelete"));
    FMassDeleteMenu->setProperty("tag", 253);
    FItemMenu->addAction(Action(QStringLiteral("aItemUndelete")));
    FItemMenu->addSeparator();
    FItemMenu->addAction(Action(QStringLiteral("aItemCopy")));
    FItemMenu->addSeparator();
    FItemMenu->addAction(Action(QStringLiteral("aItemCheck")));
    FItemMenu->addSeparator();
    FItemMenu->addAction(Action(QStringLiteral("aItemMarkChecked")));
    FItemMenu->addAction(Action(QStringLiteral("aItemMarkUnchecked")));
    FItemMenu->addSeparator();
    FTemporaryMenu = FItemMenu->addMenu(FromUtf8(lang.CaptionText(251)));
    FTemporaryMenu->setObjectName(QStringLiteral("nAddBLT"));
    FTemporaryMenu->setProperty("tag", 251);
    FPermanentMenu = FItemMenu->addMenu(FromUtf8(lang.CaptionText(252)));
    FPermanentMenu->setObjectName(QStringLiteral("nAddBLP"));
    FPermanentMenu->setProperty("tag", 252);
    FItemMenu->addSeparator();
    FItemMenu->addAction(Action(QStringLiteral("aItemMarkNew")));
    FItemMenu->addAction(Action(QStringLiteral("aItemMarkOld")));
    FItemMenu->addSeparator();
    FItemMenu->addAction(Action(QStringLiteral("aItemProperties")));
    FItemMenu->addSeparator();
    FItemMenu->addAction(Action(QStringLiteral("aViewResultsHTML")));
    connect(FItemMenu, &QMenu::aboutToShow, this, &ResultView::ItemMenuAboutToShow);
}

void ResultView::ItemMenuAboutToShow() {
    FMassDeleteMenu->clear();
    FTemporaryMenu->clear();
    FPermanentMenu->clear();
    results::tResultsList& list = List();
    Action(QStringLiteral("aItemUndelete"))
        ->setEnabled(core::view::UndeleteOnMenuOpen((list.ViewMode() & results::vmDeleted) != 0,
                                                    list.FirstSelected() != nullptr));
    const results::tUrlResult* result = ResultOfRow(FirstSelectedRow());
    if (!result) return;
    const core::view::PatternMenus menus = core::view::BuildPatternMenus(
        result->MainUrl(), [&list](const std::string& p) { return list.FindBlack(p, true, -1) >= 0; });

    auto fill = [](QMenu* menu, const std::vector<core::view::PatternItem>& items, auto&& choose) {
        for (const core::view::PatternItem& item : items) {
            if (item.Separator) {
                menu->addSeparator();
                continue;
            }
            QAction* entry = menu->addAction(MenuText(item.Caption));
            entry->setData(QString::fromStdString(item.Pattern));
            QObject::connect(entry, &QAction::triggered, menu, [choose, pattern = item.Pattern] { choose(pattern); });
        }
    };
    fill(FMassDeleteMenu, menus.MassDelete, [this](const std::string& p) { MassDelete(p); });
    fill(FTemporaryMenu, menus.BlackList, [this](const std::string& p) { AddToBlackList(p, false); });
    fill(FPermanentMenu, menus.BlackList, [this](const std::string& p) { AddToBlackList(p, true); });
}

// --- pmWebView -------------------------------------------------------------------------

void ResultView::BuildWebViewMenu() {
    const lang::tALanglist& lang = FHost.Lang();
    FWebViewMenu = new QMenu(FWindow);
    FWebViewMenu->setObjectName(QStringLiteral("pmWebView"));
    FWebViewMenu->addAction(Action(QStringLiteral("aWebViewCopyText")));
    FWebViewMenu->addAction(Action(QStringLiteral("aWebViewSelectAll")));
    FWebViewMenu->addAction(Action(QStringLiteral("aWebViewCopyUrl")));
    FWebViewMenu->addSeparator();
    QMenu* charsets = FWebViewMenu->addMenu(FromUtf8(lang.CaptionText(177)));
    charsets->setObjectName(QStringLiteral("miFontCharset"));
    charsets->setProperty("tag", 177);
    charsets->addActions(FCharsetGroup->actions());
    charsets->addSeparator();
    charsets->addAction(Action(QStringLiteral("miRL")));
    FWebViewMenu->addSeparator();
    QMenu* decoding = FWebViewMenu->addMenu(FromUtf8(lang.CaptionText(174)));
    decoding->setObjectName(QStringLiteral("miDecoding"));
    decoding->setProperty("tag", 174);
    decoding->addActions(FDecodingGroup->actions());
    FWebViewMenu->addSeparator();
    FWebViewMenu->addAction(Action(QStringLiteral("aBackGround")));
    FWebViewMenu->addAction(Action(QStringLiteral("aFontColor")));
    connect(FWebViewMenu, &QMenu::aboutToShow, this, &ResultView::WebViewMenuAboutToShow);
}

void ResultView::WebViewMenuAboutToShow() {
    Action(QStringLiteral("aWebViewCopyText"))
        ->setEnabled(FActiveViewer && FActiveViewer->textCursor().hasSelection());
    Action(QStringLiteral("aWebViewCopyUrl"))->setEnabled(!FHoverUrl.empty());
    if (!FHoverUrl.empty()) FCopyUrl = FHoverUrl;
}

}  // namespace trawler::ui
