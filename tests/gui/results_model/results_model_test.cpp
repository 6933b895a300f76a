// The result view's model over a real result list: rows bound both ways,
// batch removal, sorting by each column, and what the rows show.

#include <QAbstractItemModelTester>
#include <QFont>
#include <QIcon>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "results/results_list.h"
#include "ui/results_model/results_model.h"
#include "ui/results_model/row_compare.h"

using trawler::results::tHit;
using trawler::results::tResultsList;
using trawler::results::tUrlResult;
using trawler::ui::ResultsModel;

namespace {

struct HitSample {
    const char* title;
    const char* url;
    const char* engine;
    double date;
    int relevance;
};

tUrlResult* Add(tResultsList& list, const HitSample& sample) {
    tHit hit;
    hit.Title = sample.title;
    hit.Url = sample.url;
    hit.Engine = sample.engine;
    hit.Date = sample.date;
    hit.Relevance = sample.relevance;
    return list.AddHit(hit, false).Result;
}

// A model checked by Qt's model tester for every change it makes.
struct Fixture {
    tResultsList list;
    ResultsModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};

    Fixture() {
        model.SetResultsList(&list);
        list.OnBeginUpdate = [this](tResultsList&) { model.BeginBatch(); };
        list.OnEndUpdate = [this](tResultsList&) { model.EndBatch(); };
    }
    QString Text(int row, int column) const { return model.index(row, column).data().toString(); }
    QStringList Column(int column) const {
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row) texts << Text(row, column);
        return texts;
    }
};

QStringList Titles(const Fixture& f) { return f.Column(trawler::ui::rcTitle); }

}  // namespace

class ResultsModelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void FillShowsVisibleResultsInListOrderBoundBothWays() {
        Fixture f;
        Add(f.list, {"Alpha", "http://a.lan/", "e1", 0, 10});
        tUrlResult* hidden = Add(f.list, {"Beta", "http://b.lan/", "e1", 0, 20});
        Add(f.list, {"Gamma", "http://c.lan/", "e2", 0, 30});
        hidden->SetDeleted(true);
        hidden->ApplyFilter();
        QSignalSpy counts(&f.model, &ResultsModel::rowCountChanged);

        f.model.Fill();

        QCOMPARE(Titles(f), QStringList({"Alpha", "Gamma"}));
        QCOMPARE(f.Text(1, trawler::ui::rcUrl), QString("http://c.lan/"));
        QCOMPARE(f.Text(1, trawler::ui::rcEngine), QString("e2"));
        QCOMPARE(f.Text(1, trawler::ui::rcRelevance), QString("30"));
        QCOMPARE(counts.size(), 1);
        QCOMPARE(counts.last().at(0).toInt(), 2);
        for (int row = 0; row < 2; ++row) {
            tUrlResult* result = f.model.ResultAt(row);
            QVERIFY(result);
            QCOMPARE(f.model.RowOf(result), row);
            QVERIFY(result->ListItem());
        }
        QCOMPARE(f.model.RowOf(hidden), -1);
        QVERIFY(!f.model.ResultAt(2));
        QVERIFY(!f.model.ResultAt(-1));
    }

    void FillReportsProgressAFewTimesOnly() {
        Fixture f;
        for (int i = 0; i < 1000; ++i)
            Add(f.list, {"t", ("http://h" + std::to_string(i) + ".lan/").c_str(), "e", 0, 1});
        int calls = 0;
        int last = -1;
        f.model.Fill([&](int position, int maximum) {
            ++calls;
            QVERIFY(position > last);
            QCOMPARE(maximum, 1000);
            last = position;
        });
        QCOMPARE(f.model.rowCount(), 1000);
        QVERIFY(calls > 0 && calls <= 101);
    }

    void ChangesOfTheResultReachTheRow() {
        Fixture f;
        tUrlResult* result = Add(f.list, {"Alpha", "http://a.lan/", "e1", 0, 10});
        f.model.Fill();
        QSignalSpy changed(&f.model, &QAbstractItemModel::dataChanged);

        result->Relevance = 77;
        result->RefreshRow();
        QCOMPARE(f.Text(0, trawler::ui::rcRelevance), QString("77"));
        QVERIFY(!changed.isEmpty());

        changed.clear();
        result->SetCheckState(trawler::results::csBad);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).value<QModelIndex>().column(), int(trawler::ui::rcTitle));
    }

    void EditingTheTitleSetsItAndRefusesAnEmptyOne() {
        Fixture f;
        tUrlResult* result = Add(f.list, {"Alpha", "http://a.lan/", "e1", 0, 10});
        f.model.Fill();
        const QModelIndex title = f.model.index(0, trawler::ui::rcTitle);
        QVERIFY(f.model.flags(title) & Qt::ItemIsEditable);
        QVERIFY(!(f.model.flags(f.model.index(0, trawler::ui::rcUrl)) & Qt::ItemIsEditable));

        QVERIFY(f.model.setData(title, QString::fromUtf8("Ärger über Öl")));
        QCOMPARE(QString::fromStdString(result->Title), QString::fromUtf8("Ärger über Öl"));
        QCOMPARE(title.data().toString(), QString::fromUtf8("Ärger über Öl"));

        QVERIFY(!f.model.setData(title, QString()));
        QCOMPARE(QString::fromStdString(result->Title), QString::fromUtf8("Ärger über Öl"));
    }

    void AResultLeavingTheViewTakesItsRow() {
        Fixture f;
        Add(f.list, {"Alpha", "http://a.lan/", "e", 0, 1});
        tUrlResult* beta = Add(f.list, {"Beta", "http://b.lan/", "e", 0, 1});
        Add(f.list, {"Gamma", "http://c.lan/", "e", 0, 1});
        f.model.Fill();

        f.list.FreeResult(beta);
        QCOMPARE(Titles(f), QStringList({"Alpha", "Gamma"}));
        QCOMPARE(f.model.RowOf(f.list.Items(1)), 1);
    }

    void RowsRemovedInsideABatchLeaveAtItsEnd() {
        struct Case {
            const char* name;
            int every;  // touch every n-th result: one block, a few runs, many runs
            int count;
            bool byViewMode;  // hide the results through the view mode (the list's own
                              // batch), else delete them inside a batch of the window's
        };
        const Case cases[] = {{"one block", 1, 40, false}, {"a few runs", 10, 40, false},
                              {"many runs", 2, 400, false}, {"view mode, many runs", 3, 400, true}};
        for (const Case& c : cases) {
            Fixture f;
            for (int i = 0; i < c.count; ++i)
                Add(f.list, {std::to_string(i).c_str(), ("http://h" + std::to_string(i) + ".lan/").c_str(), "e", 0, i});
            f.model.Fill();
            for (int i = 0; i < c.count; i += c.every) {
                if (c.byViewMode)
                    f.list.Items(i)->SetIsNew(false);
                else
                    f.list.Items(i)->SetSelected(true);
            }
            QSignalSpy counts(&f.model, &ResultsModel::rowCountChanged);

            if (c.byViewMode) {
                f.list.SetViewMode(trawler::results::vmNewOnly);
            } else {
                f.model.BeginBatch();
                f.list.DeleteSelected(false);
                QVERIFY2(f.model.rowCount() == c.count, c.name);  // nothing left yet
                f.model.EndBatch();
            }

            QStringList expected;
            for (int i = 0; i < c.count; ++i)
                if (f.list.Items(i)->Visible()) expected << QString::number(i);
            QVERIFY2(expected.size() < c.count, c.name);
            QVERIFY2(Titles(f) == expected, c.name);
            QVERIFY2(counts.size() == 1, c.name);
            for (int row = 0; row < f.model.rowCount(); ++row)
                QVERIFY2(f.model.RowOf(f.model.ResultAt(row)) == row, c.name);
        }
    }

    void SortsByEachColumnStablyInBothDirections() {
        struct Case {
            int column;
            bool ascending;
            QStringList titles;  // the order after the sort
        };
        // Rows of equal keys keep their order (b1 before b2) in both directions.
        const Case cases[] = {
            {trawler::ui::rcTitle, true, {"a", "b1", "b2", "c"}},
            {trawler::ui::rcTitle, false, {"c", "b2", "b1", "a"}},
            {trawler::ui::rcUrl, true, {"a", "c", "b1", "b2"}},
            {trawler::ui::rcUrl, false, {"b2", "b1", "c", "a"}},
            // In the user's language, not by bytes ("Zeta" last), and with case
            // ("alpha" before "Alpha" in English).
            {trawler::ui::rcEngine, true, {"c", "b1", "b2", "a"}},
            {trawler::ui::rcEngine, false, {"a", "b2", "b1", "c"}},
            // c and b1 fall on the same day at different hours: equal.
            {trawler::ui::rcDate, true, {"a", "c", "b1", "b2"}},
            {trawler::ui::rcDate, false, {"b2", "c", "b1", "a"}},
            {trawler::ui::rcRelevance, true, {"b2", "c", "a", "b1"}},
            {trawler::ui::rcRelevance, false, {"b1", "a", "c", "b2"}},
        };
        for (const Case& c : cases) {
            Fixture f;
            Add(f.list, {"c", "http://b.lan/", "alpha", 45000.75, 20});
            Add(f.list, {"b1", "http://x.lan/1", "Alpha", 45000.25, 100});
            Add(f.list, {"a", "http://a.lan/", "Zeta", 44000, 30});
            Add(f.list, {"b2", "http://x.lan/2", "beta", 46000, 9});
            f.model.Fill();

            f.model.SortByColumn(c.column, c.ascending);

            const QString what = QString("column %1 %2").arg(c.column).arg(c.ascending ? "up" : "down");
            QVERIFY2(Titles(f) == c.titles, qPrintable(what + ": " + Titles(f).join(',')));
            for (int row = 0; row < f.model.rowCount(); ++row)
                QVERIFY2(f.model.RowOf(f.model.ResultAt(row)) == row, qPrintable(what));
        }
    }

    void InTheCLocaleTextsSortByCodePoints() {
        // Capitals before small letters, and a letter with an accent after "z".
        QLocale::setDefault(QLocale::c());
        Fixture f;
        Add(f.list, {"c", "http://c.lan/", "zulu", 0, 1});
        Add(f.list, {"b", "http://b.lan/", "\xc3\xa9" "cho", 0, 1});
        Add(f.list, {"a", "http://a.lan/", "Zeta", 0, 1});
        Add(f.list, {"d", "http://d.lan/", "alpha", 0, 1});
        f.model.Fill();
        f.model.SortByColumn(trawler::ui::rcEngine, true);
        const QStringList byBytes = Titles(f);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        f.model.SortByColumn(trawler::ui::rcEngine, true);
        QCOMPARE(byBytes, QStringList({"a", "d", "c", "b"}));
        QCOMPARE(Titles(f), QStringList({"d", "b", "a", "c"}));
    }

    void SortingKeepsTheSelectionOnItsResultsAndLaterRowsAppend() {
        Fixture f;
        Add(f.list, {"c", "http://c.lan/", "e", 0, 1});
        Add(f.list, {"a", "http://a.lan/", "e", 0, 1});
        tUrlResult* b = Add(f.list, {"b", "http://b.lan/", "e", 0, 1});
        f.model.Fill();
        QPersistentModelIndex held = f.model.index(2, 0);

        f.model.SortByColumn(trawler::ui::rcTitle, true);
        QCOMPARE(held.row(), 1);
        QCOMPARE(f.model.ResultAt(held.row()), b);

        tUrlResult* late = Add(f.list, {"0 first by title", "http://d.lan/", "e", 0, 1});
        QCOMPARE(f.model.AppendResult(*late), 3);
        QCOMPARE(f.model.AppendResult(*late), 3);  // already shown: same row
        QCOMPARE(Titles(f), QStringList({"a", "b", "c", "0 first by title"}));
    }

    void ASortAfterATextChangedUsesTheNewText() {
        Fixture f;
        Add(f.list, {"b", "http://b.lan/", "e", 0, 1});
        tUrlResult* a = Add(f.list, {"a", "http://a.lan/", "e", 0, 1});
        Add(f.list, {"c", "http://c.lan/", "e", 0, 1});
        f.model.Fill();
        f.model.SortByColumn(trawler::ui::rcTitle, true);
        f.model.SortByColumn(trawler::ui::rcUrl, true);
        QCOMPARE(Titles(f), QStringList({"a", "b", "c"}));

        QVERIFY(f.model.setData(f.model.index(f.model.RowOf(a), trawler::ui::rcTitle), "d"));
        a->AddUrl("http://z.lan/");
        a->RefreshRow();
        f.model.SortByColumn(trawler::ui::rcTitle, true);
        QCOMPARE(Titles(f), QStringList({"b", "c", "d"}));
        f.model.SortByColumn(trawler::ui::rcUrl, true);
        QCOMPARE(Titles(f), QStringList({"b", "c", "d"}));
        QCOMPARE(f.Text(2, trawler::ui::rcUrl), QString("http://z.lan/"));
    }

    void NewResultsAreDrawnBoldAndColouredOnlyWhenTheProgramDraws() {
        struct Case {
            bool useExtList, bold, showHint;
        };
        const Case cases[] = {{false, true, false}, {true, false, true}, {true, true, true}};
        for (const Case& c : cases) {
            Fixture f;
            Add(f.list, {"New one", "http://a.lan/", "e", 0, 1});
            tUrlResult* old = Add(f.list, {"Old one", "http://b.lan/", "e", 0, 1});
            old->SetIsNew(false);
            f.model.Fill();
            QFont viewFont("DejaVu Serif", 13);
            f.model.SetDisplayOptions({c.useExtList, c.bold, QColor(Qt::red), c.showHint, viewFont});

            const QVariant font = f.model.index(0, 1).data(Qt::FontRole);
            QCOMPARE(font.isValid() && font.value<QFont>().bold(), c.useExtList && c.bold);
            if (font.isValid()) {  // the view's own font, in bold
                QCOMPARE(font.value<QFont>().family(), QString("DejaVu Serif"));
                QCOMPARE(font.value<QFont>().pointSize(), 13);
            }
            QCOMPARE(f.model.index(0, 1).data(Qt::ForegroundRole).isValid(), c.useExtList);
            QVERIFY(!f.model.index(1, 1).data(Qt::FontRole).isValid());
            QVERIFY(!f.model.index(1, 1).data(Qt::ForegroundRole).isValid());
            const QString tip = f.model.index(1, 0).data(Qt::ToolTipRole).toString();
            QCOMPARE(tip.contains("Old one"), c.showHint);
        }
    }

    void RowPictureFollowsTheCheckState() {
        Fixture f;
        tUrlResult* result = Add(f.list, {"a", "http://a.lan/", "e", 0, 1});
        f.model.Fill();
        QVERIFY(!f.model.index(0, 1).data(Qt::DecorationRole).isValid());
        const auto picture = [&] { return f.model.index(0, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage(); };
        const QImage unchecked = picture();
        result->SetCheckState(trawler::results::csGood);
        const QImage good = picture();
        result->SetCheckState(trawler::results::csBad);
        const QImage bad = picture();
        QVERIFY(!unchecked.isNull());
        QVERIFY(unchecked != good && good != bad && bad != unchecked);
    }

    void EitherSideMayGoFirst() {
        auto list = std::make_unique<tResultsList>();
        Add(*list, {"a", "http://a.lan/", "e", 0, 1});
        {
            ResultsModel model;
            model.SetResultsList(list.get());
            model.Fill();
            QVERIFY(list->Items(0)->ListItem());
        }
        QVERIFY(!list->Items(0)->ListItem());

        ResultsModel model;
        model.SetResultsList(list.get());
        model.Fill();
        list.reset();
        QCOMPARE(model.rowCount(), 0);
    }

    void HeaderTextsAndPlainComparisons() {
        struct DayCase {
            double a, b;
            int sign;
        };
        const DayCase days[] = {{0.2, 0.5, 0}, {0.5, 0.2, 0}, {1.9, 2.1, -1}, {2.1, 1.9, 1}, {-0.5, 0.5, -1}};
        for (const DayCase& c : days) QCOMPARE(trawler::ui::CompareDays(c.a, c.b), c.sign);

        struct IntCase {
            const char* text;
            int value;
        };
        const IntCase ints[] = {{"42", 42}, {"-7", -7}, {"+5", 5}, {"", 0}, {"12abc", 0}, {"+-5", 0}, {"99999999999", 0}, {" 3", 0}};
        for (const IntCase& c : ints) QVERIFY2(trawler::ui::RelevanceOfText(c.text) == c.value, c.text);
    }
};

QTEST_MAIN(ResultsModelTest)
#include "results_model_test.moc"
