#pragma once
// Byte streams for the engine: an in-memory stream and a file stream that
// holds an advisory lock, plus the crash-safe replacement of a file.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "system_file.h"

namespace quorvil {

class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to count bytes; returns how many were read (short at the end).
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Writes all bytes or throws EStreamError.
    virtual void Write(const void* buffer, size_t count) = 0;
    virtual void Seek(uint64_t position) = 0;
    virtual uint64_t Position() const = 0;
    virtual uint64_t Size() const = 0;
    // Reads everything from the current position to the end.
    std::vector<uint8_t> ReadRest();
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}
    size_t Read(void* buffer, size_t count) override;
    void Write(const void* buffer, size_t count) override;
    void Seek(uint64_t position) override { pos_ = position; }
    uint64_t Position() const override { return pos_; }
    uint64_t Size() const override { return data_.size(); }
    const std::vector<uint8_t>& Bytes() const { return data_; }
    std::vector<uint8_t>& Bytes() { return data_; }

private:
    std::vector<uint8_t> data_;
    uint64_t pos_ = 0;
};

// A file open for reading and writing, locked against other writers for as
// long as the object lives. Writes go through a buffer of its own.
class TFileStream : public TStream {
public:
    // ReadOnly takes no lock: a file is only ever replaced whole, so a reader
    // sees a complete version even while another program has it open.
    // OpenExisting opens a file that may be read but not replaced (its own
    // permissions, a write-protected folder or medium) for reading, with a
    // lock that other readers share; Writable() then tells.
    enum class Mode { OpenExisting, CreateOrOpen, ReadOnly };
    // Throws EStreamError when the file cannot be opened or is in use.
    TFileStream(const std::string& fileName, Mode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    size_t Read(void* buffer, size_t count) override;
    void Write(const void* buffer, size_t count) override;
    void Seek(uint64_t position) override;
    uint64_t Position() const override { return pos_; }
    uint64_t Size() const override;
    const std::string& FileName() const { return fileName_; }
    // False when the file was opened for reading only: a new version of it
    // could not be written in its place.
    bool Writable() const { return writable_; }
    // The operating system's handle of the open file (to map it).
    sys::FileHandle Descriptor() const { return file_; }
    // True when `path` names the very file this stream holds: nothing has
    // been put in its place since (a rename over it, another program).
    bool IsFileAt(const std::string& path) const;

    // Writes pending bytes to the file (not necessarily to the disk).
    void Flush();
    // Flushes and forces the file's data to the disk.
    void Sync();
    void Truncate(uint64_t size);

    // Synced: the new version is on the disk before it replaces the old one,
    // so not even a power failure loses both. Unsynced: the replacement is
    // still all-or-nothing for the program (a crash or kill leaves the old or
    // the new file), which is enough for files that can be written again.
    enum class Durability { Synced, Unsynced };

    // Writes a complete new version of `target` crash-safely: `writer` fills a
    // locked temporary file in the same directory, which is renamed over the
    // target. On any failure the target is untouched and the exception passes
    // on; errors name the target. Temporary files that earlier, killed
    // replacements left beside the target are removed once it is replaced.
    // Returns the stream of the new file, still locked.
    // A target that a locked stream holds (a database open in the editor) is
    // refused before anything is written, unless that stream is `holder`,
    // the caller's own: its holder would go on showing, and at its next save
    // write back, a file that is gone.
    template <class Writer>
    static std::unique_ptr<TFileStream> ReplaceFile(const std::string& target, Writer&& writer,
                                                    Durability durability = Durability::Synced,
                                                    const TFileStream* holder = nullptr)
    {
        CheckNotHeld(target, holder);
        std::unique_ptr<TFileStream> temp = CreateTemporaryBeside(target);
        try {
            writer(*temp);
            temp->CommitOver(target, durability);
        } catch (...) {
            temp->Discard();
            throw;
        }
        return temp;
    }

private:
    TFileStream() = default;
    static void CheckNotHeld(const std::string& target, const TFileStream* holder);
    static std::unique_ptr<TFileStream> CreateTemporaryBeside(const std::string& target);
    void CommitOver(const std::string& target, Durability durability);
    void Discard();
    void FlushBuffer();
    void WriteAt(const uint8_t* data, size_t count, uint64_t position);

    sys::FileHandle file_ = sys::kNoFile;
    std::string fileName_;  // the name messages give: the target for a temporary file
    std::string diskName_;  // the name on disk
    uint64_t pos_ = 0;
    std::vector<uint8_t> wbuf_;
    uint64_t wbufStart_ = 0;
    bool writable_ = true;
};

}  // namespace quorvil
