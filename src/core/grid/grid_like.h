#pragma once
// The "like" operator of grid expressions: "%" matches any run of characters
// (none included), "_" exactly one character; everything else matches itself,
// case-sensitively. Text and pattern are UTF-8; "_" takes a whole character.

#include <string>
#include <string_view>
#include <vector>

namespace zorv::gridimpl {

// A pattern prepared once for many matches: patterns without "_" become a
// prefix, a suffix and substrings searched in order.
class LikePattern {
public:
    LikePattern() = default;
    explicit LikePattern(std::string pattern);
    bool matches(std::string_view text) const;

private:
    std::string m_pattern;
    bool m_simple = false;            // no "_": the fields below describe the pattern
    std::vector<std::string> m_parts; // the text between "%" signs
};

// Matches without preparation, for patterns that change from row to row.
bool likeMatch(std::string_view text, std::string_view pattern);

} // namespace zorv::gridimpl
