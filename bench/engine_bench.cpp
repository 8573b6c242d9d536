// Load and save of the large database beside the cost of reading its bytes.
// Targets: load and save each at most 5 times the baseline; peak memory
// while the database is open under 3 times the file's size.
#include "bench_data.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvil::bench {

namespace {

void BM_ReadFileBytes(benchmark::State& state)
{
    const std::string& path = LargeDatabaseFile();
    size_t bytes = 0;
    for (auto _ : state)
        bytes = ReadWholeFile(path);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state)
{
    const std::string& path = LargeDatabaseFile();
    for (auto _ : state) {
        auto db = Open(path);
        benchmark::DoNotOptimize(db->RecordCount());
    }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state)
{
    auto db = Open(LargeDatabaseFile());
    std::string out = LargeDatabaseFile() + ".saved";
    for (auto _ : state) {
        TFileStream file(out, TFileStream::Mode::CreateOrOpen);
        db->Save(file);
        file.Flush();
    }
    std::remove(out.c_str());
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

// Peak resident memory of a child process that opens the database, as a
// multiple of the file's size.
void BM_PeakMemoryWhileOpen(benchmark::State& state)
{
    const std::string& path = LargeDatabaseFile();
    double ratio = 0;
    for (auto _ : state) {
        pid_t child = fork();
        if (child == 0) {
            auto db = Open(path);
            _exit(db->RecordCount() > 0 ? 0 : 1);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        size_t size = ReadWholeFile(path);
        ratio = double(usage.ru_maxrss) * 1024.0 / double(size);
    }
    state.counters["peak_over_file_size"] = ratio;
}
BENCHMARK(BM_PeakMemoryWhileOpen)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace quorvil::bench
