#pragma once
// A value in a List field must be one of the field's popup values, or the
// database fails the check made when it is opened. Copy and merge add each
// value they write to its field's list; a value the list cannot take (the
// list is full, the value too long or read back as a chunk header) is left
// out instead, and the user hears which before anything changes.
#include "text_utils.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace quorvil {

class TJFILE;

// Why a popup list cannot take a value.
enum class TListRefusal { Full, TooLong, ChunkHeader };

// True for a List field, and for a field with popup values, which a save
// makes a List field.
bool TakesListValues(const TJFILE& db, int field);

// The values one List field cannot take, each once, in the order met.
struct TLeftOut {
    int Field = 0;  // of the database written
    std::string FieldName;
    std::vector<std::pair<std::string, TListRefusal>> Values;
};
using TLeftOutValues = std::vector<TLeftOut>;

// One line per field and reason, such as
//   Group: Gym, Pool (its popup list is full: it holds at most 50 values)
// at most eight values a line, then how many more; `separator` between lines.
std::string LeftOutMessage(const TLeftOutValues& leftOut, const std::string& separator = "\n");

// "The popup lists cannot take every value the copy would write:", then
// LeftOutMessage's lines; `work` names the command.
std::string ListsFullText(const std::string& work, const TLeftOutValues& leftOut);
// "2 values added to popup lists. 1 value left out: the popup lists could
// not take them.", the part of each that is not 0; empty when both are.
std::string PopupListsNote(int added, int leftOut);

// Thrown, before anything changes, when values would be left out and the
// caller did not agree to that: ListsFullText, then "Nothing was copied."
// (`done` names what did not happen).
class EListsFull : public std::invalid_argument {
public:
    EListsFull(TLeftOutValues leftOut, const std::string& work, const std::string& done);
    const TLeftOutValues& LeftOut() const { return leftOut_; }

private:
    TLeftOutValues leftOut_;
};

// Admits the values written into the List fields of one database.
class TListValues {
public:
    // Notes the popup values of every List field `db` has now.
    explicit TListValues(TJFILE& db);
    // True when `value` may be written into `field`: it is no List field,
    // the value is empty or listed, or it has just been added to the list.
    // False when the list cannot take it; LeftOut then names it.
    bool Admit(int field, std::string_view value);
    const TLeftOutValues& LeftOut() const { return leftOut_; }
    int Added() const { return added_; }      // values added to popup lists
    int Refused() const { return refused_; }  // writes refused

private:
    using TValues = std::unordered_set<std::string, TTextHash, std::equal_to<>>;
    struct TList {
        TValues Listed;
        std::vector<std::string> Order;  // the popup values as they stand
        TValues Refused;
        size_t Entry = 0;  // in leftOut_, + 1; 0 before the first refusal
    };
    void Refuse(int field, TList& list, std::string_view value, TListRefusal why);

    TJFILE& db_;
    std::unordered_map<int, TList> lists_;  // by List field
    TLeftOutValues leftOut_;
    int added_ = 0;
    int refused_ = 0;
};

// Runs `write` with a TListValues of `target`; afterwards, also when `write`
// throws, `added` and `refused` hold its counts, and `leftOut` (unless null)
// the values it left out.
void WriteAdmitting(TJFILE& target, const std::function<void(TListValues&)>& write, int& added, int& refused,
                    TLeftOutValues* leftOut);
// The values a write would leave out of the popup lists of `target`: `write`
// runs on a copy that borrows the records of `target` and hands them to
// its second argument. A write that the record limit stops tells what it
// met until then.
TLeftOutValues TrialLeftOut(const TJFILE& target, const std::function<void(TJFILE&, TLeftOutValues*)>& write);

// A column of a copy or merge that goes into a List field: the field read,
// the field written (as the target will number it) and the target's popup
// values before the work.
struct TListColumn {
    int Source = 0;
    int Target = 0;
    std::vector<std::string> List;
};
// True when every value of the columns in `records` of `source` (every
// record when null) fits its target's list, so that nothing can be left out;
// false when some might be (only a trial run tells which).
bool ListsTakeAll(const TJFILE& source, const std::vector<int>* records, const std::vector<TListColumn>& columns);

}  // namespace quorvil
