// The language walk over a window: captions, hints, items and column headers
// taken by `tag`, over every kind of object a window holds.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>
#include <memory>

#include "support/lang/lang_list.h"
#include "ui/translate/translate.h"

using trawler::lang::tALanglist;

namespace {

// Entries in the language file form: caption, "#" hint, "%%" items each ended by "%".
tALanglist Lang() {
    tALanglist lang;
    lang.DefaultInterface.Assign({
        "100=Main window",
        "101=&Search#Starts the search",
        "102=Query:",
        "103=Options",
        "104=Mode%%All words%Any word%Phrase%",
        "105=Engines#Sites and their states",
        "106=&Stop#Stops every site",
        "107=&File",
        "108=Filters",
        "109=#Only a hint",
        "110=Title",
        "111=Relevance",
        "112=Kinds%% One % Two %",
        "113=Über & Ölgrün",
    });
    lang.FontName = "DejaVu Serif";
    return lang;
}

template <class T>
T* Tagged(QWidget* parent, const char* name, int tag) {
    auto* widget = new T(parent);  // owned by its parent
    widget->setObjectName(name);
    widget->setProperty("tag", tag);
    return widget;
}

// A window holding one object of each kind, all with text numbers.
struct Window {
    std::unique_ptr<QWidget> root = std::make_unique<QWidget>();
    QStandardItemModel model{0, 3};

    Window() {
        root->setProperty("tag", 100);
        auto* layout = new QVBoxLayout(root.get());
        auto* search = Tagged<QPushButton>(root.get(), "btnSearch", 101);
        search->setText("old");
        layout->addWidget(search);
        layout->addWidget(Tagged<QLabel>(root.get(), "lblQuery", 102));
        layout->addWidget(Tagged<QGroupBox>(root.get(), "gbOptions", 103));
        auto* fewer = Tagged<QComboBox>(root.get(), "cbxShort", 104);
        fewer->addItems({"a", "b"});
        layout->addWidget(fewer);
        auto* more = Tagged<QComboBox>(root.get(), "cbxLong", 104);
        more->addItems({"a", "b", "c", "d"});
        layout->addWidget(more);
        auto* list = Tagged<QListWidget>(root.get(), "lbKinds", 112);
        list->addItems({"x", "y", "z"});
        layout->addWidget(list);
        auto* tabs = new QTabWidget(root.get());
        tabs->addTab(new QWidget, "first");
        auto* page = new QWidget;
        page->setObjectName("tbs2");
        page->setProperty("tag", 105);
        tabs->addTab(page, "second");
        layout->addWidget(tabs);
        auto* stop = new QAction("stop", root.get());
        stop->setObjectName("aStop");
        stop->setProperty("tag", 106);
        auto* tool = Tagged<QToolButton>(root.get(), "tbStop", 101);
        tool->setDefaultAction(stop);
        layout->addWidget(tool);
        auto* menu = Tagged<QMenu>(root.get(), "miFile", 107);
        menu->setTitle("file");
        layout->addWidget(Tagged<QToolBar>(root.get(), "tbFilter", 108));
        auto* hinted = Tagged<QLabel>(root.get(), "lblHinted", 109);
        hinted->setText("kept");
        auto* low = Tagged<QLabel>(root.get(), "lblLow", 99);
        low->setText("99 is below the entries");
        auto* unknown = Tagged<QLabel>(root.get(), "lblUnknown", 150);
        unknown->setText("no entry 150");
        Tagged<QLabel>(root.get(), "lblUtf8", 113);
        auto* view = new QTableView(root.get());
        view->setObjectName("lvExt");
        view->setModel(&model);
        model.setHorizontalHeaderLabels({"t", "u", "r"});
        view->setProperty("columnTags", QVariantList{110, 0, 111});
        layout->addWidget(view);
    }
    template <class T>
    T* Find(const char* name) const {
        T* object = root->findChild<T*>(name);
        if (!object) qFatal("no %s", name);
        return object;
    }
};

}  // namespace

class TranslateTest : public QObject {
    Q_OBJECT

private slots:
    void EachKindOfObjectTakesItsEntry() {
        Window w;
        const tALanglist lang = Lang();
        trawler::ui::ApplyToComponent(w.root.get(), lang);

        struct Case {
            const char* what;
            std::function<QString(const Window&)> actual;
            QString expected;
        };
        auto* tabs = w.root->findChild<QTabWidget*>();
        const Case cases[] = {
            {"window title", [](const Window& w) { return w.root->windowTitle(); }, "Main window"},
            {"button text", [](const Window& w) { return w.Find<QPushButton>("btnSearch")->text(); }, "&Search"},
            {"button tip", [](const Window& w) { return w.Find<QPushButton>("btnSearch")->toolTip(); }, "Starts the search"},
            {"label", [](const Window& w) { return w.Find<QLabel>("lblQuery")->text(); }, "Query:"},
            {"group box", [](const Window& w) { return w.Find<QGroupBox>("gbOptions")->title(); }, "Options"},
            {"fewer items than texts",
             [](const Window& w) {
                 auto* c = w.Find<QComboBox>("cbxShort");
                 return QString::number(c->count()) + ":" + c->itemText(0) + "," + c->itemText(1);
             },
             "2:All words,Any word"},
            {"more items than texts",
             [](const Window& w) {
                 auto* c = w.Find<QComboBox>("cbxLong");
                 QStringList texts;
                 for (int i = 0; i < c->count(); ++i) texts << c->itemText(i);
                 return texts.join(',');
             },
             "All words,Any word,Phrase,d"},
            {"list items trimmed",
             [](const Window& w) {
                 auto* l = w.Find<QListWidget>("lbKinds");
                 return l->item(0)->text() + "," + l->item(1)->text() + "," + l->item(2)->text();
             },
             "One,Two,z"},
            {"tab text", [tabs](const Window&) { return tabs->tabText(1); }, "Engines"},
            {"tab tip", [tabs](const Window&) { return tabs->tabToolTip(1); }, "Sites and their states"},
            {"other tab", [tabs](const Window&) { return tabs->tabText(0); }, "first"},
            {"action text", [](const Window& w) { return w.Find<QAction>("aStop")->text(); }, "&Stop"},
            {"action tip", [](const Window& w) { return w.Find<QAction>("aStop")->toolTip(); }, "Stops every site"},
            {"action status tip", [](const Window& w) { return w.Find<QAction>("aStop")->statusTip(); }, "Stops every site"},
            {"tool button shows its action", [](const Window& w) { return w.Find<QToolButton>("tbStop")->text(); }, "Stop"},
            {"menu title", [](const Window& w) { return w.Find<QMenu>("miFile")->title(); }, "&File"},
            {"tool bar title", [](const Window& w) { return w.Find<QToolBar>("tbFilter")->windowTitle(); }, "Filters"},
            {"empty caption keeps the text", [](const Window& w) { return w.Find<QLabel>("lblHinted")->text(); }, "kept"},
            {"hint without caption", [](const Window& w) { return w.Find<QLabel>("lblHinted")->toolTip(); }, "Only a hint"},
            {"tag below 100", [](const Window& w) { return w.Find<QLabel>("lblLow")->text(); }, "99 is below the entries"},
            {"number without entry", [](const Window& w) { return w.Find<QLabel>("lblUnknown")->text(); }, "no entry 150"},
            {"UTF-8 text", [](const Window& w) { return w.Find<QLabel>("lblUtf8")->text(); }, QString::fromUtf8("Über & Ölgrün")},
            {"tagged column", [](const Window& w) { return w.model.headerData(0, Qt::Horizontal).toString(); }, "Title"},
            {"untagged column", [](const Window& w) { return w.model.headerData(1, Qt::Horizontal).toString(); }, "u"},
            {"second tagged column", [](const Window& w) { return w.model.headerData(2, Qt::Horizontal).toString(); }, "Relevance"},
            {"font name", [](const Window& w) { return w.Find<QLabel>("lblQuery")->font().family(); }, "DejaVu Serif"},
        };
        for (const Case& c : cases) {
            const QString actual = c.actual(w);
            QVERIFY2(actual == c.expected, qPrintable(QString("%1: \"%2\"").arg(c.what, actual)));
        }
    }

    void ApplicationWalkReachesEveryWindow() {
        Window first;
        Window second;
        trawler::ui::ApplyToApplication(Lang());
        QCOMPARE(first.root->windowTitle(), QString("Main window"));
        QCOMPARE(second.Find<QAction>("aStop")->text(), QString("&Stop"));
    }
};

QTEST_MAIN(TranslateTest)
#include "translate_test.moc"
