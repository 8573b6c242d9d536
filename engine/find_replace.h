#pragma once
// Finding and replacing text in the cells of a database. Find and Replace
// follow different matching rules on purpose (users of the handheld know
// both): Find upper-cases every single-byte letter of the set and examines only
// the first occurrence per field; Replace upper-cases a-z only and walks every
// occurrence. The dialogs collect the choices; the questions go back to the
// caller through a callback, so the whole command runs without windows.
#include "charset.h"
#include "local_clock.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

class TJFILE;

class TPattern;

// Find's rule for one search text, prepared once for many values: the first
// occurrence, every single-byte letter of the character set compared without
// regard to case unless `caseSensitive`. In a set of two-byte characters a
// match starts and ends between characters, never inside one.
class TFindText {
public:
    TFindText(std::string_view text, bool caseSensitive, TCharset set);
    ~TFindText();
    TFindText(TFindText&&) noexcept;
    TFindText& operator=(TFindText&&) noexcept;
    bool In(std::string_view value, bool wordSearch = false) const;
    TCharset Set() const { return set_; }

private:
    std::unique_ptr<TPattern> pattern_;
    TCharset set_;
};

// Whether Find's rule matches `value`: the first occurrence of `text` (already
// upper-cased when the search ignores case) and, for a word search, that
// occurrence standing as a whole word. Both texts are in `set`.
bool FindMatchesValue(std::string_view value, std::string_view text, bool caseSensitive, bool wordSearch,
                      TCharset set = TCharset::Windows1252);

// One flag per record (index 0 is record 1): the records in which `text`
// occurs in a field whose flag is set (fieldFlags[0] is field 1), by the
// database's character set.
std::vector<bool> FindRecords(const TJFILE& db, const std::string& text, bool caseSensitive,
                              const std::vector<bool>& fieldFlags, bool wordSearch);

enum class TReplaceQuestion { Replace, BoundaryCross };
enum class TReplaceAnswer { Yes, No, YesToAll, NoToAll, Cancel };

struct TReplaceOptions {
    std::string SearchFor;
    std::string ReplaceWith;
    std::vector<bool> FieldFlags;  // fieldFlags[0] is field 1
    bool CaseSensitive = false;
    bool WordSearch = false;
    bool Prompt = true;
    // The moment a record whose fields were replaced is stamped with
    // (StampEdit); none: no record is stamped.
    std::optional<TLocalMoment> Stamp;
};

struct TReplaceCallbacks {
    // Asked with the question's full text; Replace questions offer Yes, No,
    // YesToAll and Cancel, boundary questions all five answers.
    std::function<TReplaceAnswer(TReplaceQuestion, const std::string&)> Ask;
    // Told after a changed field was written.
    std::function<void(int record, int field)> CellWritten;
};

struct TReplaceResult {
    int Count = 0;  // replacements kept
    int CellsWritten = 0;
    bool Cancelled = false;  // no summary then
};

// Values longer than this make a field hard to edit on the handheld.
constexpr std::size_t kBoundaryLength = 4000;

// Replaces in every record (the find filter does not narrow it), by the
// database's character set. Changes written before a Cancel stay.
TReplaceResult ReplaceText(TJFILE& db, const TReplaceOptions& options, const TReplaceCallbacks& callbacks);

// The question before one replacement: the record and field, then the text
// found (as the value has it) and its replacement, then the found text with
// up to 30 characters around it; all texts, and the question, in `set`.
std::string ReplaceQuestionText(int record, const std::string& fieldName, std::string_view value, size_t at,
                                size_t length, std::string_view replacement, TCharset set = TCharset::Windows1252);
std::string BoundaryQuestionText(int record, const std::string& fieldName);
std::string ReplaceSummaryText(int count);

}  // namespace quorvil
