#pragma once
// Small text helpers on 8-bit texts. Upper-casing is UpperCase of
// text_case.h.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

// Tabs become spaces, then spaces are removed at the left, right or both ends.
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string Trim(std::string_view text);
// The text without the blanks and tabs around it, as typed values are read.
std::string_view TrimBlanks(std::string_view text);

// Words are separated by spaces; a word starting with a double quote runs to
// the next double quote (or the end) and may hold spaces; the quotes are not
// part of it.
int WordCount(std::string_view text);
// Word n (from 1), empty when there are fewer words.
std::string NthWord(std::string_view text, int n);

// Replaces every occurrence of `from`, left to right without looking at
// replaced text again; returns the count. An empty `from` replaces nothing.
int ReplaceAll(std::string& text, std::string_view from, std::string_view to);

// "a", "a and b", "a, b and c" for a sentence; "a and b, and c" when an item
// holds an "and" of its own, so that the last one still reads apart. Past
// the first `shown` items only ", ..." follows them.
std::string Listed(const std::vector<std::string>& items, std::size_t shown = std::size_t(-1));
// "a, b, c" for a list in brackets; past the first `shown` items only
// ", ..." follows them.
std::string FirstFew(const std::vector<std::string>& items, std::size_t shown);
// How many names or values a message lists before the rest are "...": more
// make it too long to read.
constexpr std::size_t kItemsShown = 5;

// "1 record", "12 records": a count and its noun, which takes an "s".
std::string Counted(std::size_t count, const char* noun);
// Hashes a text for sets and maps of strings looked up by a view of a cell
// (with std::equal_to<>), without making a string of it.
struct TTextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};

// The text in double quotes.
std::string Quoted(std::string_view text);
// A value as messages name it: in double quotes when it holds a space and
// is not quoted yet, else as it is.
std::string QuotedIfSpaced(const std::string& value);

}  // namespace quorvil
