#pragma once
// The Palm database container: the file stream, the 78-byte header and the
// record list. Knows nothing of JFile.
#include "file_image.h"
#include "streams.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvil {

class ByteReader;

struct TPdbHeader {
    std::string Name;  // at most 31 characters
    uint16_t Attributes = 0;
    uint16_t Version = 0;
    uint32_t CreationDate = 0;
    uint32_t ModificationDate = 0;
    uint32_t LastBackupDate = 0;
    uint32_t ModificationNumber = 0;
    uint32_t AppInfoOffset = 0;
    uint32_t SortInfoOffset = 0;
    std::array<char, 4> DbType{};
    std::array<char, 4> Creator{};
    std::array<uint8_t, 4> UniqueIdSeed{};
    std::array<uint8_t, 4> NextRecordListId{};
    uint16_t RecordCount = 0;
};

struct REC_HDR {
    uint32_t DataOffset = 0;
    uint8_t RecAttributes = 0;
    std::array<uint8_t, 3> UniqueId{};
};

constexpr size_t kPdbHeaderSize = 78;
constexpr size_t kRecHdrSize = 8;

class TPalmPilotDB {
public:
    TPalmPilotDB() = default;
    virtual ~TPalmPilotDB();
    TPalmPilotDB(const TPalmPilotDB&) = delete;
    TPalmPilotDB& operator=(const TPalmPilotDB&) = delete;

    // Slot 0: header defaults of a new database.
    virtual void InitNew();
    // Slot 1: reads the database from Stream.
    virtual void Load();
    // Slot 2: resizes the record list (zero-filled new entries).
    virtual void SetRecordCount(uint16_t n);

    TPdbHeader PdbHeader;
    std::vector<REC_HDR> RecordList;
    uint32_t BaseOffset = 0;
    std::string FileName;

    uint16_t RecordCount() const { return PdbHeader.RecordCount; }
    std::string DbTypeText() const { return std::string(PdbHeader.DbType.data(), 4); }
    std::string CreatorText() const { return std::string(PdbHeader.Creator.data(), 4); }
    void SetDbType(const std::string& four);
    void SetCreator(const std::string& four);

    // The open file, or null for a database held only in memory.
    TFileStream* Stream() const { return stream_.get(); }

    // Gives the database its open file (CreateNew and Open do this).
    void AttachStream(std::unique_ptr<TFileStream> stream) { stream_ = std::move(stream); }

    // How loading holds the file's bytes, which the records refer to until
    // they are changed. Copy reads them into one buffer of the database's
    // own, so that nothing another program does to the file later reaches
    // the open database (the editor). Map maps the file, which costs less
    // than reading it: for a tool's brief read, where a file cut by another
    // program meanwhile may read as empty texts.
    enum class TImageSource { Copy, Map };
    TImageSource ImageSource = TImageSource::Copy;
    // The bytes the records were loaded from; null before loading.
    const TFileImage* Image() const { return image_.get(); }

protected:
    // Base part of loading from an image that starts at BaseOffset: header
    // and record list.
    void LoadContainer(ByteReader& in);
    void ReadHeader(ByteReader& in);
    // Writes the header at BaseOffset; the stream is left right after it.
    void WriteHeader(TStream& out) const;
    void WriteRecordList(TStream& out) const;

    std::unique_ptr<TFileStream> stream_;
    // Held here, below the records of a derived class, so that it outlives them.
    std::unique_ptr<TFileImage> image_;
};

}  // namespace quorvil
