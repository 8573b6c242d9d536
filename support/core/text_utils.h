#pragma once
// Small text helpers on 8-bit texts. Positions count from 1, as the callers'
// texts do; 0 means "not found". Upper-casing is UpperCase of text_case.h.
#include <cstddef>
#include <string>
#include <string_view>

namespace quorvil {

// Exactly n characters: spaces appended, or the text cut.
std::string PadOrCut(std::string_view text, std::size_t n);
// The last n characters (the whole text when it is shorter).
std::string RightPart(std::string_view text, std::size_t n);

// Tabs become spaces, then spaces are removed at the left, right or both ends.
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string Trim(std::string_view text);

// Words are separated by spaces; a word starting with a double quote runs to
// the next double quote (or the end) and may hold spaces; the quotes are not
// part of it.
int WordCount(std::string_view text);
// Word n (from 1), empty when there are fewer words.
std::string NthWord(std::string_view text, int n);

// Replaces every occurrence of `from`, left to right without looking at
// replaced text again; returns the count. An empty `from` replaces nothing.
int ReplaceAll(std::string& text, std::string_view from, std::string_view to);

// Position of `what` at or after position `start`, 0 when absent.
std::size_t FindFrom(char what, std::string_view text, std::size_t start);
std::size_t FindFrom(std::string_view what, std::string_view text, std::size_t start);

// `word` with "s" appended unless count is 1.
std::string Plural(std::string_view word, long long count);

}  // namespace quorvil
