#include "core/grid/grid_like.h"

#include <algorithm>

namespace zorv::gridimpl {

namespace {

// Bytes of the UTF-8 character that starts with lead byte c (1 for a stray byte).
std::size_t charLen(unsigned char c) {
    if (c < 0xC0)
        return 1;
    if (c < 0xE0)
        return 2;
    if (c < 0xF0)
        return 3;
    return 4;
}

} // namespace

bool likeMatch(std::string_view text, std::string_view pattern) {
    // Greedy matching with one backtrack point (the last "%"): linear in
    // practice, never exponential.
    std::size_t t = 0, p = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '%') {
            starP = ++p;
            starT = t;
        } else if (p < pattern.size() && pattern[p] == '_') {
            t = std::min(text.size(), t + charLen(static_cast<unsigned char>(text[t])));
            ++p;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++t;
            ++p;
        } else if (starP != std::string_view::npos) {
            starT = std::min(text.size(), starT + charLen(static_cast<unsigned char>(text[starT])));
            t = starT;
            p = starP;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '%')
        ++p;
    return p == pattern.size();
}

LikePattern::LikePattern(std::string pattern) : m_pattern(std::move(pattern)) {
    m_simple = m_pattern.find('_') == std::string::npos;
    if (!m_simple)
        return;
    std::string part;
    for (char c : m_pattern) {
        if (c == '%') {
            m_parts.push_back(std::move(part));
            part.clear();
        } else {
            part += c;
        }
    }
    m_parts.push_back(std::move(part));
}

bool LikePattern::matches(std::string_view text) const {
    if (!m_simple)
        return likeMatch(text, m_pattern);
    if (m_parts.size() == 1)
        return text == m_parts.front();
    const std::string &first = m_parts.front();
    const std::string &last = m_parts.back();
    if (text.size() < first.size() + last.size())
        return false;
    if (text.substr(0, first.size()) != first)
        return false;
    if (text.substr(text.size() - last.size()) != last)
        return false;
    std::size_t from = first.size();
    const std::size_t end = text.size() - last.size();
    for (std::size_t i = 1; i + 1 < m_parts.size(); ++i) {
        const std::string &part = m_parts[i];
        if (part.empty())
            continue;
        const std::size_t at = text.substr(0, end).find(part, from);
        if (at == std::string_view::npos)
            return false;
        from = at + part.size();
    }
    return true;
}

} // namespace zorv::gridimpl
