// The grid of a 65535-record, 50-field database: opening it into a tab page
// beside opening the file alone, painting a screenful at the top, the middle
// and the end, the slowest screenful on the way from top to bottom, and the
// heap the view takes beside the row map it is meant to be.
#include "bench_data.h"
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "extended_grid.h"
#include "streams.h"
#include "text_convert.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPixmap>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <malloc.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>

namespace quorvil::bench {

namespace {

// Large enough for a desktop window: about 35 rows of 18 columns.
constexpr int kPageWidth = 1200;
constexpr int kPageHeight = 700;

// A file of the large database (or a smaller one) of this process's own.
std::string WriteDatabase(int records, const std::string& name)
{
    static QTemporaryDir dir;
    const std::string path = QStringToPath(dir.path()) + "/" + name + ".pdb";
    auto db = MakeLargeDatabase(records);
    TMemoryStream image;
    db->Save(image);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.Bytes().data()), std::streamsize(image.Bytes().size()));
    return path;
}

const std::string& LargeFile()
{
    static const std::string path = WriteDatabase(kLargeRecords, "large");
    return path;
}

size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A tab page showing a database, as the main window sets it up.
struct ShownDatabase {
    explicit ShownDatabase(const std::string& path) : db(Open<TDataBase>(path))
    {
        page.resize(kPageWidth, kPageHeight);
        page.SetDatabase(db.get());
        page.RefreshView();
        page.show();
    }
    ~ShownDatabase() { page.SetDatabase(nullptr); }

    // Scrolls `row` to the top and paints the visible cells.
    void PaintAt(int row)
    {
        page.Grid()->verticalScrollBar()->setValue(row);
        QPixmap shot = page.Grid()->viewport()->grab();
        benchmark::DoNotOptimize(shot.cacheKey());
    }

    std::unique_ptr<TDataBase> db;
    TDatabasePage page{0};
};

// Kept for the whole run, and let go before the application ends.
std::unique_ptr<ShownDatabase>& LargeSlot()
{
    static std::unique_ptr<ShownDatabase> shown;
    return shown;
}

ShownDatabase& Large()
{
    if (!LargeSlot())
        LargeSlot() = std::make_unique<ShownDatabase>(LargeFile());
    return *LargeSlot();
}

void BM_OpenFileOnly(benchmark::State& state)
{
    LargeFile();  // written once, outside the measured time
    for (auto _ : state) {
        auto db = Open<TDataBase>(LargeFile());
        benchmark::DoNotOptimize(db->RecordCount());
    }
}
BENCHMARK(BM_OpenFileOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenIntoGrid(benchmark::State& state)
{
    for (auto _ : state) {
        ShownDatabase shown(LargeFile());
        shown.PaintAt(0);
    }
}
BENCHMARK(BM_OpenIntoGrid)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PaintScreenful(benchmark::State& state)
{
    ShownDatabase& shown = Large();
    const int row = int(state.range(0)) - 1;
    for (auto _ : state)
        shown.PaintAt(row);
    const QHeaderView* rows = shown.page.Grid()->verticalHeader();
    state.counters["rows_painted"] = rows->visualIndexAt(rows->height() - 1) - rows->visualIndexAt(0) + 1;
}
BENCHMARK(BM_PaintScreenful)->Arg(1)->Arg(30000)->Arg(60000)->Unit(benchmark::kMillisecond);

// Thumb tracking from top to bottom in 200 steps: the slowest screenful is
// what the user would notice.
void BM_ScrollTopToBottom(benchmark::State& state)
{
    ShownDatabase& shown = Large();
    const int last = shown.page.Grid()->verticalScrollBar()->maximum();
    double slowest = 0;
    for (auto _ : state) {
        for (int step = 0; step <= 200; ++step) {
            QElapsedTimer timer;
            timer.start();
            shown.PaintAt(int(int64_t(last) * step / 200));
            slowest = std::max(slowest, double(timer.nsecsElapsed()) / 1e6);
        }
    }
    state.counters["slowest_screenful_ms"] = slowest;
}
BENCHMARK(BM_ScrollTopToBottom)->Unit(benchmark::kMillisecond)->Iterations(3);

// Baseline: the least any table view costs for as many rows, over a model
// that holds nothing at all.
class TEmptyModel : public QAbstractTableModel {
public:
    explicit TEmptyModel(int rows) : rows_(rows) {}
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kLargeFields; }
    QVariant data(const QModelIndex&, int) const override { return {}; }

private:
    int rows_;
};

size_t EmptyTableViewBytes(int rows)
{
    const size_t before = HeapInUse();
    TEmptyModel model(rows);
    QTableView view;
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->hide();
    view.resize(kPageWidth, kPageHeight);
    view.setModel(&model);
    view.show();
    benchmark::DoNotOptimize(view.viewport()->grab().cacheKey());
    return HeapInUse() - before;
}

// Heap taken by showing a database beyond the database itself, against the
// row map of two bytes per record. Any table view keeps an entry per row in
// its (hidden) row header; the same-run baseline is a plain table view over
// a model that holds nothing, and what the grid takes beyond it per record
// should be the row map.
void BM_ViewMemory(benchmark::State& state)
{
    // A file of its own: the shared large one stays open (and locked) in Large().
    const std::string path = WriteDatabase(int(state.range(0)), "memory_" + std::to_string(state.range(0)));
    double viewBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto db = Open<TDataBase>(path);
        {
            // Fonts, style pictures and caches come once per process.
            TDatabasePage warm(0);
            warm.SetDatabase(db.get());
            warm.show();
            benchmark::DoNotOptimize(warm.Grid()->viewport()->grab().cacheKey());
            warm.SetDatabase(nullptr);
        }
        const size_t before = HeapInUse();
        state.ResumeTiming();
        {
            TDatabasePage page(0);
            page.resize(kPageWidth, kPageHeight);
            page.SetDatabase(db.get());
            page.RefreshView();
            page.show();
            for (int row : {0, db->RecordCount() / 2, db->RecordCount() - 1}) {
                page.Grid()->verticalScrollBar()->setValue(row);
                benchmark::DoNotOptimize(page.Grid()->viewport()->grab().cacheKey());
            }
            state.PauseTiming();
            viewBytes = double(HeapInUse() - before);
            page.SetDatabase(nullptr);
            state.ResumeTiming();
        }
    }
    const double records = double(state.range(0));
    const double baseline = double(EmptyTableViewBytes(int(state.range(0))));
    state.counters["view_bytes"] = viewBytes;
    state.counters["table_view_bytes"] = baseline;
    state.counters["beyond_table_view_per_record"] = (viewBytes - baseline) / records;
    state.counters["row_map_per_record"] = double(sizeof(uint16_t));
}
BENCHMARK(BM_ViewMemory)->Arg(1000)->Arg(kLargeRecords)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

void DashboardViewFigures();                           // record_views_bench.cpp
bool DashboardOpenFigures(const std::string& path);    // open_bench.cpp
bool DashboardExportFigures(const std::string& path);  // export_bench.cpp

}  // namespace quorvil::bench

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "--dashboard-views") == 0) {
        quorvil::bench::DashboardViewFigures();
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--dashboard-open") == 0)
        return quorvil::bench::DashboardOpenFigures(argv[2]) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "--dashboard-export") == 0)
        return quorvil::bench::DashboardExportFigures(argv[2]) ? 0 : 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    quorvil::bench::LargeSlot().reset();
    benchmark::Shutdown();
    return 0;
}
