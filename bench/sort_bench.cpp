// Sorting the large database by one text field, by three fields as the sort
// dialog hands them over, and by a number and a date (values read once per
// record), each beside std::sort of the same keys.
// Target: at most 3 times the baseline.
#include "bench_data.h"
#include "field_definition.h"
#include "record_sort.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace quorvil::bench {

namespace {

const TSortOrder kByFirstText{{"Field 1"}, {}, {}};
const TSortOrder kByNumberAndDate{{"Field 3", "Field 5"}, {}, {}};

void SortBy(benchmark::State& state, const TSortOrder& order)
{
    std::unique_ptr<TJFILE> db;
    for (auto _ : state) {
        // Building and freeing the database stay outside the measured time.
        state.PauseTiming();
        db.reset();
        db = MakeLargeDatabase();
        state.ResumeTiming();
        SortRecords(*db, order, 1, db->RecordCount());
    }
}

void StdSortOfKeys(benchmark::State& state, const TSortOrder& order)
{
    auto db = MakeLargeDatabase();
    std::vector<std::string> keys;
    for (int r = 1; r <= db->RecordCount(); ++r)
        keys.push_back(SortKey(*db, r, order));
    std::vector<std::string> copy;
    for (auto _ : state) {
        state.PauseTiming();
        copy = keys;
        state.ResumeTiming();
        std::sort(copy.begin(), copy.end());
        benchmark::DoNotOptimize(copy.data());
    }
}

void BM_SortByTextField(benchmark::State& state)
{
    SortBy(state, kByFirstText);
}
BENCHMARK(BM_SortByTextField)->Unit(benchmark::kMillisecond);

void BM_StdSortOfTheSameKeys(benchmark::State& state)
{
    StdSortOfKeys(state, kByFirstText);
}
BENCHMARK(BM_StdSortOfTheSameKeys)->Unit(benchmark::kMillisecond);

void BM_SortByThreeFields(benchmark::State& state)
{
    SortBy(state, ThreeFieldOrder(*MakeLargeDatabase(10)));
}
BENCHMARK(BM_SortByThreeFields)->Unit(benchmark::kMillisecond);

void BM_StdSortOfThreeFieldKeys(benchmark::State& state)
{
    StdSortOfKeys(state, ThreeFieldOrder(*MakeLargeDatabase(10)));
}
BENCHMARK(BM_StdSortOfThreeFieldKeys)->Unit(benchmark::kMillisecond);

void BM_SortByNumberAndDate(benchmark::State& state)
{
    SortBy(state, kByNumberAndDate);
}
BENCHMARK(BM_SortByNumberAndDate)->Unit(benchmark::kMillisecond);

void BM_StdSortOfNumberAndDateKeys(benchmark::State& state)
{
    StdSortOfKeys(state, kByNumberAndDate);
}
BENCHMARK(BM_StdSortOfNumberAndDateKeys)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace quorvil::bench
