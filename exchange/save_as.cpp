#include "save_as.h"

#include "date_text.h"
#include "errors.h"
#include "field_types.h"
#include "jfile.h"
#include "status_scope.h"
#include "text_utils.h"

#include <cctype>
#include <filesystem>
#include <optional>

namespace quorvil {

namespace {

// "21 to 30" for a run of three or more numbers, else "21", "1 and 4",
// "1, 2 and 4".
std::string NumbersOf(const std::vector<TNamedItem>& items)
{
    bool run = items.size() >= 3;
    for (size_t i = 1; i < items.size() && run; ++i)
        run = items[i].Number == items[i - 1].Number + 1;
    if (run)
        return std::to_string(items.front().Number) + " to " + std::to_string(items.back().Number);
    std::vector<std::string> numbers;
    for (const TNamedItem& item : items)
        numbers.push_back(std::to_string(item.Number));
    return Listed(numbers);
}

// "field 21 (Notes)", "fields 21 to 30 (Notes, "", F23, F24, F25, ...)".
std::string ItemText(const char* one, const char* many, const std::vector<TNamedItem>& items)
{
    std::vector<std::string> names;
    for (const TNamedItem& item : items)
        names.push_back(item.Name.empty() ? Quoted("") : item.Name);
    return std::string(items.size() == 1 ? one : many) + " " + NumbersOf(items) + " (" + FirstFew(names, kItemsShown) +
           ")";
}

std::string NotKeptSentence(const TLayoutLosses& l)
{
    std::vector<std::string> items;
    if (!l.Fields.empty())
        items.push_back(ItemText("field", "fields", l.Fields));
    if (!l.SavedSorts.empty())
        items.push_back(ItemText("saved sort", "saved sorts", l.SavedSorts));
    if (!l.Filters.empty())
        items.push_back(ItemText("saved filter", "saved filters", l.Filters));
    if (!l.Defaults.empty())
        items.push_back(ItemText("the default of field", "the defaults of fields", l.Defaults));
    if (items.empty())
        return {};
    const bool one = items.size() == 1 &&
                     l.Fields.size() + l.SavedSorts.size() + l.Filters.size() + l.Defaults.size() == 1;
    std::string text = Listed(items);
    text[0] = char(std::toupper(static_cast<unsigned char>(text[0])));
    return text + (one ? " is" : " are") + " not kept by " + Facts(l.Layout).Name;
}

std::string IntDateSentence(const TLayoutLosses& l)
{
    if (l.IntDates.empty())
        return {};
    return ItemText("INT.DATE field", "INT.DATE fields", l.IntDates) +
           (l.IntDates.size() == 1 ? " becomes a DATE field with its dates" : " become DATE fields with their dates") +
           " written as dd/mm/yyyy";
}

std::string CutSentence(const TLayoutLosses& l)
{
    if (l.CutValues == 0)
        return {};
    const std::string longest = std::to_string(Facts(l.Layout).LongestValue);
    std::string text = std::to_string(l.CutValues) + (l.CutValues == 1 ? " value" : " values") + " longer than " +
                       longest + " characters " + (l.CutValues == 1 ? "is" : "are") + " cut to " + longest + ": ";
    for (size_t i = 0; i < l.LongValues.size(); ++i) {
        const TLongValue& v = l.LongValues[i];
        text += (i > 0 ? ", " : "") + std::string("record ") + std::to_string(v.Record) + "'s field \"" + v.FieldName +
                "\" (" + std::to_string(v.Length) + ")";
    }
    return text + (l.CutValues > l.LongValues.size() ? ", ..." : "");
}

std::vector<std::string> Sentences(const TLayoutLosses& l)
{
    std::vector<std::string> sentences;
    for (std::string sentence : {NotKeptSentence(l), IntDateSentence(l), CutSentence(l)})
        if (!sentence.empty())
            sentences.push_back(std::move(sentence));
    return sentences;
}

// Values of the first `fields` fields longer than `longest`.
void FindLongValues(const TJFILE& db, int fields, size_t longest, TLayoutLosses& losses)
{
    for (int r = 1; r <= db.RecordCount(); ++r) {
        // No value is longer than all of a record's texts together.
        if (db.Record(r).TextSpan().size() <= longest)
            continue;
        for (int f = 1; f <= fields; ++f) {
            const size_t length = db.CellView(r, f).size();
            if (length <= longest)
                continue;
            if (losses.LongValues.size() < kItemsShown)
                losses.LongValues.push_back({r, f, db.GetFieldName(f), length});
            ++losses.CutValues;
        }
    }
}

// What `converted`, a copy of `db` in another layout, lacks.
TLayoutLosses Compare(const TJFILE& db, const TJFILE& converted)
{
    TLayoutLosses losses;
    losses.Layout = converted.Layout();
    const int kept = converted.FieldCount();
    for (int f = kept + 1; f <= db.FieldCount(); ++f)
        losses.Fields.push_back({f, db.GetFieldName(f)});
    if (!Facts(converted.Layout()).SavedSettings) {
        for (int s = 1; s <= 5; ++s) {
            if (!db.GetSavedSortName(s).empty())
                losses.SavedSorts.push_back({s, db.GetSavedSortName(s)});
            if (!db.GetFilter(s).FilterName.empty())
                losses.Filters.push_back({s, db.GetFilter(s).FilterName});
        }
        for (int f = 1; f <= kept; ++f)
            if (!db.GetDefault(f).empty())
                losses.Defaults.push_back({f, db.GetFieldName(f)});
    }
    // The block of the layout decides: the 5.x files keep the mark of an
    // international date, the older ones have no place for it.
    for (int f = 1; f <= kept; ++f)
        if (db.GetFieldType(f) == TFieldType::IntDate && converted.GetFieldType(f) != TFieldType::IntDate)
            losses.IntDates.push_back({f, db.GetFieldName(f)});
    FindLongValues(db, kept, Facts(converted.Layout()).LongestValue, losses);
    return losses;
}

// An INT.DATE field that became a DATE field is read day/month/year as
// digits: "18 Oct 1950" becomes "18/10/1950". Texts that are no date stay.
void WriteDatesAsDigits(TJFILE& copy, const std::vector<TNamedItem>& fields)
{
    copy.BeginUpdate();
    for (const TNamedItem& field : fields)
        for (int r = 1; r <= copy.RecordCount(); ++r)
            if (const std::optional<TCivilDate> date = ParseDateText(copy.CellView(r, field.Number)))
                copy.SetCell(r, field.Number, DateText(*date, TDateForm{}));
    copy.EndUpdate();
}

}  // namespace

bool TLayoutLosses::Empty() const
{
    return Fields.empty() && SavedSorts.empty() && Filters.empty() && Defaults.empty() && IntDates.empty() &&
           CutValues == 0;
}

std::string TLayoutLosses::Line() const
{
    std::string line;
    for (const std::string& sentence : Sentences(*this))
        line += (line.empty() ? "" : "; ") + sentence;
    return line;
}

std::string TLayoutLosses::Question() const
{
    std::string text;
    for (const std::string& sentence : Sentences(*this))
        text += sentence + ".\r\n";
    return text + "\r\nThe open database stays as it is. Save the copy anyway?";
}

TLayoutLosses LayoutLosses(const TJFILE& db, TLayout layout)
{
    const std::unique_ptr<TJFILE> copy = CopyDatabase(db, TRecordCopy::Borrow);
    copy->ConvertLayout(layout);
    return Compare(db, *copy);
}

void CheckNotOwnFile(const TJFILE& db, const std::string& fileName)
{
    std::error_code ec;
    if (!db.FileName.empty() && std::filesystem::equivalent(fileName, db.FileName, ec))
        throw EStreamError("Cannot save as \"" + fileName + "\": it is the open database's own file. Use Save to " +
                           "write it.");
}

void WriteInLayout(TJFILE& db, TLayout layout, const std::string& fileName)
{
    db.ConvertLayout(layout);
    TFileStream::ReplaceFile(fileName, [&](TFileStream& file) {
        db.Save(file);
        file.Flush();
    });
}

TSaveAs::TSaveAs(TJFILE& db, TLayout layout, std::string fileName) : db_(db), fileName_(std::move(fileName))
{
    CheckNotOwnFile(db_, fileName_);
    // The copy lives only as long as this command, inside the database's.
    copy_ = CopyDatabase(db_, TRecordCopy::Borrow);
    copy_->ConvertLayout(layout);
    losses_ = Compare(db_, *copy_);
    WriteDatesAsDigits(*copy_, losses_.IntDates);
}

TSaveAs::~TSaveAs() = default;

void TSaveAs::Write()
{
    TStatusScope status(db_, fileName_);
    WriteInLayout(*copy_, copy_->Layout(), fileName_);
}

bool SaveAs(TJFILE& db, TLayout layout, const std::string& fileName,
            const std::function<bool(const TLayoutLosses&)>& goOn)
{
    TSaveAs saveAs(db, layout, fileName);
    if (!saveAs.Losses().Empty() && !goOn(saveAs.Losses()))
        return false;
    saveAs.Write();
    return true;
}

}  // namespace quorvil
