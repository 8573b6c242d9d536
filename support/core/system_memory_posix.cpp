#include "system_memory.h"

#include <atomic>
#include <csignal>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvil::sys {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

// The live mappings, where the bus-error handler can find them without a
// lock. `end` is set after `begin` and cleared before it, so a slot being
// filled or emptied never matches an address.
struct MappingSlot {
    std::atomic<uintptr_t> begin{0};
    std::atomic<uintptr_t> end{0};
    std::atomic<bool> cut{false};
    std::atomic<bool> taken{false};
};

constexpr int kMappingSlots = 64;
MappingSlot gSlots[kMappingSlots];
uintptr_t gPageSize = 4096;
struct sigaction gPrevious {};

// A read of a mapped page that the file no longer has (another program cut
// the file) raises SIGBUS. The pages from there to the end of the mapping
// are replaced by zeros instead, which every reader takes as the end of the
// texts, and the image is marked as cut.
void OnBusError(int signal, siginfo_t* info, void* context)
{
    const auto at = reinterpret_cast<uintptr_t>(info->si_addr);
    for (MappingSlot& slot : gSlots) {
        const uintptr_t begin = slot.begin.load();
        const uintptr_t end = slot.end.load();
        if (begin == 0 || at < begin || at >= end)
            continue;
        const uintptr_t page = at & ~(gPageSize - 1);
        void* zeros = ::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros != MAP_FAILED) {
            slot.cut.store(true);
            return;
        }
    }
    if ((gPrevious.sa_flags & SA_SIGINFO) && gPrevious.sa_sigaction) {
        gPrevious.sa_sigaction(signal, info, context);
    } else if (gPrevious.sa_handler != SIG_DFL && gPrevious.sa_handler != SIG_IGN) {
        gPrevious.sa_handler(signal);
    } else {
        // Not a mapping of ours: the fault repeats and ends the program as
        // it would have without this handler.
        ::signal(signal, SIG_DFL);
    }
}

void InstallBusErrorHandler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        gPageSize = uintptr_t(::sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &gPrevious);
    });
}

// A free slot for a mapping of `size` bytes at `start`; -1 when all are taken.
int TakeSlot(const void* start, size_t size)
{
    for (int i = 0; i < kMappingSlots; ++i) {
        bool expected = false;
        if (gSlots[i].taken.compare_exchange_strong(expected, true)) {
            gSlots[i].cut.store(false);
            gSlots[i].begin.store(reinterpret_cast<uintptr_t>(start));
            gSlots[i].end.store(reinterpret_cast<uintptr_t>(start) + size);
            return i;
        }
    }
    return -1;
}

void FreeSlot(int i)
{
    gSlots[i].end.store(0);
    gSlots[i].begin.store(0);
    gSlots[i].taken.store(false);
}

}  // namespace

std::uint8_t* AllocatePages(std::size_t size, std::size_t& length)
{
    // Huge pages only come in aligned blocks, so the block is cut out of a
    // slightly larger mapping at a huge-page boundary.
    length = (size + kHugePage - 1) / kHugePage * kHugePage;
    void* block = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return nullptr;
    auto* raw = static_cast<std::uint8_t*>(block);
    const uintptr_t at = reinterpret_cast<uintptr_t>(raw);
    std::uint8_t* aligned = raw + ((kHugePage - at % kHugePage) % kHugePage);
    if (aligned > raw)
        ::munmap(raw, std::size_t(aligned - raw));
    const std::size_t tail = std::size_t(raw + length + kHugePage - (aligned + length));
    if (tail > 0)
        ::munmap(aligned + length, tail);
#if defined(MADV_HUGEPAGE)
    ::madvise(aligned, length, MADV_HUGEPAGE);  // a hint: refused is fine
#endif
    return aligned;
}

void FreePages(std::uint8_t* data, std::size_t length)
{
    ::munmap(data, length);
}

std::unique_ptr<TFileMapping> TFileMapping::Map(FileHandle file, std::uint64_t from)
{
    struct stat st {};
    if (::fstat(int(file), &st) != 0 || !S_ISREG(st.st_mode) || std::uint64_t(st.st_size) <= from)
        return nullptr;
    const std::size_t length = std::size_t(st.st_size);
    void* mapping = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, int(file), 0);
    if (mapping == MAP_FAILED)
        return nullptr;
    InstallBusErrorHandler();
    const int slot = TakeSlot(mapping, length);
    if (slot < 0) {
        ::munmap(mapping, length);
        return nullptr;
    }
    std::unique_ptr<TFileMapping> m(new TFileMapping());
    m->data_ = mapping;
    m->size_ = length;
    m->slot_ = slot;
    return m;
}

TFileMapping::~TFileMapping()
{
    FreeSlot(slot_);
    ::munmap(data_, size_);
}

bool TFileMapping::Cut() const
{
    return gSlots[slot_].cut.load();
}

void KeepFreedBlocks()
{
#if defined(__GLIBC__)
    constexpr int kMapAbove = 32 << 20;
    mallopt(M_MMAP_THRESHOLD, kMapAbove);
    mallopt(M_TRIM_THRESHOLD, 2 * kMapAbove);
#endif
}

}  // namespace quorvil::sys
