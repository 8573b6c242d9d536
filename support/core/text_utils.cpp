#include "text_utils.h"

#include <algorithm>
#include <vector>

namespace quorvil {

namespace {

std::string TabsToSpaces(std::string_view text)
{
    std::string out(text);
    std::replace(out.begin(), out.end(), '\t', ' ');
    return out;
}

std::vector<std::string> Words(std::string_view text)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (true) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        if (i >= text.size())
            return words;
        std::size_t end;
        if (text[i] == '"') {
            end = std::min(text.find('"', i + 1), text.size());
            words.emplace_back(text.substr(i + 1, end - i - 1));
            ++end;  // past the closing quote
        } else {
            end = std::min(text.find(' ', i), text.size());
            words.emplace_back(text.substr(i, end - i));
        }
        i = end;
    }
}

}  // namespace

std::string TrimLeft(std::string_view text)
{
    std::string out = TabsToSpaces(text);
    out.erase(0, std::min(out.find_first_not_of(' '), out.size()));
    return out;
}

std::string TrimRight(std::string_view text)
{
    std::string out = TabsToSpaces(text);
    const std::size_t last = out.find_last_not_of(' ');
    out.resize(last == std::string::npos ? 0 : last + 1);
    return out;
}

std::string Trim(std::string_view text)
{
    return TrimLeft(TrimRight(text));
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

int WordCount(std::string_view text)
{
    return static_cast<int>(Words(text).size());
}

std::string NthWord(std::string_view text, int n)
{
    const std::vector<std::string> words = Words(text);
    if (n < 1 || static_cast<std::size_t>(n) > words.size())
        return {};
    return words[static_cast<std::size_t>(n) - 1];
}

int ReplaceAll(std::string& text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return 0;
    int count = 0;
    std::string out;
    std::size_t done = 0;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, done)) {
        out.append(text, done, at - done).append(to);
        done = at + from.size();
        ++count;
    }
    if (count > 0)
        text = out.append(text, done, std::string::npos);
    return count;
}

std::string Listed(const std::vector<std::string>& items, std::size_t shown)
{
    const std::size_t count = std::min(items.size(), shown);
    bool inner = false;
    for (std::size_t i = 0; i < count; ++i)
        inner = inner || items[i].find(" and ") != std::string::npos;
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            text += i + 1 < items.size() ? ", " : inner ? ", and " : " and ";
        text += items[i];
    }
    return items.size() > count ? text + ", ..." : text;
}

std::string FirstFew(const std::vector<std::string>& items, std::size_t shown)
{
    std::string text;
    for (std::size_t i = 0; i < items.size() && i < shown; ++i)
        text += (i > 0 ? ", " : "") + items[i];
    return items.size() > shown ? text + ", ..." : text;
}

std::string Counted(std::size_t count, const char* noun)
{
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

std::string QuotedIfSpaced(const std::string& value)
{
    if (value.find(' ') != std::string::npos && value.front() != '"')
        return Quoted(value);
    return value;
}

}  // namespace quorvil
