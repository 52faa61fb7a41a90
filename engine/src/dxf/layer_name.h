#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace konversi::detail {

// DXF compares layer names without regard to the case of ASCII letters. The
// layer filter and the list of a drawing's layers both fold here, so that
// they always agree on which names are one layer.
inline char foldedLayerChar(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string foldedLayerName(std::string_view name)
{
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), foldedLayerChar);
    return folded;
}

inline bool sameLayerName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldedLayerChar(x) == foldedLayerChar(y);
           });
}

}  // namespace konversi::detail
