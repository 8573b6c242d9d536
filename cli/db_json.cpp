#include "db_json.h"

#include "cli_args.h"

#include "charset.h"
#include "errors.h"
#include "field_types.h"
#include "jfile.h"
#include "save_as.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quorvil {

using nlohmann::json;

namespace {

[[noreturn]] void Bad(const std::string& what)
{
    throw std::invalid_argument(what);
}

// A text of the description as the database's bytes: in `set`, or without
// one each code point up to U+00FF as the byte of its number.
std::string TextOf(const json& j, const std::string& what, std::optional<TCharset> set = {})
{
    if (!j.is_string())
        Bad("\"" + what + "\" must be a text");
    std::string text = TextBytes(j.get<std::string>(), set);
    // The file ends a text at a NUL byte: what follows one would be lost.
    if (text.find('\0') != std::string::npos)
        Bad("\"" + what + "\" must not hold a NUL character");
    return text;
}

long NumberOf(const json& j, const std::string& what, long min, long max)
{
    if (!j.is_number_integer())
        Bad("\"" + what + "\" must be a whole number");
    long v = j.get<long>();
    if (v < min || v > max)
        Bad("\"" + what + "\" must lie between " + std::to_string(min) + " and " + std::to_string(max));
    return v;
}

const json& ArrayOf(const json& j, const std::string& what, size_t maxSize)
{
    if (!j.is_array())
        Bad("\"" + what + "\" must be an array");
    if (j.size() > maxSize)
        Bad("\"" + what + "\" holds more than " + std::to_string(maxSize) + " entries");
    return j;
}

int SlotOf(const json& entry, const std::string& what)
{
    if (!entry.is_object() || !entry.contains("slot"))
        Bad("each entry of \"" + what + "\" needs a \"slot\"");
    return int(NumberOf(entry["slot"], what + ".slot", 1, 5));
}

// A value longer than the layout keeps would be cut when it is saved.
void CheckLength(const std::string& text, size_t longest, const std::string& what)
{
    if (text.size() > longest)
        Bad(what + " holds " + std::to_string(text.size()) + " characters; a cell holds at most " +
            std::to_string(longest));
}

void ApplyField(TJFILE& db, int f, const json& field, size_t longest, std::optional<TCharset> set)
{
    if (!field.is_object())
        Bad("each entry of \"fields\" must be an object");
    if (field.contains("name"))
        db.SetFieldName(f, TextOf(field["name"], "name", set));
    if (field.contains("type"))
        db.SetFieldType(f, TFieldType(NumberOf(field["type"], "type", 0, 65535)));
    else if (field.contains("type_name")) {
        int code = TypeCodeByName(TextOf(field["type_name"], "type_name"));
        if (code < 0)
            Bad("unknown type name \"" + field["type_name"].get<std::string>() + "\"");
        db.SetFieldType(f, TFieldType(code));
    }
    if (field.contains("width"))
        db.SetColumnWidth(f, int(NumberOf(field["width"], "width", -32768, 32767)));
    if (field.contains("popup")) {
        const json& popup = ArrayOf(field["popup"], "popup", kMaxSlots);
        for (size_t k = 0; k < popup.size(); ++k) {
            std::string value = TextOf(popup[k], "popup", set);
            if (value.empty())
                Bad("a popup value must not be empty");
            if (ReadsAsChunkHeader(value))
                Bad("the popup value \"" + value + "\" would read back as a chunk header");
            db.SetPopupItem(f, int(k) + 1, value);
        }
    }
    if (field.contains("default")) {
        const std::string value = TextOf(field["default"], "default", set);
        CheckLength(value, longest, "the default of field " + std::to_string(f));
        db.SetDefault(f, value);
    }
}

void ApplyRecords(TJFILE& db, const json& records, size_t longest, std::optional<TCharset> set)
{
    ArrayOf(records, "records", 65535);
    db.SetRecordCount(uint16_t(records.size()));
    for (size_t r = 0; r < records.size(); ++r) {
        const std::string where = "records[" + std::to_string(r) + "]";
        const json& row = ArrayOf(records[r], where, size_t(db.FieldCount()));
        for (size_t f = 0; f < row.size(); ++f) {
            const std::string cell = TextOf(row[f], "records", set);
            CheckLength(cell, longest, where + " field " + std::to_string(f + 1));
            db.SetCell(int(r) + 1, int(f) + 1, cell);
        }
    }
}

void ApplySavedSortsAndFilters(TJFILE& db, const json& spec, std::optional<TCharset> set)
{
    if (spec.contains("saved_sorts"))
        for (const json& entry : ArrayOf(spec["saved_sorts"], "saved_sorts", 5)) {
            int s = SlotOf(entry, "saved_sorts");
            std::array<uint16_t, 3> fields{};
            if (entry.contains("fields")) {
                const json& list = ArrayOf(entry["fields"], "saved_sorts.fields", 3);
                for (size_t k = 0; k < list.size(); ++k)
                    fields[k] = uint16_t(NumberOf(list[k], "saved_sorts.fields", 0, 65535));
            }
            const std::string name = entry.contains("name") ? TextOf(entry["name"], "saved_sorts.name", set) : "";
            // The database knows a saved sort by its name: one without would be lost.
            if (name.empty())
                Bad("Saved sort " + std::to_string(s) + " has no name; give it one or leave it out.");
            db.SetSavedSort(s, name, fields);
        }
    if (spec.contains("filters"))
        for (const json& entry : ArrayOf(spec["filters"], "filters", 5)) {
            FilterRec rec;
            int s = SlotOf(entry, "filters");
            if (entry.contains("name"))
                rec.FilterName = TextOf(entry["name"], "filters.name", set).substr(0, 255);
            if (rec.FilterName.empty())
                Bad("Filter " + std::to_string(s) + " has no name; give it one or leave it out.");
            if (entry.contains("values")) {
                const json& values = ArrayOf(entry["values"], "filters.values", 5);
                for (size_t k = 0; k < values.size(); ++k) {
                    rec.FilterValues[k] = TextOf(values[k], "filters.values", set).substr(0, 255);
                    // The file writes an empty value so.
                    if (rec.FilterValues[k] == "-*-")
                        Bad("the filter value \"-*-\" would read back as an empty value");
                }
            }
            if (entry.contains("word"))
                rec.FilterWord = uint16_t(NumberOf(entry["word"], "filters.word", 0, 65535));
            if (entry.contains("codes")) {
                const json& codes = ArrayOf(entry["codes"], "filters.codes", 5);
                for (size_t k = 0; k < codes.size(); ++k)
                    rec.FilterCodes[k] = int8_t(NumberOf(codes[k], "filters.codes", -127, 127));
            }
            db.SetFilter(s, rec);
        }
}

void ApplyViewSettings(TJFILE& db, const json& spec, std::optional<TCharset> texts)
{
    if (spec.contains("sort_fields")) {
        const json& list = ArrayOf(spec["sort_fields"], "sort_fields", 3);
        for (size_t k = 0; k < list.size(); ++k)
            db.SetSortField(int(k) + 1, int(NumberOf(list[k], "sort_fields", 0, 65535)));
    }
    auto number = [&](const char* key, void (TJFILE::*set)(int)) {
        if (spec.contains(key))
            (db.*set)(int(NumberOf(spec[key], key, 0, 65535)));
    };
    number("find_field", &TJFILE::SetFindField);
    number("filter_field", &TJFILE::SetFilterField);
    number("first_column", &TJFILE::SetFirstColumn);
    number("display_width", &TJFILE::SetDisplayWidth);
    if (spec.contains("find_text"))
        db.SetFindText(TextOf(spec["find_text"], "find_text", texts));
    if (spec.contains("filter_text"))
        db.SetFilterText(TextOf(spec["filter_text"], "filter_text", texts));
}

void ApplyHeader(TJFILE& db, const json& spec)
{
    // The reader tells the layout by the creator: another one would not read back.
    if (spec.contains("creator") && TextOf(spec["creator"], "creator") != db.CreatorText())
        Bad("\"creator\" must be \"" + db.CreatorText() + "\" for a " + Facts(db.Layout()).Name + " database");
    if (spec.contains("db_type"))
        db.SetDbType(TextOf(spec["db_type"], "db_type"));
    if (spec.contains("attributes"))
        db.PdbHeader.Attributes = uint16_t(NumberOf(spec["attributes"], "attributes", 0, 65535));
    if (spec.contains("version"))
        db.PdbHeader.Version = uint16_t(NumberOf(spec["version"], "version", 0, 65535));
    int category = spec.contains("category") ? int(NumberOf(spec["category"], "category", 0, 15)) : db.Category();
    bool readOnly = db.ReadOnly();
    if (spec.contains("read_only")) {
        if (!spec["read_only"].is_boolean())
            Bad("\"read_only\" must be true or false");
        readOnly = spec["read_only"].get<bool>();
    }
    db.SetCategoryAndReadOnly(category, readOnly);
}

}  // namespace

void ApplySpec(TJFILE& db, const json& spec, TLayout layout, std::optional<TCharset> set)
{
    if (!spec.is_object())
        Bad("the database description must be a JSON object");
    if (spec.contains("title"))
        db.PdbHeader.Name = TextOf(spec["title"], "title", set).substr(0, 31);
    if (spec.contains("fields")) {
        const json& fields = ArrayOf(spec["fields"], "fields", kMaxSlots);
        db.SetFieldCount(int(fields.size()));
        for (size_t i = 0; i < fields.size(); ++i)
            ApplyField(db, int(i) + 1, fields[i], Facts(layout).LongestValue, set);
    } else if (spec.contains("field_count")) {
        db.SetFieldCount(int(NumberOf(spec["field_count"], "field_count", 0, kMaxSlots)));
    }
    ApplyViewSettings(db, spec, set);
    ApplySavedSortsAndFilters(db, spec, set);
    if (spec.contains("records"))
        ApplyRecords(db, spec["records"], Facts(layout).LongestValue, set);
    if (db.FieldCount() > Facts(layout).MaxFields)
        Bad(std::string("a ") + Facts(layout).Name + " database holds at most " +
            std::to_string(Facts(layout).MaxFields) + " fields");
    // What the layout would drop is refused like everything else it would
    // not give back.
    if (const TLayoutLosses losses = LayoutLosses(db, layout); !losses.Empty())
        Bad(losses.Line() + ". Leave these out of the description, or choose a layout that keeps them.");
    db.ConvertLayout(layout);
    ApplyHeader(db, spec);
}

std::unique_ptr<TJFILE> CreateFromSpec(const std::string& specFile, const std::string& output,
                                       std::optional<TLayout> layout, std::optional<TCharset> set)
{
    std::ifstream in(specFile, std::ios::binary);
    if (!in)
        throw EStreamError("Cannot open file \"" + specFile + "\".");
    json spec;
    try {
        spec = json::parse(in);
    } catch (const json::exception& e) {
        Bad("Invalid JSON in \"" + specFile + "\": " + e.what());
    }
    if (!layout) {
        // Read whole: a number such as 4294967299 must not pass as 3.
        long long named = Number(TLayout::JFile55);
        if (spec.is_object() && spec.contains("layout") && spec["layout"].is_number_integer())
            named = spec["layout"].get<long long>();
        layout = LayoutFromNumber(named);
        if (!layout)
            Bad("\"layout\" must be 0, 1, 2 or 3");
    }

    const bool existed = std::filesystem::exists(output);
    try {
        auto db = CreateNew(output);
        if (set)
            db->SetCharset(*set);
        ApplySpec(*db, spec, *layout, set);
        db->SaveWithName(db->PdbHeader.Name);
        return db;
    } catch (...) {
        // A database that could not be built leaves no empty file behind.
        if (!existed)
            std::filesystem::remove(output);
        throw;
    }
}

std::string DatabaseSummary(const TJFILE& db)
{
    std::ostringstream out;
    out << "Title:       " << db.PdbHeader.Name << "\n"
        << "Layout:      " << Number(db.Layout()) << " (" << Facts(db.Layout()).Name << ")\n"
        << "Creator:     " << db.CreatorText() << "   Type: " << db.DbTypeText() << "\n"
        << "Records:     " << db.RecordCount() << "\n"
        << "Fields:      " << db.FieldCount() << "\n";
    for (int f = 1; f <= db.FieldCount(); ++f) {
        out << "  " << f << ". " << db.GetFieldName(f) << "  " << db.GetFieldTypeName(f) << "  width "
            << db.GetColumnWidth(f);
        if (db.PopupCount(f) > 0) {
            out << "  popup:";
            for (int k = 1; k <= db.PopupCount(f); ++k)
                out << (k > 1 ? ", " : " ") << db.GetPopupItem(f, k);
        }
        if (!db.GetDefault(f).empty())
            out << "  default: " << db.GetDefault(f);
        out << "\n";
    }
    out << "Sort fields: " << db.GetSortField(1) << ", " << db.GetSortField(2) << ", " << db.GetSortField(3) << "\n"
        << "Category:    " << db.Category() << "\n"
        << "Read-only:   " << (db.ReadOnly() ? "yes" : "no") << "\n";
    for (int s = 1; s <= 5; ++s)
        if (!db.GetSavedSortName(s).empty())
            out << "Saved sort " << s << ": " << db.GetSavedSortName(s) << "\n";
    for (int s = 1; s <= 5; ++s)
        if (!db.GetFilter(s).FilterName.empty())
            out << "Filter " << s << ":    " << db.GetFilter(s).FilterName << "\n";
    return CharsetToUtf8(db.Charset(), out.str());
}

}  // namespace quorvil
