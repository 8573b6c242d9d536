#include "find_replace.h"

#include "jfile.h"
#include "new_record.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>

namespace quorvil {

namespace {

using TFold = std::array<unsigned char, 256>;

TFold MakeFold(TCharset set, bool allLetters)
{
    const TCodec& codec = TCodec::Of(set);
    TFold t{};
    for (int i = 0; i < 256; ++i)
        t[i] = allLetters ? static_cast<unsigned char>(codec.UpperByte(static_cast<char>(i)))
                          : static_cast<unsigned char>(i >= 'a' && i <= 'z' ? i - 32 : i);
    return t;
}

// Built on first use, once per set: the set's own tables are asked of the
// platform's converter, which takes some milliseconds.
const TFold* FoldOf(TCharset set, bool allLetters)
{
    constexpr size_t kSets = 16;
    static std::once_flag once[kSets][2];
    static TFold folds[kSets][2];
    const size_t i = size_t(set), k = allLetters ? 1 : 0;
    std::call_once(once[i][k], [&] { folds[i][k] = MakeFold(set, allLetters); });
    return &folds[i][k];
}

const TFold* FindFold(TCharset set)  // every single-byte letter of the set
{
    return FoldOf(set, true);
}

const TFold* ReplaceFold(TCharset set)  // a-z only
{
    return FoldOf(set, false);
}

}  // namespace

// A search text prepared once for many cells. Without a fold it is a plain
// byte search; with one, the bytes that fold to the first character are
// located with memchr and the rest compared through the fold. In a set of
// two-byte characters a match starts and ends only between characters, and
// the fold touches single-byte characters only: a trail byte that equals an
// ASCII letter is no letter.
class TPattern {
public:
    // A fold maps at most three bytes to one: a capital, its small letter and
    // Greek's final sigma or Turkish's dotless i.
    static constexpr size_t kMaxVariants = 4;

    TPattern(std::string_view what, const TFold* fold, TCharset set)
        : fold_(fold), codec_(IsMultiByte(set) ? &TCodec::Of(set) : nullptr)
    {
        what_ = std::string(what);
        wide_.assign(what_.size(), false);
        if (codec_)
            for (size_t k = 0; k < what_.size(); k += wide_[k] ? 2 : 1)
                wide_[k] = codec_->CharLength(what_, k) == 2;
        if (!fold)
            return;
        for (size_t k = 0; k < what_.size(); k += wide_[k] ? 2 : 1)
            if (!wide_[k])  // a two-byte character stays as it is
                what_[k] = static_cast<char>((*fold)[static_cast<unsigned char>(what_[k])]);
        if (!what_.empty() && !wide_[0])
            for (int b = 0; b < 256; ++b)
                if ((*fold)[b] == static_cast<unsigned char>(what_[0]) && firsts_.size() < kMaxVariants)
                    firsts_.push_back(static_cast<char>(b));
    }

    size_t Length() const { return what_.size(); }

    // The length of the character at `at` of a value: where a walk resumes
    // past a match that is not taken.
    size_t Step(std::string_view text, size_t at) const { return codec_ ? codec_->CharLength(text, at) : 1; }
    // Whether the character that ends at `at` (a character boundary) is two
    // bytes long; the walk starts at `anchor`, a boundary, when it is before
    // `at` (an empty replacement leaves them equal), else at the start.
    bool WideBefore(std::string_view text, size_t anchor, size_t at) const
    {
        if (!codec_ || at == 0)
            return false;
        size_t p = anchor < at ? anchor : 0, length = 1;
        while ((length = codec_->CharLength(text, p)) + p < at)
            p += length;
        return length == 2;
    }
    bool WideAt(std::string_view text, size_t at) const
    {
        return codec_ && at < text.size() && codec_->CharLength(text, at) == 2;
    }

    // The first match at or after `from`, which is a character boundary.
    size_t FindIn(std::string_view text, size_t from) const
    {
        const size_t m = what_.size();
        if (m == 0 || from > text.size() || text.size() - from < m)
            return std::string_view::npos;
        if (!fold_ && !codec_)
            return text.find(what_, from);
        const char* base = text.data();
        const size_t last = text.size() - m;  // last possible start
        const std::string_view firsts = firsts_.empty() ? std::string_view(what_).substr(0, 1) : firsts_;
        // Next hit of each first-byte variant, rescanned only once passed, so
        // a frequent variant never makes the others rescan the whole text.
        std::array<size_t, kMaxVariants> next;
        const size_t variants = firsts.size();
        for (size_t v = 0; v < variants; ++v)
            next[v] = Scan(base, firsts[v], from, last);
        size_t boundary = from;  // the walk over the characters so far
        for (;;) {
            size_t at = std::string_view::npos;
            for (size_t v = 0; v < variants; ++v)
                at = std::min(at, next[v]);
            if (at == std::string_view::npos)
                return at;
            if (codec_)
                while (boundary < at)
                    boundary += codec_->CharLength(text, boundary);
            if ((!codec_ || boundary == at) && RestMatches(text, at))
                return at;
            for (size_t v = 0; v < variants; ++v)
                if (next[v] == at)
                    next[v] = Scan(base, firsts[v], at + 1, last);
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

    unsigned char Folded(char c) const
    {
        return fold_ ? (*fold_)[static_cast<unsigned char>(c)] : static_cast<unsigned char>(c);
    }

    bool RestMatches(std::string_view text, size_t at) const
    {
        if (!codec_) {
            for (size_t k = 1; k < what_.size(); ++k)
                if (Folded(text[at + k]) != static_cast<unsigned char>(what_[k]))
                    return false;
            return true;
        }
        for (size_t k = 0; k < what_.size();) {
            const bool wide = codec_->CharLength(text, at + k) == 2;
            if (wide != wide_[k])
                return false;
            if (wide ? text.substr(at + k, 2) != std::string_view(what_).substr(k, 2)
                     : Folded(text[at + k]) != static_cast<unsigned char>(what_[k]))
                return false;
            k += wide ? 2 : 1;
        }
        return true;
    }

    std::string what_;
    const TFold* fold_;
    const TCodec* codec_;     // sets of two-byte characters only
    std::vector<bool> wide_;  // where a two-byte character of what_ starts
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
    TCharset Set;
    bool& Prompt;

    int Run(std::string& text, int record, const std::string& fieldName, const TReplaceCallbacks& cb,
            bool& cancelled) const
    {
        int count = 0;
        size_t from = 0;
        size_t anchor = 0;  // a character boundary at or before every match still to come
        for (;;) {
            const size_t at = Pattern.FindIn(text, from);
            if (at == std::string::npos)
                return count;
            const size_t end = at + Pattern.Length();
            if (Options.WordSearch && (InWordBefore(text, anchor, at) || InWordAt(text, end))) {
                anchor = at;
                from = at + Pattern.Step(text, at);
                continue;
            }
            if (Prompt) {
                const TReplaceAnswer answer = cb.Ask(
                    TReplaceQuestion::Replace,
                    ReplaceQuestionText(record, fieldName, text, at, Pattern.Length(), Options.ReplaceWith, Set));
                if (answer == TReplaceAnswer::Cancel) {
                    cancelled = true;
                    return count;
                }
                if (answer == TReplaceAnswer::No) {
                    anchor = at;
                    from = at + Pattern.Step(text, at);
                    continue;
                }
                if (answer == TReplaceAnswer::YesToAll)
                    Prompt = false;
            }
            text.replace(at, Pattern.Length(), Options.ReplaceWith);
            anchor = at;
            from = at + Options.ReplaceWith.size();
            ++count;
        }
    }

    // Replace's words are of letters and digits of ASCII; a two-byte
    // character counts as a letter.
    bool InWordBefore(std::string_view text, size_t anchor, size_t at) const
    {
        return at > 0 && (IsAsciiAlnum(text[at - 1]) || Pattern.WideBefore(text, anchor, at));
    }
    bool InWordAt(std::string_view text, size_t at) const
    {
        return at < text.size() && (IsAsciiAlnum(text[at]) || Pattern.WideAt(text, at));
    }
};

}  // namespace

TFindText::TFindText(std::string_view text, bool caseSensitive, TCharset set)
    : pattern_(std::make_unique<TPattern>(text, caseSensitive ? nullptr : FindFold(set), set)), set_(set)
{
}

TFindText::~TFindText() = default;
TFindText::TFindText(TFindText&&) noexcept = default;
TFindText& TFindText::operator=(TFindText&&) noexcept = default;

bool TFindText::In(std::string_view value, bool wordSearch) const
{
    return FindMatches(value, *pattern_, wordSearch);
}

bool FindMatchesValue(std::string_view value, std::string_view text, bool caseSensitive, bool wordSearch, TCharset set)
{
    const TPattern pattern(text, caseSensitive ? nullptr : FindFold(set), set);
    return FindMatches(value, pattern, wordSearch);
}

std::vector<bool> FindRecords(const TJFILE& db, const std::string& text, bool caseSensitive,
                              const std::vector<bool>& fieldFlags, bool wordSearch)
{
    const TPattern pattern(text, caseSensitive ? nullptr : FindFold(db.Charset()), db.Charset());
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
    const TCharset set = db.Charset();
    const TPattern pattern(options.SearchFor, options.CaseSensitive ? nullptr : ReplaceFold(set), set);
    if (pattern.Length() == 0)
        return result;  // an empty search text occurs nowhere
    bool prompt = options.Prompt && callbacks.Ask;
    bool longValues = HoldsLongValue(db);
    bool refuseCrossing = false;
    const TFieldReplace walk{pattern, options, set, prompt};

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

// The bytes of the first `count` characters of `text`.
size_t Leading(const TCodec& codec, std::string_view text, size_t count)
{
    size_t at = 0;
    for (; count > 0 && at < text.size(); --count)
        at += codec.CharLength(text, at);
    return std::min(at, text.size());
}

// Where the last `count` characters before `at` (a character boundary) start.
size_t Trailing(const TCodec& codec, std::string_view text, size_t at, size_t count)
{
    std::vector<size_t> starts;
    for (size_t p = 0; p < at; p += codec.CharLength(text, p))
        starts.push_back(p);
    return starts.size() > count ? starts[starts.size() - count] : 0;
}

// How a line break shows in a message: "¤" as the grid shows it, or the
// nearest mark the set has.
std::string LineMark(const TCodec& codec)
{
    char out[2];
    for (const char32_t mark : {U'\u00A4', U'\u00B6'})
        if (const size_t n = codec.Encode(mark, out))
            return std::string(out, n);
    return "|";
}

// A piece of a value on one line of a message: line breaks marked, a piece
// longer than `limit` characters cut with "...", never inside a character.
std::string Shown(const TCodec& codec, std::string_view text, size_t limit)
{
    const size_t cut = Leading(codec, text, limit);
    const std::string mark = LineMark(codec);
    std::string shown;
    for (const char c : text.substr(0, cut))
        if (c == '\n' || c == '\r')
            shown += mark;
        else
            shown += c;
    return cut < text.size() ? shown + "..." : shown;
}

}  // namespace

std::string ReplaceQuestionText(int record, const std::string& fieldName, std::string_view value, size_t at,
                                size_t length, std::string_view replacement, TCharset set)
{
    constexpr size_t kAround = 30, kLimit = 60;
    const TCodec& codec = TCodec::Of(set);
    at = std::min(at, value.size());
    length = std::min(length, value.size() - at);
    const size_t from = Trailing(codec, value, at, kAround);
    const size_t end = at + length;
    const std::string_view after = value.substr(end, Leading(codec, value.substr(end), kAround));
    const std::string found = Shown(codec, value.substr(at, length), kLimit);
    const std::string context = (from > 0 ? "..." : "") + Shown(codec, value.substr(from, at - from), kAround) + "[" +
                                found + "]" + Shown(codec, after, kAround) +
                                (end + after.size() < value.size() ? "..." : "");
    return "Replace in record #" + std::to_string(record) + ", field \"" + fieldName + "\"?\n\"" + found +
           "\" with \"" + Shown(codec, replacement, kLimit) + "\" in:\n" + context;
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
