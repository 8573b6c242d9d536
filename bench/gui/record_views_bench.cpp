// The list and record views of the 65535-record, 50-field database: a
// screenful of the list at the top, the middle and the end, switching from
// the grid to the record view of record 1 and of record 60000, and the
// filter row working through every record. The
// dashboard takes the same figures from DashboardViewFigures.
#include "bench_data.h"
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "extended_grid.h"
#include "grid_header.h"
#include "record_panel.h"
#include "streams.h"
#include "text_convert.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QPixmap>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>

namespace quorvil::bench {

namespace {

struct ViewedDatabase {
    ViewedDatabase()
    {
        static QTemporaryDir dir;
        const std::string path = QStringToPath(dir.path()) + "/views.pdb";
        {
            auto made = MakeLargeDatabase(kLargeRecords);
            TMemoryStream image;
            made->Save(image);
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(image.Bytes().data()), std::streamsize(image.Bytes().size()));
        }
        db = Open<TDataBase>(path);
        page.resize(1200, 700);
        page.SetDatabase(db.get());
        page.RefreshView();
        page.show();
    }
    ~ViewedDatabase() { page.SetDatabase(nullptr); }

    // Scrolls the list so that `row` is at the top and paints the lines.
    void PaintListAt(int row)
    {
        page.ListBox()->scrollTo(page.ListBox()->model()->index(row, 0), QAbstractItemView::PositionAtTop);
        benchmark::DoNotOptimize(page.ListBox()->viewport()->grab().cacheKey());
    }
    // From the grid to the record view showing `row`, painted.
    void SwitchToRecord(int row)
    {
        page.SetViewMode(TViewMode::Record);
        page.EditPanel()->ShowRow(row);
        benchmark::DoNotOptimize(page.EditPanel()->grab().cacheKey());
    }

    std::unique_ptr<TDataBase> db;
    TDatabasePage page{0};
};

ViewedDatabase& Viewed()
{
    static ViewedDatabase* viewed = new ViewedDatabase;  // lives until the process ends
    return *viewed;
}

double BestMs(int runs, const std::function<void()>& work, const std::function<void()>& prepare = {})
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

void BM_ListScreenful(benchmark::State& state)
{
    ViewedDatabase& v = Viewed();
    if (v.page.ViewMode() != TViewMode::List)
        v.page.SetViewMode(TViewMode::List);
    for (auto _ : state)
        v.PaintListAt(int(state.range(0)) - 1);
}
BENCHMARK(BM_ListScreenful)->Arg(1)->Arg(30000)->Arg(60000)->Unit(benchmark::kMillisecond);

void BM_SwitchToRecordView(benchmark::State& state)
{
    ViewedDatabase& v = Viewed();
    for (auto _ : state) {
        state.PauseTiming();
        v.page.SetViewMode(TViewMode::Grid);
        state.ResumeTiming();
        v.SwitchToRecord(int(state.range(0)) - 1);
    }
}
BENCHMARK(BM_SwitchToRecordView)->Arg(1)->Arg(60000)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

// One line per figure, "name milliseconds", for the dashboard.
void DashboardViewFigures()
{
    ViewedDatabase& v = Viewed();
    v.page.SetViewMode(TViewMode::List);
    v.PaintListAt(0);  // fonts and caches come once
    std::printf("list_row_1 %.3f\n", BestMs(5, [&] { v.PaintListAt(0); }));
    std::printf("list_row_60000 %.3f\n", BestMs(5, [&] { v.PaintListAt(59999); }));
    const auto toGrid = [&] { v.page.SetViewMode(TViewMode::Grid); };
    std::printf("record_1 %.3f\n", BestMs(
                                       5, [&] { v.SwitchToRecord(0); }, toGrid));
    std::printf("record_60000 %.3f\n", BestMs(
                                           5, [&] { v.SwitchToRecord(59999); }, toGrid));

    // The filter row over every record, boxes of three kinds: the longest
    // the window is kept from its events, and the time to the rows shown.
    v.page.SetViewMode(TViewMode::Grid);
    v.page.SetFilterRowVisible(true);
    TGridHeader& header = *v.page.Grid()->Header();
    header.SetFilterText(0, FromUtf8("a"));
    header.SetFilterText(3, FromUtf8("100..5000"));
    header.SetFilterText(4, FromUtf8(">=1/1/2000"));
    double longest = 0;
    double total = 1e30;
    for (int run = 0; run < 3; ++run) {
        bool applied = false;
        const QMetaObject::Connection done = QObject::connect(&v.page, &TDatabasePage::FilterApplied,
                                                              [&] { applied = true; });
        QElapsedTimer all;
        all.start();
        double runLongest = BestMs(1, [&] { emit v.page.Grid()->FilterChanged(); });
        while (!applied) {
            QElapsedTimer step;
            step.start();
            QCoreApplication::processEvents();
            runLongest = std::max(runLongest, double(step.nsecsElapsed()) / 1e6);
        }
        total = std::min(total, double(all.nsecsElapsed()) / 1e6);
        longest = run == 0 ? runLongest : std::min(longest, runLongest);
        QObject::disconnect(done);
    }
    std::printf("filter_longest %.3f\n", longest);
    std::printf("filter_total %.3f\n", total);
}

}  // namespace quorvil::bench
