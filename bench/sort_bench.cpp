// Sorting the large database by one text field beside std::sort of the same
// keys. Target: at most 3 times the baseline.
#include "bench_data.h"
#include "record_sort.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace quorvil::bench {

namespace {

const TSortOrder kByFirstText{{"Field 1"}, {}, {}};

void BM_SortByTextField(benchmark::State& state)
{
    std::unique_ptr<TJFILE> db;
    for (auto _ : state) {
        // Building and freeing the database stay outside the measured time.
        state.PauseTiming();
        db.reset();
        db = MakeLargeDatabase();
        state.ResumeTiming();
        SortRecords(*db, kByFirstText, 1, db->RecordCount());
    }
}
BENCHMARK(BM_SortByTextField)->Unit(benchmark::kMillisecond);

void BM_StdSortOfTheSameKeys(benchmark::State& state)
{
    auto db = MakeLargeDatabase();
    std::vector<std::string> keys;
    for (int r = 1; r <= db->RecordCount(); ++r)
        keys.push_back(SortKey(*db, r, kByFirstText));
    std::vector<std::string> copy;
    for (auto _ : state) {
        state.PauseTiming();
        copy = keys;
        state.ResumeTiming();
        std::sort(copy.begin(), copy.end());
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_StdSortOfTheSameKeys)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace quorvil::bench
