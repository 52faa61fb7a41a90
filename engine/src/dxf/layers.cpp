#include "dxf/layers.h"

#include "dxf/layer_name.h"

#include "konversi/error.h"

#include <algorithm>

namespace konversi::detail {

namespace {

bool refusedInLayerName(char c)
{
    constexpr std::string_view refused = "<>/\\\":;?*|=`";
    return static_cast<unsigned char>(c) < 32 || refused.find(c) != std::string_view::npos;
}

}  // namespace

std::string fileLayerName(std::string baseName)
{
    for (char& c : baseName) {
        if (static_cast<unsigned char>(c) < 32) c = '_';
    }
    return baseName;
}

std::string_view CodeLayers::layerOf(std::string_view code)
{
    if (code == code_) return layer_;
    code_.assign(code);
    constexpr std::string_view blanks = " \t";
    const std::size_t first = std::min(code.find_first_not_of(blanks), code.size());
    const std::string_view word = code.substr(first, code.find_first_of(blanks, first) - first);
    layer_.assign(word.substr(0, maxLength));
    std::replace_if(layer_.begin(), layer_.end(), refusedInLayerName, '_');
    return layer_;
}

LayerTable::LayerTable()
{
    add("0");
}

void LayerTable::add(std::string_view name)
{
    // Points come in runs of one layer: most adds are the last name again.
    if (name == last_) return;
    last_.assign(name);
    std::string folded = foldedLayerName(name);
    if (folded_.contains(folded)) return;
    if (names_.size() == maxLayers) throw Error(ErrorCode::TooManyLayers);
    folded_.insert(std::move(folded));
    names_.emplace_back(name);
}

}  // namespace konversi::detail
