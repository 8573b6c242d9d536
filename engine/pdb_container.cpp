#include "pdb_container.h"

#include "byte_io.h"
#include "date_arith.h"

#include <algorithm>

namespace quorvil {

TPalmPilotDB::~TPalmPilotDB() = default;

void TPalmPilotDB::InitNew()
{
    BaseOffset = 0;
    PdbHeader = TPdbHeader{};
    RecordList.clear();
    uint32_t now;
    {
        EpochYearScope epoch(1904);
        now = NowSeconds();
    }
    PdbHeader.CreationDate = now;
    PdbHeader.ModificationDate = now;
    PdbHeader.Attributes = 8;
    PdbHeader.Version = 1;
    PdbHeader.ModificationNumber = 2287;
}

void TPalmPilotDB::Load()
{
    std::vector<uint8_t> image = stream_ ? stream_->ReadRest() : std::vector<uint8_t>{};
    ByteReader in(image.data(), image.size());
    LoadContainer(in);
}

void TPalmPilotDB::LoadContainer(ByteReader& in)
{
    ReadHeader(in);
    RecordList.assign(PdbHeader.RecordCount, REC_HDR{});
    in.Seek(kPdbHeaderSize);
    for (REC_HDR& entry : RecordList) {
        uint8_t raw[kRecHdrSize];
        in.ReadInto(raw, sizeof raw);
        entry.DataOffset = GetU32BE(raw);
        entry.RecAttributes = raw[4];
        std::copy(raw + 5, raw + 8, entry.UniqueId.begin());
    }
}

void TPalmPilotDB::ReadHeader(ByteReader& in)
{
    uint8_t raw[kPdbHeaderSize];
    in.Seek(0);
    in.ReadInto(raw, sizeof raw);
    size_t len = 0;
    while (len < 31 && raw[len] != 0)
        ++len;
    PdbHeader.Name.assign(reinterpret_cast<const char*>(raw), len);
    PdbHeader.Attributes = GetU16BE(raw + 32);
    PdbHeader.Version = GetU16BE(raw + 34);
    PdbHeader.CreationDate = GetU32BE(raw + 36);
    PdbHeader.ModificationDate = GetU32BE(raw + 40);
    PdbHeader.LastBackupDate = GetU32BE(raw + 44);
    PdbHeader.ModificationNumber = GetU32BE(raw + 48);
    PdbHeader.AppInfoOffset = GetU32BE(raw + 52);
    PdbHeader.SortInfoOffset = GetU32BE(raw + 56);
    std::copy(raw + 60, raw + 64, PdbHeader.DbType.begin());
    std::copy(raw + 64, raw + 68, PdbHeader.Creator.begin());
    std::copy(raw + 68, raw + 72, PdbHeader.UniqueIdSeed.begin());
    std::copy(raw + 72, raw + 76, PdbHeader.NextRecordListId.begin());
    PdbHeader.RecordCount = GetU16BE(raw + 76);
}

void TPalmPilotDB::WriteHeader(TStream& out) const
{
    uint8_t raw[kPdbHeaderSize] = {};
    size_t len = std::min<size_t>(PdbHeader.Name.size(), 31);
    std::copy_n(PdbHeader.Name.data(), len, raw);
    PutU16BE(raw + 32, PdbHeader.Attributes);
    PutU16BE(raw + 34, PdbHeader.Version);
    PutU32BE(raw + 36, PdbHeader.CreationDate);
    PutU32BE(raw + 40, PdbHeader.ModificationDate);
    PutU32BE(raw + 44, PdbHeader.LastBackupDate);
    PutU32BE(raw + 48, PdbHeader.ModificationNumber);
    PutU32BE(raw + 52, PdbHeader.AppInfoOffset);
    PutU32BE(raw + 56, PdbHeader.SortInfoOffset);
    std::copy(PdbHeader.DbType.begin(), PdbHeader.DbType.end(), raw + 60);
    std::copy(PdbHeader.Creator.begin(), PdbHeader.Creator.end(), raw + 64);
    std::copy(PdbHeader.UniqueIdSeed.begin(), PdbHeader.UniqueIdSeed.end(), raw + 68);
    std::copy(PdbHeader.NextRecordListId.begin(), PdbHeader.NextRecordListId.end(), raw + 72);
    PutU16BE(raw + 76, PdbHeader.RecordCount);
    out.Seek(BaseOffset);
    out.Write(raw, sizeof raw);
}

void TPalmPilotDB::WriteRecordList(TStream& out) const
{
    std::vector<uint8_t> raw(RecordList.size() * kRecHdrSize);
    uint8_t* p = raw.data();
    for (const REC_HDR& entry : RecordList) {
        PutU32BE(p, entry.DataOffset);
        p[4] = entry.RecAttributes;
        std::copy(entry.UniqueId.begin(), entry.UniqueId.end(), p + 5);
        p += kRecHdrSize;
    }
    out.Write(raw.data(), raw.size());
}

void TPalmPilotDB::SetRecordCount(uint16_t n)
{
    if (n == PdbHeader.RecordCount)
        return;
    RecordList.resize(n, REC_HDR{});
    PdbHeader.RecordCount = n;
}

void TPalmPilotDB::SetDbType(const std::string& four)
{
    for (size_t i = 0; i < 4; ++i)
        PdbHeader.DbType[i] = i < four.size() ? four[i] : ' ';
}

void TPalmPilotDB::SetCreator(const std::string& four)
{
    for (size_t i = 0; i < 4; ++i)
        PdbHeader.Creator[i] = i < four.size() ? four[i] : ' ';
}

}  // namespace quorvil
