#include "json_export.h"

#include "byte_io.h"
#include "charset.h"
#include "database_charset.h"
#include "export.h"
#include "jfile.h"
#include "latin1.h"
#include "layout.h"
#include "progress.h"
#include "streams.h"
#include "text_writers.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string_view>

namespace quorvil {

using nlohmann::ordered_json;

namespace {

// The fields to write, and where each field of the database lands among
// them (0 for one left out, the first place for one listed twice).
struct TFieldPlaces {
    std::vector<int> Fields;
    std::vector<int> PlaceOf;  // index: field number
    bool Identity = true;      // every field, in field order

    TFieldPlaces(const TJFILE& db, const std::vector<int>& fields) : PlaceOf(size_t(db.FieldCount()) + 1, 0)
    {
        for (const int f : fields) {
            if (f < 1 || f > db.FieldCount())
                continue;
            Fields.push_back(f);
            if (PlaceOf[size_t(f)] == 0)
                PlaceOf[size_t(f)] = int(Fields.size());
            Identity = Identity && f == int(Fields.size());
        }
        Identity = Identity && int(Fields.size()) == db.FieldCount();
    }
    // A field number as the database stores it, renumbered; numbers beyond
    // the fields (a file may hold them) stay as they are when every field is
    // written in order, so that form stays the database's own.
    int Renumbered(int f) const
    {
        if (f >= 1 && f < int(PlaceOf.size()))
            return PlaceOf[size_t(f)];
        return Identity ? f : 0;
    }
};

// A text of the database in JSON: its characters in `set`, or without one
// each byte as the code point of its number, the form `create` reads back.
std::string JsonText(std::string_view bytes, std::optional<TCharset> set)
{
    return set ? CharsetToUtf8(*set, bytes) : BytesToUtf8(bytes);
}

ordered_json TextArray(const std::vector<std::string>& texts, std::optional<TCharset> set)
{
    ordered_json array = ordered_json::array();
    for (const auto& t : texts)
        array.push_back(JsonText(t, set));
    return array;
}

ordered_json FieldJson(const TJFILE& db, int f, std::optional<TCharset> set)
{
    std::vector<std::string> popup;
    for (int k = 1; k <= db.PopupCount(f); ++k)
        popup.push_back(db.GetPopupItem(f, k));
    ordered_json field;
    field["name"] = JsonText(db.GetFieldName(f), set);
    field["type"] = Code(db.GetFieldType(f));
    field["type_name"] = db.GetFieldTypeName(f);
    field["width"] = db.GetColumnWidth(f);
    field["popup"] = TextArray(popup, set);
    field["default"] = JsonText(db.GetDefault(f), set);
    return field;
}

ordered_json SavedSortsJson(const TJFILE& db, const TFieldPlaces& places, std::optional<TCharset> set)
{
    ordered_json sorts = ordered_json::array();
    for (int s = 1; s <= 5; ++s) {
        if (db.GetSavedSortName(s).empty())
            continue;
        ordered_json sort;
        sort["slot"] = s;
        sort["name"] = JsonText(db.GetSavedSortName(s), set);
        sort["fields"] = {places.Renumbered(db.GetSavedSortField(s, 1)), places.Renumbered(db.GetSavedSortField(s, 2)),
                          places.Renumbered(db.GetSavedSortField(s, 3))};
        sorts.push_back(sort);
    }
    return sorts;
}

ordered_json FiltersJson(const TJFILE& db, std::optional<TCharset> set)
{
    ordered_json filters = ordered_json::array();
    for (int s = 1; s <= 5; ++s) {
        FilterRec rec = db.GetFilter(s);
        if (rec.FilterName.empty())
            continue;
        ordered_json filter;
        filter["slot"] = s;
        filter["name"] = JsonText(rec.FilterName, set);
        filter["values"] = TextArray({rec.FilterValues.begin(), rec.FilterValues.end()}, set);
        filter["word"] = rec.FilterWord;
        ordered_json codes = ordered_json::array();
        for (int8_t code : rec.FilterCodes)
            codes.push_back(int(code));
        filter["codes"] = codes;
        filters.push_back(filter);
    }
    return filters;
}

ordered_json RecordsJson(const TJFILE& db, const std::vector<int>& fields, std::optional<TCharset> set)
{
    ordered_json records = ordered_json::array();
    for (int r = 1; r <= db.RecordCount(); ++r) {
        ordered_json row = ordered_json::array();
        for (const int f : fields)
            row.push_back(JsonText(db.CellView(r, f), set));
        records.push_back(std::move(row));
        ReportProgress(r, db.RecordCount());
    }
    return records;
}

}  // namespace

ordered_json DatabaseToJson(const TJFILE& db, bool withRecords, std::optional<TCharset> set)
{
    return DatabaseToJson(db, AllFields(db), withRecords, set);
}

ordered_json DatabaseToJson(const TJFILE& db, const std::vector<int>& fields, bool withRecords,
                            std::optional<TCharset> set)
{
    const TFieldPlaces places(db, fields);
    ordered_json j;
    j["title"] = JsonText(db.PdbHeader.Name, set);
    j["layout"] = Number(db.Layout());
    j["creator"] = BytesToUtf8(db.CreatorText());
    j["db_type"] = BytesToUtf8(db.DbTypeText());
    j["attributes"] = db.PdbHeader.Attributes;
    j["version"] = db.PdbHeader.Version;
    j["category"] = db.Category();
    j["read_only"] = db.ReadOnly();
    j["record_count"] = db.RecordCount();
    j["field_count"] = places.Fields.size();
    ordered_json fieldList = ordered_json::array();
    for (const int f : places.Fields)
        fieldList.push_back(FieldJson(db, f, set));
    j["fields"] = fieldList;
    j["sort_fields"] = {places.Renumbered(db.GetSortField(1)), places.Renumbered(db.GetSortField(2)),
                        places.Renumbered(db.GetSortField(3))};
    j["find_field"] = places.Renumbered(db.FindField());
    j["find_text"] = JsonText(db.FindText(), set);
    j["filter_field"] = places.Renumbered(db.FilterField());
    j["filter_text"] = JsonText(db.FilterText(), set);
    j["first_column"] = places.Renumbered(db.FirstColumn());
    j["display_width"] = db.DisplayWidth();
    j["saved_sorts"] = SavedSortsJson(db, places, set);
    j["filters"] = FiltersJson(db, set);
    // Which multi-byte set the texts seem to be in, as the editor suggests it.
    const std::optional<TCharset> guess = GuessCharset(db);
    j["charsetGuess"] = guess ? ordered_json(CharsetName(*guess)) : ordered_json(nullptr);
    if (withRecords)
        j["records"] = RecordsJson(db, places.Fields, set);
    return j;
}

namespace {

// True when every byte of `bytes` stands in a JSON text as it is: printable
// ASCII other than the quote and the backslash. Eight bytes at a time, as
// nearly every cell is such a text.
bool PlainJsonText(std::string_view bytes)
{
    static constexpr std::array<bool, 256> kPlain = [] {
        std::array<bool, 256> plain{};
        for (int c = 0x20; c < 0x80; ++c)
            plain[size_t(c)] = c != '"' && c != '\\';
        return plain;
    }();
    const char* p = bytes.data();
    const size_t n = bytes.size();
    if (n < 8) {
        for (size_t i = 0; i < n; ++i)
            if (!kPlain[static_cast<unsigned char>(p[i])])
                return false;
        return true;
    }
    auto plainWord = [](const char* at) {
        const uint64_t w = LoadWord(at);
        const uint64_t control = (w - 0x20 * kLaneOnes) & ~w & kLaneHighs;
        return ((w & kLaneHighs) | control | LanesEqual(w, '"') | LanesEqual(w, '\\')) == 0;
    };
    for (size_t i = 0; i + 8 <= n; i += 8)
        if (!plainWord(p + i))
            return false;
    // The last word may overlap the one before it.
    return plainWord(p + n - 8);
}

// True when no byte of a record's texts, NULs aside, needs escaping: then
// none of its cells does. Sixteen bytes at a time (one unsigned compare
// finds both a control byte and one beyond ASCII); false where the compiler
// has no vectors or the span is short, and the cells are looked at one by
// one.
bool PlainJsonRecord(std::string_view span)
{
#if QUORVIL_BYTE_VECTORS
    if (span.size() < 16)
        return false;
    TByteLanes bad = {};
    const auto look = [&](const char* at) {
        const TByteLanes v = LoadLanes(at);
        const TByteLanes outside = reinterpret_cast<TByteLanes>(TByteLanes(v - 0x20) >= 0x60);
        bad |= (outside & reinterpret_cast<TByteLanes>(v != 0)) |
               reinterpret_cast<TByteLanes>((v == '"') | (v == '\\'));
    };
    for (size_t i = 0; i + 16 <= span.size(); i += 16)
        look(span.data() + i);
    // The last lanes may overlap the ones before them.
    look(span.data() + span.size() - 16);
    return !AnyLane(bad);
#else
    (void)span;
    return false;
#endif
}

// Collects the document in a buffer and hands it on in large pieces, so that
// the records never stand in memory whole.
class TJsonStreamer {
public:
    TJsonStreamer(std::function<void(const char*, size_t)> sink, std::optional<TCharset> set)
        : sink_(std::move(sink)), buf_(kFlushAt + kSlack, '\0'), set_(set)
    {
    }
    void Put(std::string_view text)
    {
        char* to = Room(text.size());
        Commit(std::copy(text.begin(), text.end(), to));
    }
    // `before`, a cell as a quoted JSON text (its characters in the set, or
    // each byte as the code point of its number), then `after`: one entry
    // of a record.
    void PutText(std::string_view before, std::string_view bytes, std::string_view after)
    {
        std::string utf8;
        const bool plain = PlainJsonText(bytes);
        if (!plain && set_) {
            utf8 = CharsetToUtf8(*set_, bytes);
            bytes = utf8;
        }
        // An escaped byte takes at most six bytes.
        char* to = Room(before.size() + 6 * bytes.size() + 2 + after.size());
        to = std::copy(before.begin(), before.end(), to);
        *to++ = '"';
        if (plain) {
            to = std::copy(bytes.begin(), bytes.end(), to);
        } else {
            // UTF-8 already: its bytes beyond ASCII stay as they are.
            for (const char c : bytes) {
                if (set_ && uint8_t(c) >= 0x80)
                    *to++ = c;
                else
                    to = PutEscaped(static_cast<unsigned char>(c), to);
            }
        }
        *to++ = '"';
        Commit(std::copy(after.begin(), after.end(), to));
    }
    // A record's entries, none of whose cells needs escaping, in one run.
    void PutPlainRecord(const std::array<std::string_view, kMaxSlots>& cells, const std::vector<int>& fields, bool last)
    {
        size_t bytes = 0;
        for (const int f : fields)
            bytes += cells[size_t(f - 1)].size();
        static constexpr std::string_view kOpen = "  [\n   \"", kBetween = "\",\n   \"";
        const std::string_view close = last ? "\"\n  ]\n ]" : "\"\n  ],\n";
        char* to = Room(bytes + kOpen.size() + kBetween.size() * fields.size() + close.size());
        to = std::copy(kOpen.begin(), kOpen.end(), to);
        for (size_t k = 0; k < fields.size(); ++k) {
            if (k > 0) {
                std::memcpy(to, kBetween.data(), kBetween.size());
                to += kBetween.size();
            }
            const std::string_view cell = cells[size_t(fields[k] - 1)];
            if (!cell.empty())
                to = static_cast<char*>(std::memcpy(to, cell.data(), cell.size())) + cell.size();
        }
        Commit(std::copy(close.begin(), close.end(), to));
    }
    void Finish()
    {
        if (used_ > 0)
            sink_(buf_.data(), used_);
        used_ = 0;
    }

private:
    static constexpr size_t kFlushAt = 1 << 16;
    static constexpr size_t kSlack = 4096;

    // Room for `count` more bytes at the end of what is gathered.
    char* Room(size_t count)
    {
        if (used_ + count > buf_.size()) {
            Finish();
            // Only a text far longer than any cell needs more.
            if (count > buf_.size())
                buf_.resize(count);
        }
        return buf_.data() + used_;
    }
    void Commit(char* end)
    {
        used_ = size_t(end - buf_.data());
        if (used_ >= kFlushAt)
            Finish();
    }
    static char* PutEscaped(unsigned char c, char* to)
    {
        static const char kHex[] = "0123456789abcdef";
        auto put = [&](std::string_view text) { return std::copy(text.begin(), text.end(), to); };
        switch (c) {
        case '"': return put("\\\"");
        case '\\': return put("\\\\");
        case '\b': return put("\\b");
        case '\f': return put("\\f");
        case '\n': return put("\\n");
        case '\r': return put("\\r");
        case '\t': return put("\\t");
        default: break;
        }
        if (c < 0x20) {
            const char u[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
            return put(std::string_view(u, sizeof u));
        }
        if (c < 0x80) {
            *to++ = char(c);
        } else {
            *to++ = char(0xC0 | (c >> 6));
            *to++ = char(0x80 | (c & 0x3F));
        }
        return to;
    }

    std::function<void(const char*, size_t)> sink_;
    std::string buf_;
    std::optional<TCharset> set_;
    size_t used_ = 0;
};

// The records key as the one-space indented dump writes it.
void StreamRecords(const TJFILE& db, const std::vector<int>& fields, TJsonStreamer& out)
{
    out.Put(",\n \"records\": ");
    if (db.RecordCount() == 0) {
        out.Put("[]");
        return;
    }
    out.Put("[\n");
    std::array<std::string_view, kMaxSlots> cells;
    for (int r = 1; r <= db.RecordCount(); ++r) {
        // One pass over the record for all its cells.
        const TDATA& record = db.Record(r);
        const bool nulFree = record.Texts(cells);
        const bool last = r == db.RecordCount();
        if (fields.empty()) {
            out.Put(last ? "  []\n ]" : "  [],\n");
        } else if (nulFree && PlainJsonRecord(record.TextSpan())) {
            out.PutPlainRecord(cells, fields, last);
        } else {
            for (size_t k = 0; k < fields.size(); ++k) {
                const std::string_view before = k == 0 ? "  [\n   " : "   ";
                const std::string_view after = k + 1 < fields.size() ? ",\n" : last ? "\n  ]\n ]" : "\n  ],\n";
                out.PutText(before, cells[size_t(fields[k] - 1)], after);
            }
        }
        ReportProgress(r, db.RecordCount());
    }
}

}  // namespace

void WriteJsonTo(const TJFILE& db, const std::vector<int>& fields, bool withRecords,
                 const std::function<void(const char*, size_t)>& sink, std::optional<TCharset> set)
{
    // The settings are small: the library writes them; the records follow them
    // straight into the output, in the same form.
    std::string head = DatabaseToJson(db, fields, false, set).dump(1);
    TJsonStreamer out(sink, set);
    if (withRecords) {
        head.resize(head.size() - 2);  // the closing "\n}"
        out.Put(head);
        StreamRecords(db, TFieldPlaces(db, fields).Fields, out);
        out.Put("\n}\n");
    } else {
        out.Put(head);
        out.Put("\n");
    }
    out.Finish();
}

void WriteJsonTo(const TJFILE& db, const std::vector<int>& fields, TStream& out, std::optional<TCharset> set)
{
    WriteJsonTo(
        db, fields, true, [&](const char* data, size_t size) { out.Write(data, size); }, set);
}

void WriteJson(TJFILE& db, const std::vector<int>& fields, const std::string& fileName, std::optional<TCharset> set)
{
    ReplaceWithText(db, fileName, [&](TStream& out) { WriteJsonTo(db, fields, out, set); });
}

}  // namespace quorvil
