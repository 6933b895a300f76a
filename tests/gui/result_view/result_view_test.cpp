// The result view in a small window of its own, over a real engine list and
// result list (a scratch registry store, results added as search hits).

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/engine_list.h"
#include "results/list_search_bot.h"
#include "results/results_list.h"
#include "support/lang/lang_list.h"
#include "support/scratch_store.h"
#include "support/settings/defaults_list.h"
#include "ui/platform/qt_event_loop.h"
#include "ui/result_view/result_view.h"
#include "ui/result_view/result_view_host.h"
#include "ui/result_view/safe_html_view.h"
#include "ui/result_view/url_mime.h"
#include "ui/results_model/results_model.h"

using namespace trawler;
using trawler::ui::ResultView;

namespace {

// The window side the result view talks to, recording what it is told.
class FakeHost : public ui::ResultViewHost {
public:
    FakeHost() : engines(loop, store.Store()) {
        engines.LoadSites(TRAWLER_TEST_DIR "/fixtures/sites/select");
    }

    core::TEngineList& Engines() override { return engines; }
    settings::tDefaultsList& Settings() override { return settings; }
    lang::tALanglist& Lang() override { return lang; }
    void OpenUrl(const std::string& browser, const std::string& url) override {
        opened.push_back(browser + "|" + url);
    }
    void ShowStatusText(const QString& text) override { status = text; }
    void ShowRowCount(int rows) override { rowCount = rows; }
    void ShowProgress(int, int) override {}
    void RepaintStatusBar() override {}
    bool SearchInRetrievedOn() const override { return false; }
    bool IsOnline() const override { return online; }
    results::tListSearchBot* LinkChecker() override { return checker.get(); }
    void ItemActionsUpdated() override {}
    bool AskYesNo(const QString& text, bool) override {
        asked.append(text);
        if (answers.empty()) return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    ui::QtEventLoop loop;
    ScratchStore store;
    core::TEngineList engines;
    settings::tDefaultsList settings;
    lang::tALanglist lang;
    std::unique_ptr<results::tListSearchBot> checker;
    bool online = true;
    std::vector<std::string> opened;
    QString status;
    int rowCount = -1;
    std::deque<bool> answers;
    QStringList asked;
};

struct HitSample {
    const char* title;
    const char* url;
    const char* engine = "s:alpha";
    double date = 0;
    int relevance = 0;
};

}  // namespace

class ResultViewTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<QWidget> window;
    QTableView* lvExt = nullptr;
    QTextBrowser* hl = nullptr;
    ResultView* view = nullptr;

    results::tResultsList& List() { return *host->engines.ResultList; }

    void Add(const std::vector<HitSample>& hits) {
        for (const HitSample& sample : hits) {
            results::tHit hit;
            hit.Title = sample.title;
            hit.Url = sample.url;
            hit.Engine = sample.engine;
            hit.Date = sample.date;
            hit.Relevance = sample.relevance;
            const auto added = List().AddHit(hit, false);
            if (added.Result) view->AddResult(*added.Result);
        }
    }
    void AddNumbered(int count) {
        std::vector<std::string> urls;
        for (int i = 0; i < count; ++i) urls.push_back("http://h" + std::to_string(i) + ".lan/");
        std::vector<HitSample> hits;
        for (int i = 0; i < count; ++i) hits.push_back({"Row", urls[static_cast<std::size_t>(i)].c_str()});
        Add(hits);
    }
    QAction* Action(const char* name) { return view->Action(QString::fromLatin1(name)); }
    QString Title(int row) { return lvExt->model()->index(row, ui::rcTitle).data().toString(); }
    QString Url(int row) { return lvExt->model()->index(row, ui::rcUrl).data().toString(); }
    void Select(int row, QItemSelectionModel::SelectionFlags how = QItemSelectionModel::ClearAndSelect) {
        lvExt->selectionModel()->setCurrentIndex(lvExt->model()->index(row, 0),
                                                 how | QItemSelectionModel::Rows);
    }
    QList<int> SelectedRows() {
        QList<int> rows;
        for (const QModelIndex& index : lvExt->selectionModel()->selectedRows()) rows.append(index.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    QStringList EntryTexts(const char* menuName) {
        QMenu* menu = view->ItemMenu()->findChild<QMenu*>(QString::fromLatin1(menuName));
        QStringList texts;
        for (QAction* action : menu->actions()) texts.append(action->isSeparator() ? "-" : action->text());
        return texts;
    }
    QAction* Entry(const char* menuName, const QString& text) {
        QMenu* menu = view->ItemMenu()->findChild<QMenu*>(QString::fromLatin1(menuName));
        for (QAction* action : menu->actions())
            if (action->text() == text) return action;
        return nullptr;
    }
    void OpenItemMenu() { QMetaObject::invokeMethod(view->ItemMenu(), "aboutToShow"); }

private slots:
    void init() {
        host = std::make_unique<FakeHost>();
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        lvExt = new QTableView(window.get());
        lvExt->setObjectName("lvExt");
        hl = new QTextBrowser(window.get());
        hl->setObjectName("hl");
        layout->addWidget(lvExt);
        layout->addWidget(hl);
        view = new ResultView(*host, lvExt, hl, window.get());
        results::tResultsList& list = List();
        list.OnBeginUpdate = [this](results::tResultsList&) { view->BeginUpdate(); };
        list.OnEndUpdate = [this](results::tResultsList&) { view->EndUpdate(); };
        host->engines.OnUpdateList = [this](results::tResultsList&) { view->Fill(); };
        window->resize(900, 600);
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        lvExt->setFocus();
    }

    void cleanup() {
        window.reset();  // destroys the view, which unbinds its rows
        host.reset();
    }

    void filterButtonsShowNewOldAndDeletedWithCounts() {
        AddNumbered(4);
        QCOMPARE(view->RowCount(), 4);
        QCOMPARE(Action("tbFilter1")->toolTip(), QString("New links: 4"));

        // Marking a selected result old changes the Old only hint at once.
        Select(1);
        Action("aItemMarkOld")->trigger();
        QCOMPARE(Action("tbFilter2")->toolTip(), QString("Old links: 1"));
        QCOMPARE(Action("tbFilter1")->toolTip(), QString("New links: 3"));

        Action("tbFilter1")->trigger();  // new only
        QCOMPARE(List().ViewMode(), int(results::vmNewOnly));
        QCOMPARE(view->RowCount(), 3);
        QCOMPARE(host->rowCount, 3);
        Action("tbFilter2")->trigger();  // old only: new only goes up
        QVERIFY(!Action("tbFilter1")->isChecked());
        QCOMPARE(List().ViewMode(), int(results::vmOldOnly));
        QCOMPARE(view->RowCount(), 1);
        Action("tbFilter2")->trigger();  // both up: everything
        QCOMPARE(List().ViewMode(), int(results::vmAll));
        QCOMPARE(view->RowCount(), 4);

        QCOMPARE(Action("tbFilter3")->property("picture").toInt(), 27);
        Select(0);
        Action("aItemDelete")->trigger();
        QCOMPARE(view->RowCount(), 3);
        QCOMPARE(Action("tbFilter3")->toolTip(), QString("Deleted: 1"));
        QCOMPARE(Action("tbFilter3")->property("picture").toInt(), 28);
        Action("tbFilter3")->trigger();  // the deleted view
        QCOMPARE(List().ViewMode(), int(results::vmAll + results::vmDeleted));
        QCOMPARE(view->RowCount(), 1);
        Select(0);
        QVERIFY(Action("aItemUndelete")->isEnabled());
        Action("aItemUndelete")->trigger();
        QCOMPARE(view->RowCount(), 0);
        QCOMPARE(List().DeletedCount(), 0);
    }

    void blackListSubmenusOfferParentsHostAndMasks() {
        host->settings.DeleteAfterBlack = false;
        Add({{"Page", "h://w.a.lan/d/p.html"}, {"Other", "h://b.lan/x"}, {"Sibling", "h://z.a.lan/q"}});
        Select(0);
        OpenItemMenu();
        const QStringList expected = {"&0 h://w.a.lan/d/p.html", "&1 h://w.a.lan/d", "&2 h://w.a.lan",
                                      "-", "&3 w.a.lan", "&4 *.a.lan", "&5 *.lan"};
        QCOMPARE(EntryTexts("nAddBLT"), expected);
        QCOMPARE(EntryTexts("nAddBLP"), expected);
        QCOMPARE(EntryTexts("nMassDelete"), expected);

        // Choosing a mask adds it to the temporary list and, with
        // DeleteAfterBlack off, deletes the matching results unasked.
        Entry("nAddBLT", "&4 *.a.lan")->trigger();
        QVERIFY(List().FindBlackItem("*.a.lan", true) != nullptr);
        QVERIFY(host->asked.isEmpty());
        QCOMPARE(view->RowCount(), 1);
        QCOMPARE(Title(0), QString("Other"));

        // With DeleteAfterBlack on the question comes first; No keeps the results.
        host->settings.DeleteAfterBlack = true;
        host->answers = {false};
        Select(0);
        OpenItemMenu();
        Entry("nAddBLP", "&0 h://b.lan/x")->trigger();
        QCOMPARE(host->asked, QStringList{"Delete all links that starting with \"h://b.lan/x\"?"});
        QVERIFY(List().FindBlackItem("h://b.lan/x", false) != nullptr);
        QCOMPARE(view->RowCount(), 1);
        // The listed address is no longer offered for the black lists.
        OpenItemMenu();
        QVERIFY(!EntryTexts("nAddBLT").contains("&0 h://b.lan/x"));
        QVERIFY(EntryTexts("nMassDelete").contains("&0 h://b.lan/x"));
    }

    void patternEntriesLoseTheirNumberFromTheEleventhOn() {
        Add({{"Deep", "h://a.lan/1/2/3/4/5/6/7/8/9/10/p"}, {"Near", "h://a.lan/1/x"}});
        Select(0);
        OpenItemMenu();
        const QStringList texts = EntryTexts("nMassDelete");
        QCOMPARE(texts.at(9), QString("&9 h://a.lan/1/2"));
        QCOMPARE(texts.at(10), QString("h://a.lan/1"));
        // Choosing it uses the caption unchanged: both results lie below it.
        Entry("nMassDelete", "h://a.lan/1")->trigger();
        QCOMPARE(view->RowCount(), 0);
        QCOMPARE(List().DeletedCount(), 2);
    }

    void deleteSelectsTheRowThatTakesThePlace_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("expectedRow");
        QTest::addColumn<QString>("expectedUrl");
        QTest::newRow("last row") << 4 << 3 << "http://h3.lan/";
        QTest::newRow("middle row") << 2 << 2 << "http://h3.lan/";
        QTest::newRow("first row") << 0 << 0 << "http://h1.lan/";
    }
    void deleteSelectsTheRowThatTakesThePlace() {
        QFETCH(int, selected);
        QFETCH(int, expectedRow);
        QFETCH(QString, expectedUrl);
        AddNumbered(5);
        Select(selected);
        QTest::keyClick(lvExt, Qt::Key_Delete);
        QCOMPARE(view->RowCount(), 4);
        QCOMPARE(host->rowCount, 4);
        QCOMPARE(SelectedRows(), QList<int>{expectedRow});
        QCOMPARE(Url(expectedRow), expectedUrl);
        QCOMPARE(List().DeletedCount(), 1);
        // The newly selected row's result is marked selected too.
        QCOMPARE(List().FirstSelected()->MainUrl(), expectedUrl.toStdString());
    }

    void shiftDeleteAsksWhenPromptForLinkDeleteIsOn() {
        host->settings.PromptForLinkDelete = true;
        AddNumbered(3);
        Select(0);
        QTest::keyClick(lvExt, Qt::Key_Delete);  // normal view: no question, marked deleted
        QVERIFY(host->asked.isEmpty());
        QCOMPARE(List().Count(), 3);
        QCOMPARE(List().DeletedCount(), 1);

        host->answers = {false};
        QTest::keyClick(lvExt, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(host->asked, QStringList{"Do you wish to permanent delete selected item(s)?"});
        QCOMPARE(List().Count(), 3);  // No keeps it

        host->answers = {true};
        QTest::keyClick(lvExt, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(host->asked.size(), 2);
        QCOMPARE(List().Count(), 2);  // freed
        QCOMPARE(view->RowCount(), 1);
    }

    void typeAheadSelectsTheRowByTitle() {
        Add({{"Alpha", "http://a.lan/"}, {"Bravo", "http://b.lan/"}, {"Charlie", "http://c.lan/"}});
        // Even with the URL column current, typing searches the titles.
        lvExt->selectionModel()->setCurrentIndex(lvExt->model()->index(0, ui::rcUrl),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QTest::keyClicks(lvExt, "ch");
        QCOMPARE(SelectedRows(), QList<int>{2});
        QTest::qWait(QApplication::keyboardInputInterval() + 50);
        QTest::keyClicks(lvExt, "br");
        QCOMPARE(SelectedRows(), QList<int>{1});
    }

    void headerClicksSortEachColumnBothWays_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("ascendingTitles");
        QTest::newRow("title") << int(ui::rcTitle) << QStringList{"alpha", "beta", "gamma"};
        QTest::newRow("url") << int(ui::rcUrl) << QStringList{"gamma", "alpha", "beta"};
        QTest::newRow("engine") << int(ui::rcEngine) << QStringList{"alpha", "beta", "gamma"};
        QTest::newRow("date") << int(ui::rcDate) << QStringList{"beta", "gamma", "alpha"};
        QTest::newRow("relevance") << int(ui::rcRelevance) << QStringList{"gamma", "beta", "alpha"};
    }
    void headerClicksSortEachColumnBothWays() {
        QFETCH(int, column);
        QFETCH(QStringList, ascendingTitles);
        // Engine texts "Alpha Gamma", "Alpha", "Gamma" order alike in every locale.
        Add({{"beta", "http://c.lan/", "s:alpha", 36000, 5},
             {"alpha", "http://b.lan/", "s:alpha", 38000, 70},
             {"gamma", "http://a.lan/", "s:gamma", 37000, 3}});
        List().Items(0)->AddEngine("s:gamma");
        List().Items(0)->RefreshRow();
        QHeaderView* header = lvExt->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
        auto titles = [this] { return QStringList{Title(0), Title(1), Title(2)}; };

        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(view->SortAscending());
        QCOMPARE(titles(), ascendingTitles);
        QCOMPARE(header->sortIndicatorSection(), column);
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        QStringList descending = ascendingTitles;
        std::reverse(descending.begin(), descending.end());
        QCOMPARE(titles(), descending);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    }

    void ctrlBackspaceBlacklistsEverySelectedRow() {
        host->settings.DeleteAfterBlack = false;
        Add({{"One", "http://one.lan/a?q=1"}, {"Two", "http://two.lan/b"}, {"Three", "http://three.lan/c"},
             {"Kept", "http://kept.lan/"}});
        for (int row : {0, 1, 2}) Select(row, QItemSelectionModel::Select);
        QCOMPARE(SelectedRows().size(), 3);
        QTest::keyClick(lvExt, Qt::Key_Backspace, Qt::ControlModifier);
        QCOMPARE(List().TemporaryCount(), 3);
        QVERIFY(List().FindBlackItem("http://one.lan/a", true) != nullptr);  // query dropped
        QVERIFY(SelectedRows().isEmpty());
        QVERIFY(host->asked.isEmpty());
        QCOMPARE(view->RowCount(), 1);
        QCOMPARE(Title(0), QString("Kept"));

        // With Shift the lowercased address goes to the permanent list.
        Add({{"Upper", "http://UP.lan/Page"}});
        Select(1);
        QTest::keyClick(lvExt, Qt::Key_Backspace, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(List().FindBlackItem("http://up.lan/page", false) != nullptr);
        QCOMPARE(List().PermanentCount(), 1);
    }

    void describeMinimalResult() {
        Add({{"Plain", "http://a.lan/x", "s:alpha"}});
        const results::tUrlResult* result = List().Items(0);
        QCOMPARE(QString::fromStdString(view->Describe(*result)),
                 QString("<b>Link:</b> <a href=\"http://a.lan/x\" target=\"_blank\">Plain</a><br>"
                         "<b>Engine:</b>  <a href=\"\">Alpha</a>"));
    }

    void previewShowsAHostileTitleAsText() {
        const char* hostile = "<img src=\"file:///etc/hostname\"><b onmouseover=x()>Title</b>";
        Add({{"Plain", "http://a.lan/x"}});
        List().Items(0)->SetTitle(hostile);
        List().Items(0)->RefreshRow();
        view->PropertiesTabActivated(true);
        Select(0);
        QVERIFY(hl->toPlainText().contains(QString::fromUtf8(hostile)));
        QVERIFY(!hl->toHtml().contains("<img"));
        view->PropertiesTabActivated(false);
        Select(0, QItemSelectionModel::Deselect);
        view->PropertiesTabActivated(true);
        QVERIFY(hl->toPlainText().isEmpty());
    }

    void htmlViewsLoadNoResources() {
        const std::filesystem::path picture = std::filesystem::temp_directory_path() / "trawler-rv-picture.png";
        { std::ofstream(picture) << "not really a picture"; }
        QTextBrowser browser;
        ui::MakeSafeHtmlView(browser);
        const QUrl url = QUrl::fromLocalFile(QString::fromStdString(picture.string()));
        ui::LoadHtml(browser, QString("<img src=\"%1\"><link rel=stylesheet href=\"%1\">").arg(url.toString()));
        QVERIFY(!browser.document()->resource(QTextDocument::ImageResource, url).isValid());
        QVERIFY(!browser.document()->resource(QTextDocument::StyleSheetResource, url).isValid());
        std::filesystem::remove(picture);
    }

    void linkClicksOpenOnlyWebAndMailWithoutAsking() {
        emit hl->anchorClicked(QUrl("https://a.lan/x"));
        emit hl->anchorClicked(QUrl("mailto:me@a.lan"));
        QCOMPARE(host->opened, (std::vector<std::string>{"|https://a.lan/x", "|mailto:me@a.lan"}));
        QVERIFY(host->asked.isEmpty());
        host->answers = {false, true};
        emit hl->anchorClicked(QUrl("file:///etc/passwd"));
        QCOMPARE(host->asked.size(), 1);
        QCOMPARE(host->opened.size(), std::size_t{2});
        emit hl->anchorClicked(QUrl("javascript:x()"));
        QCOMPARE(host->opened.back(), std::string("|javascript:x()"));
    }

    void checkAsksWhileOfflineAndQueuesUncheckedRows() {
        host->checker = std::make_unique<results::tListSearchBot>(host->loop);
        host->online = false;
        host->answers = {false};
        Add({{"A", "http://127.0.0.1:9/a"}, {"B", "http://127.0.0.1:9/b"}});
        List().Items(1)->SetCheckState(results::csGood);
        Select(0);
        Select(1, QItemSelectionModel::Select);
        Action("aItemCheck")->trigger();
        QCOMPARE(host->asked, QStringList{QString::fromUtf8(host->lang.MessageText(23))});
        QCOMPARE(host->checker->Queue().size(), std::size_t{1});
        QCOMPARE(host->checker->Queue().front(), std::string("http://127.0.0.1:9/a"));
        QCOMPARE(host->checker->BusyCount(), 0);  // No: nothing dispatched
    }

    void titleEditEndsWithEnterAndRefusesAnEmptyTitle_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("title");
        QTest::newRow("new title") << "Renamed" << "Renamed";
        QTest::newRow("empty keeps the old") << "" << "Original";
    }
    void titleEditEndsWithEnterAndRefusesAnEmptyTitle() {
        QFETCH(QString, typed);
        QFETCH(QString, title);
        Add({{"Original", "http://a.lan/"}});
        Select(0);
        lvExt->edit(lvExt->model()->index(0, ui::rcTitle));
        auto* editor = lvExt->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        editor->del();
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);  // ends the edit, opens nothing
        QCoreApplication::processEvents();        // the editor commits through a queued call
        QVERIFY(host->opened.empty());
        QCOMPARE(Title(0), title);
        QCOMPARE(QString::fromStdString(List().Items(0)->Title), title);
    }

    void propertiesWindowAndPreviewFollowTheDisplayOptions() {
        Add({{"Щука", "http://a.lan/"}});
        view->PropertiesTabActivated(true);
        Select(0);
        QVERIFY(hl->toPlainText().contains(QString::fromUtf8("Щука")));
        Action("miRL")->trigger();  // Translit rebuilds the preview at once
        QVERIFY(hl->toPlainText().contains("Shchuka"));

        QTest::keyClick(lvExt, Qt::Key_Return, Qt::AltModifier);
        QDialog* properties = view->PropertiesWindow();
        QVERIFY(properties && properties->isVisible());
        auto* shown = properties->findChild<QTextBrowser*>();
        QVERIFY(shown->toPlainText().contains("Shchuka"));
    }

    void newRowsAreBoldInTheListsOwnFont() {
        host->settings.UseExtList = true;
        host->settings.NewItemsBold = true;
        host->settings.FontSize = 17;
        view->ApplySettings();
        Add({{"fresh", "http://fresh.lan/"}});
        view->Fill();
        const QFont font = lvExt->model()->index(0, 0).data(Qt::FontRole).value<QFont>();
        QVERIFY(font.bold());
        QCOMPARE(font.pointSize(), 17);
        QCOMPARE(font.family(), lvExt->font().family());
    }

    void resultsPageListsTheShownRowsEscaped() {
        Add({{"First", "http://a.lan/"}, {"Second", "http://b.lan/"}});
        List().Items(1)->SetTitle("<i>x</i>");
        List().Items(1)->RefreshRow();
        Action("aViewResultsHTML")->trigger();
        QDialog* page = view->ResultsPageWindow();
        QVERIFY(page && page->isVisible());
        const QString text = page->findChild<QTextBrowser*>()->toPlainText();
        QVERIFY(text.startsWith("Search results"));
        QVERIFY(text.contains("First"));
        QVERIFY(text.contains("<i>x</i>"));
        QCOMPARE(text.count("Link"), 2);
    }

    void columnWidthsComeBackInTheNextView() {
        lvExt->setColumnWidth(ui::rcUrl, 123);
        view->SaveColumnWidths();
        QTableView other;
        QTextBrowser otherPreview;
        QWidget otherWindow;
        ResultView second(*host, &other, &otherPreview, &otherWindow);
        QCOMPARE(other.columnWidth(ui::rcUrl), 123);
    }

    void draggedOrCopiedResultCarriesUrlAndTitle() {
        const std::unique_ptr<QMimeData> data = ui::UrlMimeData("http://a.lan/p?q=1&r=2", "A & B");
        QCOMPARE(data->urls(), QList<QUrl>{QUrl("http://a.lan/p?q=1&r=2")});
        QCOMPARE(data->text(), QString("http://a.lan/p?q=1&r=2"));
        const QByteArray mozilla = data->data("text/x-moz-url");
        QCOMPARE(QString::fromUtf16(reinterpret_cast<const char16_t*>(mozilla.constData()), mozilla.size() / 2),
                 QString("http://a.lan/p?q=1&r=2\nA & B"));
        QCOMPARE(data->html(), QString("<a href=\"http://a.lan/p?q=1&amp;r=2\">A &amp; B</a>"));
    }

    void webViewMenuCopiesTheAddressUnderTheMouse() {
        QMenu* menu = view->WebViewMenu();
        QMetaObject::invokeMethod(menu, "aboutToShow");
        QVERIFY(!Action("aWebViewCopyUrl")->isEnabled());
        QVERIFY(!Action("aWebViewCopyText")->isEnabled());

        emit hl->highlighted(QUrl("http://a.lan/page"));
        QCOMPARE(host->status, QString("http://a.lan/page"));
        QMetaObject::invokeMethod(menu, "aboutToShow");
        emit hl->highlighted(QUrl());  // the mouse leaves the link; the copied address stays
        QVERIFY(Action("aWebViewCopyUrl")->isEnabled());
        Action("aWebViewCopyUrl")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QString("http://a.lan/page"));

        view->SetFontCharset(7);
        QCOMPARE(view->FontCharset(), 7);
        QVERIFY(Action("miCharset7")->isChecked());
        QVERIFY(!Action("miCharset0")->isChecked());
    }

    void itemCommandsFollowTheSelection() {
        AddNumbered(3);
        QVERIFY(!Action("aItemOpen")->isEnabled());
        QVERIFY(Action("aItemSelectAll")->isEnabled());
        Select(0);
        QVERIFY(Action("aItemCopy")->isEnabled());
        QVERIFY(Action("aItemProperties")->isEnabled());
        QTest::keyClick(lvExt, Qt::Key_A, Qt::ControlModifier);  // select all
        QCOMPARE(SelectedRows().size(), 3);
        QVERIFY(Action("aItemOpen")->isEnabled());
        QVERIFY(!Action("aItemCopy")->isEnabled());
        auto submenuEnabled = [this](const char* name) {
            return view->ItemMenu()->findChild<QMenu*>(QString::fromLatin1(name))->menuAction()->isEnabled();
        };
        QVERIFY(submenuEnabled("nMassDelete"));
        QVERIFY(!submenuEnabled("nAddBLT"));
        QVERIFY(!submenuEnabled("nAddBLP"));
        QVERIFY(!submenuEnabled("miOpenWith"));
        int selectedResults = 0;
        for (int i = 0; i < List().Count(); ++i) selectedResults += List().Items(i)->Selected();
        QCOMPARE(selectedResults, 3);
        QTest::keyClick(lvExt, Qt::Key_Return);
        QCOMPARE(host->opened.size(), std::size_t{3});
    }
};

QTEST_MAIN(ResultViewTest)
#include "result_view_test.moc"
