// Writing a JFile database in the layout it has, and converting it between
// layouts.
#include "byte_io.h"
#include "errors.h"
#include "field_types.h"
#include "jfile.h"
#include "progress.h"
#include "record_pick.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quorvil {

namespace {

// The length of the text before its first NUL (its whole length when it
// holds none).
size_t TextBeforeNul(std::string_view text)
{
    const size_t n = text.size();
    bool clean = true;
    if (n < 8) {
        for (size_t i = 0; i < n && clean; ++i)
            clean = text[i] != '\0';
    } else {
        for (size_t i = 0; i + 8 <= n && clean; i += 8)
            clean = !ZeroLanes(LoadWord(text.data() + i));
        // The last word may overlap the one before it.
        clean = clean && !ZeroLanes(LoadWord(text.data() + n - 8));
    }
    return clean ? n : text.find('\0');
}

void WriteCString(TStream& out, std::string_view text)
{
    // A NUL inside a text would end it early and shift what follows.
    text = text.substr(0, TextBeforeNul(text));
    static const char nul = 0;
    out.Write(text.data(), text.size());
    out.Write(&nul, 1);
}

char FieldLetter(int f)
{
    if (f >= 1 && f <= 26)
        return char('a' + f - 1);
    if (f >= 27 && f <= 50)
        return char('A' + f - 27);
    return 'Z';
}

std::string Header(const char* tag, char letter)
{
    return std::string(tag) + letter;
}

}  // namespace

void TJFILE::Save(TStream& out)
{
    SaveRecords(out, [&](int r, std::array<std::string_view, kMaxSlots>& cells) {
        return records_[size_t(r - 1)].Texts(cells);
    });
    // Only a save of the database's own records saves its changes.
    modified_ = false;
}

void TJFILE::Save(TStream& out, const TRecordPick& records)
{
    // The header and the record list count the picked records while they are
    // written, and the database's own again afterwards.
    TPalmPilotDB::SetRecordCount(uint16_t(records.Count()));
    try {
        SaveRecords(out, [&](int i, std::array<std::string_view, kMaxSlots>& cells) {
            bool nulFree = false;
            records.Cells(i, cells, &nulFree);
            return nulFree;
        });
    } catch (...) {
        TPalmPilotDB::SetRecordCount(uint16_t(records_.size()));
        throw;
    }
    TPalmPilotDB::SetRecordCount(uint16_t(records_.size()));
}

void TJFILE::SaveRecords(TStream& out, const TCellsOf& cellsOf)
{
    if (!appInfo_)
        throw EStreamError("The database has no field definitions to save.");
    appInfo_->SetLayoutTag(Facts(layout_).LayoutTag);

    WriteHeader(out);
    WriteRecordList(out);
    uint64_t pos = out.Position() - BaseOffset;
    static const uint8_t zeros[4] = {};
    out.Write(zeros, size_t((4 - pos % 4) % 4));
    PdbHeader.AppInfoOffset = uint32_t(out.Position() - BaseOffset);
    WriteHeader(out);
    out.Seek(BaseOffset + PdbHeader.AppInfoOffset);
    appInfo_->SaveToStream(out);

    // In memory only: the block is written; the file gets these types at the
    // next save.
    for (int f = 1; f <= FieldCount(); ++f)
        if (appInfo_->GetFieldType(f) == TFieldType::New)
            appInfo_->SetFieldType(f, TFieldType::String);
    WriteChunks(out);
    if (Facts(layout_).EndMark) {
        WriteCString(out, "EndJFileData");
        WriteCString(out, "");
    }
    WriteRecords(out, cellsOf);
    WriteHeader(out);
    WriteRecordList(out);
}

void TJFILE::WriteChunks(TStream& out)
{
    bool any = false;
    for (int f = 1; f <= FieldCount(); ++f) {
        int count = PopupCount(f);
        if (count == 0)
            continue;
        appInfo_->SetFieldType(f, TFieldType::List);
        WriteCString(out, Header("popup", FieldLetter(f)));
        for (int k = 1; k <= count; ++k)
            WriteCString(out, popupLists_[size_t(f - 1)]->Field(k));
        any = true;
    }
    if (Facts(layout_).SavedSettings) {
        for (int s = 1; s <= 5; ++s) {
            const TSavedSort& sort = savedSorts_[size_t(s - 1)];
            if (sort.Name.empty())
                continue;
            WriteCString(out, Header("soort", char('a' + s - 1)));
            WriteCString(out, sort.Name);
            for (uint16_t field : sort.Fields)
                WriteCString(out, std::to_string(field));
            any = true;
        }
        for (int f = 1; f <= kMaxSlots; ++f) {
            if (defaults_[size_t(f - 1)].empty())
                continue;
            WriteCString(out, Header("deflt", FieldLetter(f)));
            WriteCString(out, defaults_[size_t(f - 1)]);
            any = true;
        }
        for (int s = 1; s <= 5; ++s) {
            const FilterRec& rec = filters_[size_t(s - 1)];
            if (rec.FilterName.empty())
                continue;
            WriteCString(out, Header("flllt", char('a' + s - 1)));
            WriteCString(out, rec.FilterName);
            for (const std::string& value : rec.FilterValues)
                WriteCString(out, value.empty() ? std::string("-*-") : value);
            WriteCString(out, std::to_string(rec.FilterWord));
            for (int8_t code : rec.FilterCodes)
                WriteCString(out, std::to_string(int(code) - 1));
            any = true;
        }
    }
    for (int i = any ? 1 : 4; i > 0; --i)
        WriteCString(out, "");
}

void TJFILE::WriteRecords(TStream& out, const TCellsOf& cellsOf)
{
    const size_t longest = Facts(layout_).LongestValue;
    const bool lengthTable = Facts(layout_).LengthTable;
    const size_t fields = size_t(FieldCount());
    // Records gather in one block that goes to the stream in large writes,
    // so that each byte is copied once on its way to the file.
    constexpr size_t kBlockSize = 1 << 20;
    std::vector<uint8_t> block(kBlockSize);
    size_t used = 0;
    uint64_t blockStart = out.Position() - BaseOffset;
    auto flush = [&] {
        out.Write(block.data(), used);
        blockStart += used;
        used = 0;
    };
    std::array<std::string_view, kMaxSlots> texts;
    for (int r = 1; r <= RecordCount(); ++r) {
        ReportProgress(r, RecordCount());
        // All cells of the record in one pass over it.
        const bool nulFree = cellsOf(r, texts);
        size_t size = lengthTable ? 2 * fields : 0;
        for (size_t f = 0; f < fields; ++f) {
            texts[f] = texts[f].substr(0, std::min(nulFree ? texts[f].size() : TextBeforeNul(texts[f]), longest));
            size += texts[f].size() + 1;
        }
        if (used + size > block.size()) {
            flush();
            if (size > block.size())
                block.resize(size);
        }
        REC_HDR& entry = RecordList[size_t(r - 1)];
        const uint64_t offset = blockStart + used;
        // The record list holds 32-bit offsets; a larger file would be written corrupt.
        if (offset > UINT32_MAX)
            throw EStreamError("The records take more than 4 GB; a database file cannot hold them.");
        entry.DataOffset = uint32_t(offset);
        entry.RecAttributes = 0x40;
        entry.UniqueId = {};
        uint8_t* to = block.data() + used;
        if (lengthTable) {
            for (size_t f = 0; f < fields; ++f, to += 2)
                PutU16BE(to, uint16_t(texts[f].size() + 1));
        }
        for (size_t f = 0; f < fields; ++f) {
            // An empty view may carry a null pointer, which memcpy must not get.
            if (!texts[f].empty())
                std::memcpy(to, texts[f].data(), texts[f].size());
            to += texts[f].size();
            *to++ = 0;
        }
        used = size_t(to - block.data());
    }
    flush();
}

void TJFILE::SaveWithName(const std::string& title)
{
    if (!Stream())
        throw EStreamError("The database has no file to save into.");
    if (!Stream()->Writable())
        throw EStreamError(ReadOnlyFileMessage(Stream()->FileName()));
    PdbHeader.Name = title.substr(0, 31);
    bool wasModified = modified_;
    try {
        TFileStream* old = Stream();
        auto replaced = TFileStream::ReplaceFile(
            old->FileName(),
            [&](TFileStream& temp) {
                // Bytes before the database (a file that does not start with it) stay.
                if (BaseOffset > 0) {
                    std::vector<uint8_t> prefix(BaseOffset);
                    old->Seek(0);
                    prefix.resize(old->Read(prefix.data(), prefix.size()));
                    prefix.resize(BaseOffset, 0);
                    temp.Write(prefix.data(), prefix.size());
                }
                Save(temp);
                temp.Flush();
            },
            TFileStream::Durability::Synced, old);
        AttachStream(std::move(replaced));
        // The file now holds the whole database: it no longer ends early.
        loadWarning_.clear();
        loadDamage_ = {};
    } catch (...) {
        modified_ = wasModified;
        throw;
    }
}

// --- Layout conversion -----------------------------------------------------

void TJFILE::ConvertLayout(TLayout newLayout)
{
    if (newLayout == layout_)
        return;
    if (Facts(newLayout).HeaderFlags)
        ConvertToNewLayout(newLayout);
    else
        ConvertToOldLayout(newLayout);
    layout_ = newLayout;
    Changed();
}

namespace {

// Copies the definitions into a new block; the block's own setters apply its
// rules (no international date before 5.5, widths of at least 20 before 5.x).
void CopyDefinitions(const TJFILE& db, TAppInfo& block, int fieldCount, int maxFieldRef)
{
    block.SetFieldCount(fieldCount);
    for (int f = 1; f <= fieldCount; ++f) {
        block.SetFieldName(f, db.GetFieldName(f));
        block.SetFieldType(f, db.GetFieldType(f));
        block.SetColumnWidth(f, int16_t(db.GetColumnWidth(f)));
    }
    block.SetDisplayWidth(uint16_t(db.DisplayWidth()));
    for (int k = 1; k <= 3; ++k)
        block.SetSortField(k, uint16_t(std::min(db.GetSortField(k), maxFieldRef)));
    block.SetFindField(uint16_t(std::min(db.FindField(), maxFieldRef)));
    block.SetFilterField(uint16_t(std::min(db.FilterField(), maxFieldRef)));
    block.SetFindText(db.FindText());
    block.SetFilterText(db.FilterText());
}

}  // namespace

void TJFILE::ConvertToOldLayout(TLayout newLayout)
{
    const TLayoutFacts& facts = Facts(newLayout);
    int category = Category();
    bool readOnly = ReadOnly();
    int oldCount = FieldCount();
    int count = std::min(oldCount, facts.MaxFields);
    std::unique_ptr<TAppInfo> block = MakeAppInfo(newLayout);
    if (newLayout == TLayout::JFile3) {
        // Field references are kept within the fields that remain.
        CopyDefinitions(*this, *block, count, count);
        block->SetFirstColumn(uint16_t(std::min(FirstColumn(), count)));
        block->SetExtraText("");
    } else {
        CopyDefinitions(*this, *block, count, oldCount);
        block->SetFirstColumn(uint16_t(FirstColumn()));
    }
    block->SetLayoutTag(facts.LayoutTag);
    // JFile's own flags word, never the Palm header's attributes.
    block->SetFlags(uint16_t((category << 12) | (readOnly ? 2 : 0)));
    SetCreator(facts.Creator);
    SetDbType(facts.DbType);
    appInfo_ = std::move(block);
}

void TJFILE::ConvertToNewLayout(TLayout newLayout)
{
    if (Facts(layout_).HeaderFlags)
        return;  // 5.x and 5.5 share the block; only the longest text differs
    const TLayoutFacts& facts = Facts(newLayout);
    int category = Category();
    bool readOnly = ReadOnly();
    // The 5.x formats keep category and read-only flag in the header's
    // Version word, with hex 0800 marking the 5.x format.
    PdbHeader.Version = uint16_t((PdbHeader.Version & 0x03FF) | (category << 12) | 0x0800 | (readOnly ? 0x0400 : 0));
    std::unique_ptr<TAppInfo> block = MakeAppInfo(newLayout);
    int oldCount = FieldCount();
    CopyDefinitions(*this, *block, std::min(oldCount, facts.MaxFields), oldCount);
    block->SetLayoutTag(facts.LayoutTag);
    block->SetFirstColumn(uint16_t(FirstColumn()));
    SetDbType(facts.DbType);
    SetCreator(facts.Creator);
    appInfo_ = std::move(block);
}

}  // namespace quorvil
