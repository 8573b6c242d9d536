#include "cell_paste.h"

#include "cell_input.h"
#include "charset.h"
#include "field_types.h"
#include "jfile.h"
#include "new_record.h"
#include "text_case.h"
#include "text_utils.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

namespace quorvil {

namespace {

constexpr int kMostRecords = 65535;
constexpr char kBreakMark = char(0xA4);  // '¤', how the views show a line break

struct TPasteValue {
    std::string Stored;
    std::string Problem;
};

// The Windows-1252 bytes of a UTF-8 text; empty with `problem` set when a
// character has no byte.
std::optional<std::string> HandheldBytes(const std::string& utf8, std::string& problem)
{
    std::string bytes(utf8.size(), '\0');
    const TUtf8ToCp1252 result = Utf8ToCp1252(utf8, bytes.data());
    if (result.Whole()) {
        bytes.resize(result.Size);
        return bytes;
    }
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", unsigned(result.Missing));
    problem = "\"" + utf8 + "\" holds the character " + code +
              (result.Missing >= 0xA0 ? " \"" + utf8.substr(result.StopAt, result.StopLength) + "\"" : "") +
              ", which a JFile database cannot hold. Paste it without that character.";
    return std::nullopt;
}

TPasteValue BooleanValue(const TJFILE& db, int field, std::string_view text)
{
    const std::string_view trimmed = TrimBlanks(text);
    if (trimmed.empty())
        return {ClearedValue(db, field), {}};
    if (trimmed == "1" || trimmed == "0")
        return {std::string(trimmed), {}};
    if (SameTextIgnoringCase(trimmed, db.TrueText()))
        return {"1", {}};
    if (SameTextIgnoringCase(trimmed, db.FalseText()))
        return {"0", {}};
    return {{},
            Quoted(text) + " is not a Boolean value. Use " + db.TrueText() + " or " + db.FalseText() + " (or 1 or 0)."};
}

// A List field takes what its drop-down offers: one of its values (in the
// list's spelling) or nothing; a value from outside the list only where
// the cell holds it already.
TPasteValue ListValue(const TJFILE& db, int field, std::string_view text, std::string_view current)
{
    if (text.empty() || text == current)
        return {std::string(text), {}};
    for (int k = 1; k <= db.PopupCount(field); ++k)
        if (std::string item = db.GetPopupItem(field, k); SameTextIgnoringCase(item, text))
            return {std::move(item), {}};
    return {{},
            Quoted(text) + " is not in the popup list of this field. Paste one of its values, or add this one to the "
                           "list first (Database > Edit definition)."};
}

TPasteValue FieldValue(const TJFILE& db, int field, const std::string& utf8, std::string_view current)
{
    TPasteValue value;
    std::optional<std::string> bytes = HandheldBytes(utf8, value.Problem);
    if (!bytes)
        return value;
    const TFieldType type = db.GetFieldType(field);
    const TEditorKind editor = FactsOf(type).Editor;
    // As typed: the mark the views show for a line break is one.
    if (editor == TEditorKind::LongText)
        std::replace(bytes->begin(), bytes->end(), kBreakMark, '\n');
    if (editor == TEditorKind::List)
        return ListValue(db, field, *bytes, current);
    if (ValueKindOf(type) == TValueKind::Boolean)
        return BooleanValue(db, field, *bytes);
    TCellInput input = CellInput(db, field, *bytes);
    return {std::move(input.Stored), std::move(input.Problem)};
}

std::string Location(const TJFILE& db, int field, int record, bool isNew)
{
    return "Field " + Quoted(db.GetFieldName(field)) + " of " + (isNew ? "new record " : "record ") +
           std::to_string(record) + ": ";
}

}  // namespace

TCellRows CopiedCells(const TJFILE& db, const std::vector<int>& records, const std::vector<int>& fields, bool names)
{
    TCellRows rows;
    rows.reserve(records.size() + (names ? 1 : 0));
    if (names) {
        std::vector<std::string>& row = rows.emplace_back();
        for (const int f : fields)
            row.push_back(Cp1252ToUtf8(db.GetFieldName(f)));
    }
    for (const int r : records) {
        std::vector<std::string>& row = rows.emplace_back();
        row.reserve(fields.size());
        for (const int f : fields) {
            const std::string_view cell = db.CellView(r, f);
            row.push_back(Cp1252ToUtf8(db.GetFieldType(f) == TFieldType::Boolean ? db.BooleanShown(cell) : cell));
        }
    }
    return rows;
}

TPastePlan PlanPaste(const TJFILE& db, const TPasteTarget& target, const TCellRows& rows)
{
    TPastePlan plan;
    plan.Field = target.Field;
    if (rows.empty() || target.Records.empty() || target.Field < 1 || target.Field > db.FieldCount())
        return plan;
    // One value fills the selected block, as in a spreadsheet.
    const bool fill = rows.size() == 1 && rows.front().size() == 1;
    size_t width = size_t(std::max(target.Fields, 1));
    if (!fill) {
        width = 0;
        for (const std::vector<std::string>& row : rows)
            width = std::max(width, row.size());
    }
    const size_t height = fill ? target.Records.size() : rows.size();
    const size_t room = size_t(db.FieldCount() - target.Field + 1);
    plan.DroppedColumns = int(width > room ? width - room : 0);
    width = std::min(width, room);
    plan.Width = int(width);
    const size_t existing = std::min(height, target.Records.size());
    plan.NewRows = int(height - existing);
    plan.RowsBeyondRoom = std::max(0, plan.NewRows - (kMostRecords - db.RecordCount()));

    // The form a date is stored in comes from the values before the paste,
    // so one text stores the same in every row of a field.
    std::vector<std::map<std::string, TPasteValue, std::less<>>> seen(width);
    plan.Stored.resize(height);
    for (size_t r = 0; r < height; ++r) {
        const bool isNew = r >= existing;
        const int record = isNew ? db.RecordCount() + int(r - existing) + 1 : target.Records[r];
        const std::vector<std::string>& row = fill ? rows.front() : rows[r];
        std::vector<std::string>& stored = plan.Stored[r];
        stored.reserve(width);
        // A short row leaves the cells past its end as they are.
        const size_t cells = fill ? width : std::min(width, row.size());
        for (size_t c = 0; c < cells; ++c) {
            const std::string& text = fill ? row.front() : row[c];
            const int field = target.Field + int(c);
            const std::string_view current = isNew ? std::string_view() : db.CellView(record, field);
            // A list value from outside the list depends on the cell.
            const bool cached = FactsOf(db.GetFieldType(field)).Editor != TEditorKind::List;
            auto known = cached ? seen[c].find(text) : seen[c].end();
            if (known == seen[c].end()) {
                TPasteValue value = FieldValue(db, field, text, current);
                if (!value.Problem.empty()) {
                    plan.Problem = Location(db, field, record, isNew) + value.Problem;
                    return plan;
                }
                if (!cached) {
                    stored.push_back(std::move(value.Stored));
                    continue;
                }
                known = seen[c].emplace(text, std::move(value)).first;
            }
            stored.push_back(known->second.Stored);
        }
    }
    return plan;
}

std::vector<int> ApplyPaste(TJFILE& db, const TPasteTarget& target, const TPastePlan& plan, bool addRows,
                            const TLocalMoment& now)
{
    std::vector<int> written;
    const size_t existing = std::min(plan.Stored.size(), target.Records.size());
    for (size_t r = 0; r < plan.Stored.size(); ++r) {
        if (r >= existing && (!addRows || db.RecordCount() >= kMostRecords))
            break;
        const int record = r < existing ? target.Records[r] : AppendDefaultRecord(db, now);
        std::vector<TCellText> cells;
        std::vector<int> edited;
        const std::vector<std::string>& stored = plan.Stored[r];
        for (size_t c = 0; c < stored.size(); ++c) {
            const int field = plan.Field + int(c);
            if (db.CellView(record, field) == stored[c])
                continue;
            cells.push_back({field, stored[c]});
            edited.push_back(field);
        }
        if (!cells.empty()) {
            db.SetCells(record, cells);
            StampEdit(db, record, edited, now);
        }
        written.push_back(record);
    }
    return written;
}

std::string ClearedValue(const TJFILE& db, int field)
{
    const TFieldTypeFacts facts = FactsOf(db.GetFieldType(field));
    return facts.Value == TValueKind::Boolean ? std::string(facts.NewText) : std::string();
}

void ClearCells(TJFILE& db, const std::vector<int>& records, const std::vector<int>& fields, const TLocalMoment& now)
{
    std::vector<std::string> cleared;
    for (const int f : fields)
        cleared.push_back(ClearedValue(db, f));
    for (const int record : records) {
        std::vector<TCellText> cells;
        std::vector<int> edited;
        for (size_t k = 0; k < fields.size(); ++k) {
            if (db.CellView(record, fields[k]) == cleared[k])
                continue;
            cells.push_back({fields[k], cleared[k]});
            edited.push_back(fields[k]);
        }
        if (!cells.empty()) {
            db.SetCells(record, cells);
            StampEdit(db, record, edited, now);
        }
    }
}

}  // namespace quorvil
