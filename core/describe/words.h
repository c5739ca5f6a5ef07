// Small text helpers shared by the parsers and describers of this folder.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace tavrik::describe {

// The text without leading and trailing blanks (spaces and tabs).
std::string_view trim(std::string_view s);
// The text in double quotes, for error messages.
std::string inQuotes(std::string_view s);
// ASCII case-insensitive equality.
bool equalsIgnoringCase(std::string_view a, std::string_view b);
// Edit distance of the two texts compared case-insensitively (ASCII letters): insertions,
// deletions, substitutions and swaps of neighbouring characters count one each.
std::size_t editDistance(std::string_view a, std::string_view b);
// The candidate closest to a word that matched none, to suggest in an error: edit distance at
// most 1 for words up to 4 characters, 2 up to 8, else 3; empty when none is that close or the
// word is blank.
std::string closestWord(std::string_view word, std::span<const std::string> candidates);

}  // namespace tavrik::describe
