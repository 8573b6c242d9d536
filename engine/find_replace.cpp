#include "find_replace.h"

#include "jfile.h"
#include "new_record.h"
#include "text_case.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quorvil {

namespace {

using TFold = std::array<unsigned char, 256>;

TFold MakeFold(bool allLetters)
{
    TFold t{};
    for (int i = 0; i < 256; ++i)
        t[i] = allLetters ? static_cast<unsigned char>(UpperChar1252(static_cast<char>(i)))
                          : static_cast<unsigned char>(i >= 'a' && i <= 'z' ? i - 32 : i);
    return t;
}

// Built on first use: the character set's own table lives in another
// translation unit, whose static initialisation may come later.
const TFold* FindFold()  // every letter of the character set
{
    static const TFold fold = MakeFold(true);
    return &fold;
}

const TFold* ReplaceFold()  // a-z only
{
    static const TFold fold = MakeFold(false);
    return &fold;
}

}  // namespace

// A search text prepared once for many cells. Without a fold it is a plain
// byte search; with one, the bytes that fold to the first character are
// located with memchr and the rest compared through the fold.
class TPattern {
public:
    // Both folds map at most two bytes to one (a letter and its capital).
    static constexpr size_t kMaxVariants = 4;

    TPattern(std::string_view what, const TFold* fold) : fold_(fold)
    {
        if (!fold) {
            what_ = std::string(what);
            return;
        }
        what_.reserve(what.size());
        for (char c : what)
            what_.push_back(static_cast<char>((*fold)[static_cast<unsigned char>(c)]));
        if (!what_.empty())
            for (int b = 0; b < 256; ++b)
                if ((*fold)[b] == static_cast<unsigned char>(what_[0]) && firsts_.size() < kMaxVariants)
                    firsts_.push_back(static_cast<char>(b));
    }

    size_t Length() const { return what_.size(); }

    size_t FindIn(std::string_view text, size_t from) const
    {
        const size_t m = what_.size();
        if (m == 0 || from > text.size() || text.size() - from < m)
            return std::string_view::npos;
        if (!fold_)
            return text.find(what_, from);
        const size_t last = text.size() - m;  // last possible start
        const char* base = text.data();
        // Next hit of each first-byte variant, rescanned only once passed, so
        // a frequent variant never makes the others rescan the whole text.
        std::array<size_t, kMaxVariants> next;
        const size_t variants = firsts_.size();
        for (size_t v = 0; v < variants; ++v)
            next[v] = Scan(base, firsts_[v], from, last);
        for (;;) {
            size_t at = std::string_view::npos;
            for (size_t v = 0; v < variants; ++v)
                at = std::min(at, next[v]);
            if (at == std::string_view::npos || RestMatches(text, at))
                return at;
            for (size_t v = 0; v < variants; ++v)
                if (next[v] == at)
                    next[v] = Scan(base, firsts_[v], at + 1, last);
        }
    }

private:
    static size_t Scan(const char* base, char c, size_t from, size_t last)
    {
        if (from > last)
            return std::string_view::npos;
        const void* hit = std::memchr(base + from, c, last - from + 1);
        return hit ? size_t(static_cast<const char*>(hit) - base) : std::string_view::npos;
    }

    bool RestMatches(std::string_view text, size_t at) const
    {
        for (size_t k = 1; k < what_.size(); ++k)
            if ((*fold_)[static_cast<unsigned char>(text[at + k])] != static_cast<unsigned char>(what_[k]))
                return false;
        return true;
    }

    std::string what_;
    const TFold* fold_;
    std::string firsts_;
};

namespace {

bool FindWordBefore(char c)
{
    return c == '\n' || c == '\r' || c == ' ';
}

bool FindWordAfter(char c)
{
    return c == '\n' || c == '\r' || c == ' ' || c == '!' || c == ',' || c == '.' || c == '?';
}

bool FindMatches(std::string_view value, const TPattern& pattern, bool wordSearch)
{
    const size_t at = pattern.FindIn(value, 0);
    if (at == std::string_view::npos)
        return false;
    if (!wordSearch)
        return true;
    const size_t end = at + pattern.Length();
    return (at == 0 || FindWordBefore(value[at - 1])) && (end == value.size() || FindWordAfter(value[end]));
}

bool IsAsciiAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool FieldChosen(const std::vector<bool>& flags, int field)
{
    return field >= 1 && size_t(field) <= flags.size() && flags[size_t(field) - 1];
}

bool HoldsLongValue(const TJFILE& db)
{
    for (int r = 1; r <= db.RecordCount(); ++r)
        for (int f = 1; f <= db.FieldCount(); ++f)
            if (db.CellView(r, f).size() > kBoundaryLength)
                return true;
    return false;
}

// The replacing walk over one field's text; the question on each occurrence
// goes through `ask`. Returns the replacements made; `cancelled` on Cancel.
struct TFieldReplace {
    const TPattern& Pattern;
    const TReplaceOptions& Options;
    bool& Prompt;

    int Run(std::string& text, int record, const std::string& fieldName, const TReplaceCallbacks& cb,
            bool& cancelled) const
    {
        int count = 0;
        size_t from = 0;
        for (;;) {
            const size_t at = Pattern.FindIn(text, from);
            if (at == std::string::npos)
                return count;
            const size_t end = at + Pattern.Length();
            if (Options.WordSearch &&
                ((at > 0 && IsAsciiAlnum(text[at - 1])) || (end < text.size() && IsAsciiAlnum(text[end])))) {
                from = at + 1;
                continue;
            }
            if (Prompt) {
                const TReplaceAnswer answer = cb.Ask(
                    TReplaceQuestion::Replace,
                    ReplaceQuestionText(record, fieldName, text, at, Pattern.Length(), Options.ReplaceWith));
                if (answer == TReplaceAnswer::Cancel) {
                    cancelled = true;
                    return count;
                }
                if (answer == TReplaceAnswer::No) {
                    from = at + 1;
                    continue;
                }
                if (answer == TReplaceAnswer::YesToAll)
                    Prompt = false;
            }
            text.replace(at, Pattern.Length(), Options.ReplaceWith);
            from = at + Options.ReplaceWith.size();
            ++count;
        }
    }
};

}  // namespace

TFindText::TFindText(std::string_view text, bool caseSensitive)
    : pattern_(std::make_unique<TPattern>(text, caseSensitive ? nullptr : FindFold()))
{
}

TFindText::~TFindText() = default;
TFindText::TFindText(TFindText&&) noexcept = default;
TFindText& TFindText::operator=(TFindText&&) noexcept = default;

bool TFindText::In(std::string_view value, bool wordSearch) const
{
    return FindMatches(value, *pattern_, wordSearch);
}

bool FindMatchesValue(std::string_view value, std::string_view text, bool caseSensitive, bool wordSearch)
{
    const TPattern pattern(text, caseSensitive ? nullptr : FindFold());
    return FindMatches(value, pattern, wordSearch);
}

std::vector<bool> FindRecords(const TJFILE& db, const std::string& text, bool caseSensitive,
                              const std::vector<bool>& fieldFlags, bool wordSearch)
{
    const TPattern pattern(text, caseSensitive ? nullptr : FindFold());
    const int records = db.RecordCount();
    const int fields = db.FieldCount();
    std::vector<bool> shown(size_t(records), false);
    for (int r = 1; r <= records; ++r)
        for (int f = 1; f <= fields; ++f)
            if (FieldChosen(fieldFlags, f) && FindMatches(db.CellView(r, f), pattern, wordSearch)) {
                shown[size_t(r) - 1] = true;
                break;
            }
    return shown;
}

TReplaceResult ReplaceText(TJFILE& db, const TReplaceOptions& options, const TReplaceCallbacks& callbacks)
{
    TReplaceResult result;
    const TPattern pattern(options.SearchFor, options.CaseSensitive ? nullptr : ReplaceFold());
    if (pattern.Length() == 0)
        return result;  // an empty search text occurs nowhere
    bool prompt = options.Prompt && callbacks.Ask;
    bool longValues = HoldsLongValue(db);
    bool refuseCrossing = false;
    const TFieldReplace walk{pattern, options, prompt};

    const int records = db.RecordCount();
    const int fields = db.FieldCount();
    std::vector<int> written;  // the fields changed in the record at hand
    for (int r = 1; r <= records && !result.Cancelled; ++r) {
        written.clear();
        for (int f = 1; f <= fields && !result.Cancelled; ++f) {
            if (!FieldChosen(options.FieldFlags, f))
                continue;
            const std::string_view old = db.CellView(r, f);
            if (pattern.FindIn(old, 0) == std::string_view::npos)
                continue;  // the common case: nothing to walk, nothing copied
            std::string text(old);
            const std::string name = db.GetFieldName(f);
            const int made = walk.Run(text, r, name, callbacks, result.Cancelled);
            if (made == 0 || result.Cancelled)
                continue;
            bool keep = true;
            if (old.size() <= kBoundaryLength && text.size() > kBoundaryLength && !longValues) {
                if (refuseCrossing) {
                    keep = false;
                } else {
                    const TReplaceAnswer answer = callbacks.Ask ? callbacks.Ask(TReplaceQuestion::BoundaryCross,
                                                                                BoundaryQuestionText(r, name))
                                                                : TReplaceAnswer::Yes;
                    result.Cancelled = answer == TReplaceAnswer::Cancel;
                    keep = answer == TReplaceAnswer::Yes || answer == TReplaceAnswer::YesToAll;
                    if (answer == TReplaceAnswer::YesToAll)
                        longValues = true;  // no further boundary questions
                    if (answer == TReplaceAnswer::NoToAll)
                        refuseCrossing = true;
                }
            }
            if (!keep)
                continue;
            result.Count += made;
            db.SetCell(r, f, text);
            written.push_back(f);
            ++result.CellsWritten;
            if (callbacks.CellWritten)
                callbacks.CellWritten(r, f);
        }
        // A record's modification stamp follows once its fields are done (a
        // Cancel too), never between them.
        if (options.Stamp && !written.empty())
            StampEdit(db, r, written, *options.Stamp);
    }
    return result;
}

namespace {

// A piece of a value on one line of a message: line breaks as the grid shows
// them, a long piece cut with "...".
std::string Shown(std::string_view text, size_t limit)
{
    std::string shown(text.substr(0, limit));
    for (char& c : shown)
        if (c == '\n' || c == '\r')
            c = '\xA4';
    return text.size() > limit ? shown + "..." : shown;
}

}  // namespace

std::string ReplaceQuestionText(int record, const std::string& fieldName, std::string_view value, size_t at,
                                size_t length, std::string_view replacement)
{
    constexpr size_t kAround = 30, kLimit = 60;
    at = std::min(at, value.size());
    length = std::min(length, value.size() - at);
    const size_t from = at > kAround ? at - kAround : 0;
    const size_t end = at + length;
    const std::string_view after = value.substr(end, kAround);
    const std::string context = (from > 0 ? "..." : "") + Shown(value.substr(from, at - from), kAround) + "[" +
                                Shown(value.substr(at, length), kLimit) + "]" + Shown(after, kAround) +
                                (end + after.size() < value.size() ? "..." : "");
    return "Replace in record #" + std::to_string(record) + ", field \"" + fieldName + "\"?\n\"" +
           Shown(value.substr(at, length), kLimit) + "\" with \"" + Shown(replacement, kLimit) + "\" in:\n" + context;
}

std::string BoundaryQuestionText(int record, const std::string& fieldName)
{
    return "Replacement in record #" + std::to_string(record) + ", field \"" + fieldName +
           "\" will result in 4K-Boundary cross. OK?";
}

std::string ReplaceSummaryText(int count)
{
    if (count == 0)
        return "No replacements were done...";
    if (count == 1)
        return "One replacement was performed...";
    return std::to_string(count) + " replacements were performed...";
}

}  // namespace quorvil
