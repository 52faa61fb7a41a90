#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace konversi::detail {

// The layer of an entity, read as `named`: layer 0 when it names none.
inline std::string_view entityLayer(const std::string& named)
{
    return named.empty() ? std::string_view("0") : std::string_view(named);
}

// The layers whose entities a conversion reads (all when none is named),
// compared as DXF compares layer names: without regard to letter case.
class LayerFilter {
public:
    explicit LayerFilter(const std::vector<std::string>& layers) : layers_(layers) {}
    bool accepts(std::string_view layer) const;

private:
    const std::vector<std::string>& layers_;
};

}  // namespace konversi::detail
