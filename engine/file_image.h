#pragma once
// The bytes of a database file as the reader and the records see them, with
// one owner: either a read-only mapping of the file or one buffer the file
// was read into, allocated once.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "page_buffer.h"
#include "system_memory.h"

namespace quorvil {

class TStream;

class TFileImage {
public:
    // Reads the stream from its position to its end into one buffer. Nothing
    // that happens to the file afterwards reaches the image.
    static std::unique_ptr<TFileImage> Read(TStream& stream);
    // Maps the file of `stream` read-only from the stream's position on.
    // Where it cannot be mapped (not a file stream, a file system without
    // mapping, a system where a mapped file cannot be replaced by a save) it
    // is read as by Read.
    //
    // A mapping keeps the old file's bytes when the file is replaced by a
    // rename (as every save does) or deleted. What another program that
    // ignores the lock writes into the file in place shows through; where it
    // cuts the file, the bytes past the new end read as zeros (instead of the
    // bus error the system raises) and Cut becomes true. Hence a database
    // kept open for editing is read (Read) rather than mapped.
    static std::unique_ptr<TFileImage> Map(TStream& stream);
    // Takes over bytes already in memory, for records built from
    // them rather than loaded (a CSV import cuts its records out of the
    // CSV file's buffer).
    static std::unique_ptr<TFileImage> Adopt(TPageBuffer buffer);

    ~TFileImage();
    TFileImage(const TFileImage&) = delete;
    TFileImage& operator=(const TFileImage&) = delete;

    const uint8_t* Data() const { return data_; }
    size_t Size() const { return size_; }
    bool Mapped() const { return mapping_ != nullptr; }
    // True once a read found that the mapped file had been cut short.
    bool Cut() const;

private:
    TFileImage() = default;

    TPageBuffer buffer_;
    std::unique_ptr<sys::TFileMapping> mapping_;
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace quorvil
