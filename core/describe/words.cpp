#include "describe/words.h"

#include <algorithm>
#include <vector>

namespace tavrik::describe {

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string inQuotes(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

std::size_t editDistance(std::string_view a, std::string_view b) {
    // Optimal string alignment: insertions, deletions, substitutions and swaps of neighbours.
    const std::size_t n = a.size();
    const std::size_t m = b.size();
    std::vector<std::size_t> d((n + 1) * (m + 1));
    const auto at = [m, &d](std::size_t i, std::size_t j) -> std::size_t& {
        return d[i * (m + 1) + j];
    };
    for (std::size_t i = 0; i <= n; ++i) at(i, 0) = i;
    for (std::size_t j = 0; j <= m; ++j) at(0, j) = j;
    for (std::size_t i = 1; i <= n; ++i) {
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t cost = lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1;
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + cost});
            if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2]) &&
                lower(a[i - 2]) == lower(b[j - 1])) {
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
            }
        }
    }
    return at(n, m);
}

std::string closestWord(std::string_view word, std::span<const std::string> candidates) {
    word = trim(word);
    if (word.empty()) return {};  // every short candidate would be "close"
    const std::size_t limit = word.size() <= 4 ? 1 : word.size() <= 8 ? 2 : 3;
    std::string best;
    std::size_t bestDistance = limit + 1;
    for (const std::string& c : candidates) {
        const std::size_t d = editDistance(c, word);
        if (d < bestDistance) {
            bestDistance = d;
            best = c;
        }
    }
    return best;
}

}  // namespace tavrik::describe
