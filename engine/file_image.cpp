#include "file_image.h"

#include "streams.h"

#if !defined(_WIN32)
#include <atomic>
#include <csignal>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quorvil {

#if !defined(_WIN32)

namespace {

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

#endif

std::unique_ptr<TFileImage> TFileImage::Read(TStream& stream)
{
    std::unique_ptr<TFileImage> image(new TFileImage());
    const uint64_t pos = stream.Position();
    const uint64_t size = stream.Size();
    const size_t count = size > pos ? size_t(size - pos) : 0;
    // Left uninitialised: the read fills it, so each page is touched once.
    image->buffer_ = TPageBuffer(count);
    image->size_ = stream.Read(image->buffer_.Data(), count);
    image->data_ = image->buffer_.Data();
    return image;
}

std::unique_ptr<TFileImage> TFileImage::Adopt(TPageBuffer buffer)
{
    std::unique_ptr<TFileImage> image(new TFileImage());
    image->buffer_ = std::move(buffer);
    image->size_ = image->buffer_.Size();
    image->data_ = image->buffer_.Data();
    return image;
}

std::unique_ptr<TFileImage> TFileImage::Map(TStream& stream)
{
#if defined(_WIN32)
    // A mapped file cannot be replaced there, which every save does.
    return Read(stream);
#else
    auto* file = dynamic_cast<TFileStream*>(&stream);
    if (!file)
        return Read(stream);
    file->Flush();
    struct stat st {};
    const uint64_t pos = file->Position();
    if (::fstat(int(file->Descriptor()), &st) != 0 || !S_ISREG(st.st_mode) || uint64_t(st.st_size) <= pos)
        return Read(stream);
    const size_t length = size_t(st.st_size);
    void* mapping = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, int(file->Descriptor()), 0);
    if (mapping == MAP_FAILED)
        return Read(stream);
    InstallBusErrorHandler();
    const int slot = TakeSlot(mapping, length);
    if (slot < 0) {
        ::munmap(mapping, length);
        return Read(stream);
    }
    std::unique_ptr<TFileImage> image(new TFileImage());
    image->mapping_ = mapping;
    image->mappingSize_ = length;
    image->slot_ = slot;
    image->data_ = static_cast<const uint8_t*>(mapping) + pos;
    image->size_ = size_t(length - pos);
    file->Seek(length);
    return image;
#endif
}

bool TFileImage::Cut() const
{
#if defined(_WIN32)
    return false;
#else
    return slot_ >= 0 && gSlots[slot_].cut.load();
#endif
}

TFileImage::~TFileImage()
{
#if !defined(_WIN32)
    if (mapping_) {
        FreeSlot(slot_);
        ::munmap(mapping_, mappingSize_);
    }
#endif
}

}  // namespace quorvil
