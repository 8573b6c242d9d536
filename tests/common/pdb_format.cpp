#include "pdb_format.h"

#include <algorithm>
#include <cstring>

namespace quorvil::pdbtest {

namespace {

void Put(Bytes& out, size_t at, const std::string& text, size_t room)
{
    std::copy_n(text.begin(), std::min(text.size(), room), out.begin() + long(at));
}

void Append(Bytes& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

char Letter(int f)
{
    return f <= 26 ? char('a' + f - 1) : char('A' + f - 27);
}

Bytes BuildBlock(const Database& db)
{
    const BlockOffsets& o = OffsetsOf(db.layout);
    Bytes block(o.size, 0);
    for (size_t i = 0; i < db.fields.size() && i < o.maxFields; ++i) {
        const Field& f = db.fields[i];
        Put(block, i * 21, f.name, 20);
        WriteU16(block, o.types + 2 * i, f.type);
        WriteU16(block, o.widths + 2 * i, f.width);
        if (db.layout != 0) {
            WriteU32(block, o.table1 + 4 * i, f.extra1);
            WriteU32(block, o.table2 + 4 * i, f.extra2);
        }
    }
    WriteU16(block, o.count, db.storedFieldCount.value_or(uint16_t(db.fields.size())));
    WriteU16(block, o.tag, db.layoutTag.value_or(db.layout == 0 ? 452 : 576));
    WriteU16(block, o.display, db.displayWidth);
    for (size_t k = 0; k < 3; ++k)
        WriteU16(block, o.sort + 2 * k, db.sortFields[k]);
    WriteU16(block, o.find, db.findField);
    WriteU16(block, o.filter, db.filterField);
    Put(block, o.findText, db.findText, 15);
    Put(block, o.filterText, db.filterText, 15);
    WriteU16(block, o.flags, db.flags);
    WriteU16(block, o.firstColumn, db.firstColumn);
    if (db.layout == 0)
        std::copy(db.extraText.begin(), db.extraText.end(), block.begin() + long(o.extraText));
    return block;
}

std::vector<std::string> ChunkTexts(const Database& db)
{
    std::vector<std::string> texts;
    for (const auto& [f, values] : db.popups) {
        texts.push_back(std::string("popup") + Letter(f));
        texts.insert(texts.end(), values.begin(), values.end());
    }
    if (db.layout < 2)
        return texts;
    for (const SavedSort& s : db.sorts) {
        texts.insert(texts.end(), {std::string("soort") + char('a' + s.slot - 1), s.name});
        for (long f : s.fields)
            texts.push_back(std::to_string(f));
    }
    for (const auto& [f, value] : db.defaults)
        texts.insert(texts.end(), {std::string("deflt") + Letter(f), value});
    for (const Filter& flt : db.filters) {
        texts.insert(texts.end(), {std::string("flllt") + char('a' + flt.slot - 1), flt.name});
        for (const std::string& v : flt.values)
            texts.push_back(v.empty() ? "-*-" : v);
        texts.push_back(std::to_string(flt.word));
        for (long c : flt.codes)
            texts.push_back(std::to_string(c));
    }
    return texts;
}

void PutHeader(Bytes& out, size_t base, const Database& db, uint32_t appInfoOffset)
{
    Put(out, base, db.title, 31);
    WriteU16(out, base + 32, db.attributes);
    WriteU16(out, base + 34, db.version);
    WriteU32(out, base + 36, db.created);
    WriteU32(out, base + 40, db.modified);
    WriteU32(out, base + 44, db.backedUp);
    WriteU32(out, base + 48, db.modificationNumber);
    WriteU32(out, base + 52, appInfoOffset);
    WriteU32(out, base + 56, db.sortInfoOffset);
    Put(out, base + 60, db.dbType.empty() ? DefaultDbType(db.layout) : db.dbType, 4);
    Put(out, base + 64, db.creator.empty() ? DefaultCreator(db.layout) : db.creator, 4);
    std::copy(db.uniqueIdSeed.begin(), db.uniqueIdSeed.end(), out.begin() + long(base + 68));
    std::copy(db.nextRecordListId.begin(), db.nextRecordListId.end(), out.begin() + long(base + 72));
    WriteU16(out, base + 76, uint16_t(db.records.size()));
}

}  // namespace

// Straight from the format's tables.
const BlockOffsets& OffsetsOf(int layout)
{
    static constexpr BlockOffsets kSmall{564, 20,  420, 460, 462, 464, 504, 506, 512,
                                         514, 516, 532, 548, 550, 552, 0,   0};
    static constexpr BlockOffsets kLarge{1702, 50,   1050, 1150, 1152, 1154, 1254, 1256, 1262,
                                         1264, 1266, 1282, 1298, 1300, 0,    1302, 1502};
    return layout == 0 ? kSmall : kLarge;
}

std::string DefaultCreator(int layout)
{
    return layout == 0 ? "JBas" : layout == 1 ? "JFil" : "JFi5";
}

std::string DefaultDbType(int layout)
{
    return layout <= 1 ? "JfDb" : "JfD5";
}

Bytes RecordBytes(const std::vector<std::string>& cells, int layout)
{
    Bytes out;
    if (layout != 0)
        for (const std::string& cell : cells) {
            out.push_back(uint8_t((cell.size() + 1) >> 8));
            out.push_back(uint8_t(cell.size() + 1));
        }
    for (const std::string& cell : cells)
        Append(out, cell);
    return out;
}

uint16_t ReadU16(const Bytes& image, size_t offset)
{
    if (offset + 2 > image.size())
        throw FormatError("u16 at " + std::to_string(offset) + " lies past the end");
    return uint16_t((image[offset] << 8) | image[offset + 1]);
}

uint32_t ReadU32(const Bytes& image, size_t offset)
{
    return (uint32_t(ReadU16(image, offset)) << 16) | ReadU16(image, offset + 2);
}

void WriteU16(Bytes& image, size_t offset, uint16_t v)
{
    image.at(offset) = uint8_t(v >> 8);
    image.at(offset + 1) = uint8_t(v);
}

void WriteU32(Bytes& image, size_t offset, uint32_t v)
{
    WriteU16(image, offset, uint16_t(v >> 16));
    WriteU16(image, offset + 2, uint16_t(v));
}

Bytes Build(const Database& db, const BuildOptions& options)
{
    const size_t base = options.baseOffset;
    Bytes out(base, 0xEE);
    out.resize(base + kHeaderSize + kEntrySize * db.records.size() + options.gapAfterRecordList, 0);
    const uint32_t appInfoOffset = uint32_t(out.size() - base);
    Bytes block = BuildBlock(db);
    out.insert(out.end(), block.begin(), block.end());

    std::vector<std::string> chunks = options.chunkTexts.value_or(ChunkTexts(db));
    for (const std::string& text : chunks)
        Append(out, text);
    out.insert(out.end(), chunks.empty() ? 4 : 1, 0);
    if (db.layout != 0) {
        Append(out, "EndJFileData");
        Append(out, "");
    }

    std::vector<uint32_t> offsets(db.records.size());
    for (size_t n = 0; n < db.records.size(); ++n) {
        size_t r = options.recordsInReverse ? db.records.size() - 1 - n : n;
        offsets[r] = uint32_t(out.size() - base);
        std::vector<std::string> cells = db.records[r].cells;
        cells.resize(db.storedFieldCount.value_or(uint16_t(db.fields.size())));
        Bytes data = RecordBytes(cells, db.layout);
        out.insert(out.end(), data.begin(), data.end());
    }

    PutHeader(out, base, db, appInfoOffset);
    for (size_t r = 0; r < db.records.size(); ++r) {
        size_t at = base + kHeaderSize + kEntrySize * r;
        WriteU32(out, at, offsets[r]);
        out[at + 4] = db.records[r].attributes;
        std::copy(db.records[r].uniqueId.begin(), db.records[r].uniqueId.end(), out.begin() + long(at + 5));
    }
    return out;
}

}  // namespace quorvil::pdbtest
