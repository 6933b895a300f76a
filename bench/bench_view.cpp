// How the result view copes with a large result set: 100,000 results shown in
// a table view through the result model.
//
//   Fill          FillResultView: every row rebuilt from the visible results,
//                 then the view painted once.
//   Append        the rows added one at a time, as a search adds them.
//   Sort/<col>    a first sort of freshly filled rows by one column, then a
//                 paint.
//   SortAgain/<col>  the same column sorted again in the other direction
//                 (the rows keep their sort keys).
//   Hide50k       every other result turned old and the view switched to new
//                 results only: 50,000 scattered rows leave in one batch.
//
// peak_MB is the process's peak resident size (getrusage), the whole program
// with 100,000 results, their rows and the view.
//
// Targets: fill under 1 s, a sort under 300 ms, under 400 MB.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QLocale>
#include <QHeaderView>
#include <QTableView>
#include <memory>
#include <random>
#include <string>

#include "results/results_list.h"
#include "ui/results_model/results_model.h"

namespace {

using trawler::results::tHit;
using trawler::results::tResultsList;
using trawler::ui::ResultsModel;

constexpr int kResults = 100000;

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Titles and addresses as search pages give them: a few words from a mixed
// vocabulary, distinct pages on many hosts, ten engines.
std::unique_ptr<tResultsList> MakeList() {
    static const char* const words[] = {"Search", "engine", "Results", "page", "news", "Übersicht", "download",
                                        "free", "Software", "music", "Video", "review", "guide", "Linux", "how",
                                        "to", "best", "top", "Страница", "новости", "price", "Shop", "forum"};
    std::mt19937 random(15);
    auto list = std::make_unique<tResultsList>();
    for (int i = 0; i < kResults; ++i) {
        tHit hit;
        const int count = 3 + static_cast<int>(random() % 6);
        for (int w = 0; w < count; ++w) {
            if (w > 0) hit.Title += ' ';
            hit.Title += words[random() % std::size(words)];
        }
        hit.Url = "http://host" + std::to_string(random() % 5000) + ".example.lan/path/" + std::to_string(i) +
                  "/page.html";
        hit.Engine = "engine" + std::to_string(random() % 10);
        hit.Date = 40000 + static_cast<double>(random() % 4000) + (random() % 24) / 24.0;
        hit.Relevance = 1 + static_cast<int>(random() % 100);
        hit.Description = "A description of the page, as the site gives it.";
        list->AddHit(hit, false);
    }
    return list;
}

struct Scene {
    std::unique_ptr<tResultsList> list = MakeList();
    ResultsModel model;
    QTableView view;

    Scene() {
        model.SetResultsList(list.get());
        // As the main window wires them: changes of many results are one batch.
        list->OnBeginUpdate = [this](tResultsList&) { model.BeginBatch(); };
        list->OnEndUpdate = [this](tResultsList&) { model.EndBatch(); };
        view.setModel(&model);
        view.verticalHeader()->hide();
        view.resize(1000, 700);
        view.show();
    }
    void Paint() {
        view.viewport()->repaint();
        QApplication::processEvents();
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void Fill(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.model.Fill();
        scene.Paint();
    }
    state.counters["rows"] = scene.model.rowCount();
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(Fill)->Unit(benchmark::kMillisecond)->Iterations(3);

void Append(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        state.PauseTiming();
        scene.model.Clear();
        state.ResumeTiming();
        for (int i = 0; i < scene.list->Count(); ++i) scene.model.AppendResult(*scene.list->Items(i));
        scene.Paint();
    }
    state.counters["rows"] = scene.model.rowCount();
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(Append)->Unit(benchmark::kMillisecond)->Iterations(3);

// A first sort of freshly filled rows: every sort key is made.
void Sort(benchmark::State& state) {
    Scene& scene = TheScene();
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        scene.model.Fill();
        scene.Paint();
        state.ResumeTiming();
        scene.model.SortByColumn(column, true);
        scene.Paint();
    }
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(Sort)
    ->ArgName("column")
    ->DenseRange(trawler::ui::rcTitle, trawler::ui::rcRelevance)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The same column clicked again: the direction turns over, the keys are kept.
void SortAgain(benchmark::State& state) {
    Scene& scene = TheScene();
    const int column = static_cast<int>(state.range(0));
    scene.model.Fill();
    scene.model.SortByColumn(column, true);
    bool ascending = false;
    for (auto _ : state) {
        scene.model.SortByColumn(column, ascending);
        scene.Paint();
        ascending = !ascending;
    }
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(SortAgain)
    ->ArgName("column")
    ->DenseRange(trawler::ui::rcTitle, trawler::ui::rcEngine)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

void Hide50k(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        state.PauseTiming();
        scene.list->SetViewMode(trawler::results::vmAll);
        for (int i = 0; i < scene.list->Count(); ++i) scene.list->Items(i)->SetIsNew(i % 2 == 0);
        scene.model.Fill();
        scene.Paint();
        state.ResumeTiming();
        scene.list->SetViewMode(trawler::results::vmNewOnly);
        scene.Paint();
    }
    state.counters["rows"] = scene.model.rowCount();
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(Hide50k)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Sorting in a real locale is the costly case (the C locale compares bytes);
    // TRAWLER_BENCH_LOCALE picks another one, "C" included.
    const QByteArray localeName = qEnvironmentVariableIsSet("TRAWLER_BENCH_LOCALE")
                                      ? qgetenv("TRAWLER_BENCH_LOCALE")
                                      : QByteArray("en_US");
    QLocale::setDefault(QLocale(QString::fromLatin1(localeName)));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
