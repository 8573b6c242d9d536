#include "cell_paste.h"

#include "cell_input.h"
#include "charset.h"
#include "field_types.h"
#include "jfile.h"
#include "new_record.h"
#include "text_case.h"
#include "text_utils.h"

#include <algorithm>
#include <map>
#include <optional>

namespace quorvil {

namespace {

constexpr int kMostRecords = 65535;
constexpr std::string_view kBreakMark = "\xC2\xA4";  // '¤', how the views show a line break

// A value to store, or the reason it is refused: in UTF-8, as it may name
// a character the database's set lacks.
struct TPasteValue {
    std::string Stored;
    std::string Problem;
};

// Equal but for the case of single-byte letters: a trail byte of a two-byte
// character is never folded as if it were a letter.
bool SameIgnoringCase(TCharset set, std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    std::string upperA(a), upperB(b);
    UpperCaseIn(set, upperA);
    UpperCaseIn(set, upperB);
    return upperA == upperB;
}

TPasteValue BooleanValue(const TJFILE& db, int field, std::string_view text)
{
    const std::string_view trimmed = TrimBlanks(text);
    if (trimmed.empty())
        return {ClearedValue(db, field), {}};
    if (trimmed == "1" || trimmed == "0")
        return {std::string(trimmed), {}};
    if (SameIgnoringCase(db.Charset(), trimmed, db.TrueText()))
        return {"1", {}};
    if (SameIgnoringCase(db.Charset(), trimmed, db.FalseText()))
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
        if (std::string item = db.GetPopupItem(field, k); SameIgnoringCase(db.Charset(), item, text))
            return {std::move(item), {}};
    return {{},
            Quoted(text) + " is not in the popup list of this field. Paste one of its values, or add this one to the "
                           "list first (Database > Edit definition)."};
}

// The value as stored, its problem (if any) still in the database's bytes.
TPasteValue StoredValue(const TJFILE& db, int field, const std::string& bytes, std::string_view current)
{
    const TFieldType type = db.GetFieldType(field);
    const TEditorKind editor = FactsOf(type).Editor;
    if (editor == TEditorKind::List)
        return ListValue(db, field, bytes, current);
    if (ValueKindOf(type) == TValueKind::Boolean)
        return BooleanValue(db, field, bytes);
    TCellInput input = CellInput(db, field, bytes);
    return {std::move(input.Stored), std::move(input.Problem)};
}

TPasteValue FieldValue(const TJFILE& db, int field, std::string utf8, std::string_view current)
{
    // As typed: the mark the views show for a line break is one. Replaced
    // as a character, before any set's bytes could mistake a byte for it.
    if (FactsOf(db.GetFieldType(field)).Editor == TEditorKind::LongText)
        for (size_t at = utf8.find(kBreakMark); at != std::string::npos; at = utf8.find(kBreakMark, at + 1))
            utf8.replace(at, kBreakMark.size(), "\n");
    const TToCharset bytes = Utf8ToCharset(db.Charset(), utf8);
    if (!bytes.Whole())
        return {{}, RefusalText(bytes, db.Charset())};
    TPasteValue value = StoredValue(db, field, bytes.Bytes, current);
    value.Problem = CharsetToUtf8(db.Charset(), value.Problem);
    return value;
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
            row.push_back(CharsetToUtf8(db.Charset(), db.GetFieldName(f)));
    }
    for (const int r : records) {
        std::vector<std::string>& row = rows.emplace_back();
        row.reserve(fields.size());
        for (const int f : fields) {
            const std::string_view cell = db.CellView(r, f);
            row.push_back(
                CharsetToUtf8(db.Charset(), db.GetFieldType(f) == TFieldType::Boolean ? db.BooleanShown(cell) : cell));
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
                    plan.Problem = CharsetToUtf8(db.Charset(), Location(db, field, record, isNew)) + value.Problem;
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
