#include "csv_import_settings.h"

#include "errors.h"
#include "field_types.h"
#include "file_names.h"
#include "ini_file.h"
#include "jfile.h"
#include "text_utils.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

namespace quorvil {

namespace {

const char* const kSection = "JFilePro";
// Read with a default no written value can hold, to tell a missing key.
const char* const kMissing = "\x01";

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (true) {
        const size_t at = text.find(separator, start);
        items.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            return items;
        start = at + 1;
    }
}

int NumberOr(std::string_view text, int fallback)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : fallback;
}

// The export shows line breaks in settings as byte hex CF.
std::string Decoded(std::string text)
{
    std::replace(text.begin(), text.end(), '\xCF', '\n');
    return text;
}

std::string Unquoted(const std::string& text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

// A type name as the export writes it: "STRING", ..., or "[70]".
int TypeCode(const std::string& name)
{
    const int code = TypeCodeByName(name);
    if (code >= 0 || name.size() < 3 || name.front() != '[' || name.back() != ']')
        return code;
    const int number = NumberOr(std::string_view(name).substr(1, name.size() - 2), -1);
    return number >= 0 && number <= 65535 ? number : -1;
}

class TSettingsReader {
public:
    explicit TSettingsReader(const TCsvSettings& settings) : ini_(*settings.Ini) {}
    bool Has(const std::string& key) const { return ini_.ReadString(kSection, key, kMissing) != kMissing; }
    std::string Text(const std::string& key) const { return Decoded(ini_.ReadString(kSection, key)); }
    // "number,text" as the "Find" and "Filter" keys hold them.
    std::pair<int, std::string> FieldAndText(const std::string& key, int fallback) const
    {
        const std::string value = Text(key);
        const size_t comma = value.find(',');
        return {NumberOr(std::string_view(value).substr(0, comma), fallback),
                comma == std::string::npos ? std::string() : value.substr(comma + 1)};
    }

private:
    const TIniFile& ini_;
};

// The last `count` numbers of a comma-separated value and the text before
// them; false when there are fewer.
bool SplitTrailingNumbers(const std::string& value, size_t count, std::string& head, std::vector<int>& numbers)
{
    std::vector<std::string> items = Split(value, ',');
    if (items.size() < count + 1)
        return false;
    numbers.clear();
    for (size_t i = items.size() - count; i < items.size(); ++i)
        numbers.push_back(NumberOr(items[i], 0));
    items.resize(items.size() - count);
    head = items[0];
    for (size_t i = 1; i < items.size(); ++i)
        head += "," + items[i];
    return true;
}

// "name","v1",..,"v5",word,c1,..,c5
void ApplyFilter(TJFILE& db, int s, const std::string& value)
{
    std::string quoted;
    std::vector<int> numbers;
    if (!SplitTrailingNumbers(value, 6, quoted, numbers))
        return;
    // The texts are quoted without doubling: six of them are told apart by
    // the "," between them.
    std::vector<std::string> texts;
    const std::string inner = Unquoted(quoted);
    for (size_t start = 0;;) {
        const size_t at = inner.find("\",\"", start);
        // Cut and read as the database file's filters are, so that a save
        // keeps what the import shows.
        std::string text = inner.substr(start, at == std::string::npos ? std::string::npos : at - start);
        texts.push_back(text == "-*-" && !texts.empty() ? std::string() : text.substr(0, 255));
        if (at == std::string::npos)
            break;
        start = at + 3;
    }
    if (texts.size() != 6)
        return;
    FilterRec rec;
    rec.FilterName = texts[0];
    std::copy(texts.begin() + 1, texts.end(), rec.FilterValues.begin());
    rec.FilterWord = uint16_t(numbers[0]);
    for (size_t k = 0; k < 5; ++k)
        rec.FilterCodes[k] = int8_t(numbers[k + 1]);
    db.SetFilter(s, rec);
}

// "name",f1,f2,f3
void ApplySavedSort(TJFILE& db, int s, const std::string& value)
{
    std::string name;
    std::vector<int> numbers;
    if (!SplitTrailingNumbers(value, 3, name, numbers))
        return;
    db.SetSavedSort(s, Unquoted(name), {uint16_t(numbers[0]), uint16_t(numbers[1]), uint16_t(numbers[2])});
}

// The values of the popup list of field `f`, all of them (a list holds
// kMaxSlots): empty ones (a stray comma) are left out, as a list ends at its
// first empty value.
std::vector<std::string> PopupValues(const TSettingsReader& keys, int f)
{
    std::vector<std::string> values;
    for (std::string& item : Split(keys.Text("Popup" + std::to_string(f)), ','))
        if (!item.empty())
            values.push_back(std::move(item));
    return values;
}

// The values past a list's last slot, quoted, for the message that refuses them.
std::vector<std::string> ValuesPastTheList(const std::vector<std::string>& values)
{
    std::vector<std::string> past;
    for (size_t k = size_t(kMaxSlots); k < values.size(); ++k)
        past.push_back(Quoted(values[k]));
    return past;
}

void ApplyViewSettings(TJFILE& db, const TSettingsReader& keys)
{
    const std::vector<std::string> sort = Split(keys.Text("Sort"), ',');
    for (size_t k = 0; k < 3 && k < sort.size(); ++k)
        db.SetSortField(int(k) + 1, uint16_t(NumberOr(sort[k], 0)));
    const auto [findField, findText] = keys.FieldAndText("Find", 1);
    db.SetFindField(uint16_t(findField));
    db.SetFindText(findText);
    const auto [filterField, filterText] = keys.FieldAndText("Filter", 1);
    db.SetFilterField(uint16_t(filterField));
    db.SetFilterText(filterText);
    db.SetFirstColumn(uint16_t(NumberOr(keys.Text("FirstCol"), 1)));
    db.SetCategoryAndReadOnly(NumberOr(keys.Text("Category"), 0), keys.Text("ReadOnly") == "TRUE");
}

}  // namespace

TCsvSettings::TCsvSettings() = default;
TCsvSettings::~TCsvSettings() = default;

std::unique_ptr<TCsvSettings> ReadCsvSettings(const std::string& csvName)
{
    auto settings = std::make_unique<TCsvSettings>();
    settings->DefName = ForceExtension(csvName, "DEF");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(settings->DefName, ec))
        settings->DefName = ForceExtension(csvName, "def");
    if (!std::filesystem::is_regular_file(settings->DefName, ec))
        return nullptr;
    settings->Ini = std::make_unique<TIniFile>(settings->DefName);
    const TSettingsReader keys(*settings);
    if (!keys.Has("Types"))
        return nullptr;

    const std::string types = keys.Text("Types");
    if (!types.empty())
        for (const std::string& name : Split(types, ',')) {
            const int code = TypeCode(name);
            if (code < 0)
                throw EInOutError("Cannot import \"" + csvName + "\": the settings file \"" + settings->DefName +
                                  "\" names the unknown field type \"" + name + "\".");
            settings->Types.push_back(TFieldType(code));
        }
    const std::vector<std::string> widths = Split(keys.Text("Widths"), ',');
    for (size_t f = 0; f < settings->Types.size(); ++f)
        settings->Widths.push_back(f < widths.size() ? NumberOr(widths[f], 100) : 100);
    settings->Title = keys.Text("Title").substr(0, 31);
    const bool intDate = std::count(settings->Types.begin(), settings->Types.end(), TFieldType::IntDate) > 0;
    settings->Layout = intDate || keys.Has("Filter1") || keys.Has("Sort1") ? TLayout::JFile55 : TLayout::JFilePro4;
    return settings;
}

void CheckCsvSettings(const std::string& csvName, const TCsvSettings& settings, TLayout layout)
{
    const TSettingsReader keys(settings);
    const std::string prefix = "Cannot import \"" + csvName + "\": the settings file \"" + settings.DefName + "\" ";
    for (size_t i = 0; i < settings.Types.size(); ++i) {
        const int f = int(i) + 1;
        const std::vector<std::string> values = settings.Types[i] == TFieldType::List ? PopupValues(keys, f)
                                                                                      : std::vector<std::string>();
        for (const std::string& value : values)
            if (ReadsAsChunkHeader(value))
                throw EInOutError(prefix + "holds the popup value \"" + value + "\" for field " + std::to_string(f) +
                                  ", which would read back as a chunk header.");
        if (values.size() > size_t(kMaxSlots))
            throw EInOutError(prefix + "holds " + std::to_string(values.size()) + " popup values for field " +
                              std::to_string(f) + "; a list holds " + std::to_string(kMaxSlots) + ", so " +
                              Listed(ValuesPastTheList(values), kItemsShown) +
                              " would be lost. Remove values from its line \"Popup" + std::to_string(f) +
                              "\" to import it.");
        const size_t longest = Facts(layout).LongestValue;
        const size_t length = Facts(layout).SavedSettings ? keys.Text("Default" + std::to_string(f)).size() : 0;
        if (length > longest)
            throw EInOutError(prefix + "holds a default of " + std::to_string(length) + " characters for field " +
                              std::to_string(f) + "; a cell holds at most " + std::to_string(longest) + ".");
    }
}

void ApplyCsvSettings(TJFILE& db, const TCsvSettings& settings)
{
    const TSettingsReader keys(settings);
    ApplyViewSettings(db, keys);
    for (int f = 1; f <= db.FieldCount(); ++f) {
        if (db.GetFieldType(f) != TFieldType::List)
            continue;
        const std::vector<std::string> values = PopupValues(keys, f);
        for (size_t k = 0; k < values.size() && k < size_t(kMaxSlots); ++k)
            db.SetPopupItem(f, int(k) + 1, values[k]);
    }
    if (!Facts(db.Layout()).SavedSettings)
        return;
    for (int s = 1; s <= 5; ++s) {
        ApplyFilter(db, s, keys.Text("Filter" + std::to_string(s)));
        ApplySavedSort(db, s, keys.Text("Sort" + std::to_string(s)));
    }
    for (int f = 1; f <= db.FieldCount(); ++f)
        db.SetDefault(f, keys.Text("Default" + std::to_string(f)));
}

}  // namespace quorvil
