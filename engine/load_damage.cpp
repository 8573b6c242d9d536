#include "load_damage.h"

#include "text_utils.h"

#include <vector>

namespace quorvil {

namespace {

// 1234567 as "1,234,567": byte counts a user reads.
std::string Grouped(size_t n)
{
    std::string digits = std::to_string(n);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

std::string Are(int n, const char* what)
{
    return Grouped(size_t(n)) + (n == 1 ? " is " : " are ") + what;
}

// The second sentence: how many records could be read whole.
std::string RecordSentence(const TLoadDamage& d)
{
    const int whole = d.Records - d.CutRecords - d.MissingRecords;
    const std::string all = Grouped(size_t(d.Records));
    if (whole == d.Records)
        return d.Records == 1 ? "Its one record could be read whole." : "All " + all + " records could be read whole.";
    const char* what = d.CutRecords > 0 ? "cut short" : "missing";
    if (d.Records == 1)
        return std::string("Its one record is ") + what + ".";
    if (whole == 0 && (d.CutRecords == 0 || d.MissingRecords == 0))
        return "All " + all + " records are " + what + ".";
    std::vector<std::string> lost;
    if (d.CutRecords > 0)
        lost.push_back(Are(d.CutRecords, "cut short"));
    if (d.MissingRecords > 0)
        lost.push_back(Are(d.MissingRecords, "missing"));
    return (whole == 0 ? std::string("None") : Grouped(size_t(whole))) + " of the " + all +
           " records could be read whole; " + Listed(lost) + ".";
}

// The parts of the file other than the records that it lacks.
std::vector<std::string> DamagedParts(const TLoadDamage& d, TLayout layout)
{
    std::vector<std::string> parts;
    if (d.Header)
        parts.push_back("its header");
    if (d.RecordList)
        parts.push_back("its record list");
    if (d.FieldDefinitions)
        parts.push_back("its field definitions");
    if (d.Chunks)
        parts.push_back(Facts(layout).SavedSettings ? "its popup lists and saved settings" : "its popup lists");
    return parts;
}

}  // namespace

std::string LoadWarningText(const std::string& fileName, const TLoadDamage& d, TLayout layout)
{
    if (!d.Any())
        return {};
    std::vector<std::string> parts = DamagedParts(d, layout);
    if (d.CutRecords > 0 || d.MissingRecords > 0)
        parts.push_back(d.Records == 1 ? "its one record" : "its " + Grouped(size_t(d.Records)) + " records");
    std::string text = fileName.empty() ? std::string("The file") : "The file \"" + fileName + "\"";
    text += " ends early: it holds " + Grouped(d.FileBytes) + (d.FileBytes == 1 ? " byte" : " bytes") +
            ", too few for " + Listed(parts) + ".";
    if (d.Records > 0)
        text += " " + RecordSentence(d);
    return text;
}

std::string ReplaceDamagedQuestion(const std::string& fileName, const TLoadDamage& d, TLayout layout)
{
    if (!d.Any())
        return {};
    const int whole = d.Records - d.CutRecords - d.MissingRecords;
    std::string what;
    if (whole == d.Records)
        what = Listed(DamagedParts(d, layout)) + " could not be read whole";
    else if (d.Records == 1)
        what = "its one record could not be read whole";
    else
        what = (whole == 0 ? std::string("none") : Grouped(size_t(whole))) + " of the " + Grouped(size_t(d.Records)) +
               " records could be read whole";
    return "The file \"" + fileName + "\" opened damaged: " + what +
           ".\r\nReplace the file with what could be read?\r\nSave as writes it to another file instead and leaves "
           "this one as it is.";
}

}  // namespace quorvil
