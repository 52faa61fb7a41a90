#include "dxf/layer_filter.h"

#include "dxf/layer_name.h"

#include <algorithm>

namespace konversi::detail {

bool LayerFilter::accepts(std::string_view layer) const
{
    return layers_.empty() ||
           std::any_of(layers_.begin(), layers_.end(),
                       [layer](const std::string& name) { return sameLayerName(name, layer); });
}

}  // namespace konversi::detail
