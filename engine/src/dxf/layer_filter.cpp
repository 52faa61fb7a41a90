#include "dxf/layer_filter.h"

#include <algorithm>

namespace konversi::detail {

namespace {

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameLayer(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return upper(x) == upper(y); });
}

}  // namespace

bool LayerFilter::accepts(std::string_view layer) const
{
    return layers_.empty() ||
           std::any_of(layers_.begin(), layers_.end(),
                       [layer](const std::string& name) { return sameLayer(name, layer); });
}

}  // namespace konversi::detail
