#pragma once
// Small text helpers on 8-bit texts. Upper-casing is UpperCase of
// text_case.h.
#include <cstddef>
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

}  // namespace quorvil
