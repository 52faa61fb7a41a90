#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace konversi::detail {

// The layer txt2poly names after the input file: its base name, with bytes
// below 32, which would break the DXF's line structure, written as "_".
std::string fileLayerName(std::string baseName);

// Layer names made from point codes, the last one kept, since a survey file
// holds long runs of one code.
class CodeLayers {
public:
    // AutoCAD keeps no longer layer name.
    static constexpr std::size_t maxLength = 255;

    // The layer of a code: its first word, cut to maxLength, with the
    // characters AutoCAD refuses in a layer name (<>/\":;?*|=`) and bytes
    // below 32 written as "_"; "" for a code without a word. Valid until the
    // next call.
    std::string_view layerOf(std::string_view code);

private:
    std::string code_;
    std::string layer_;
};

// The layers a drawing uses, each once, whatever its case (DXF readers do
// not tell NOMOR from nomor), in the order first used, after layer 0.
class LayerTable {
public:
    // More would make the drawing's table, and this one, grow without end.
    static constexpr std::size_t maxLayers = 10000;

    LayerTable();
    // Error 9 when that makes more than maxLayers.
    void add(std::string_view name);
    const std::vector<std::string>& names() const noexcept { return names_; }

private:
    std::vector<std::string> names_;
    std::unordered_set<std::string> folded_;  // the names in upper case
    std::string last_;                        // the name added last
};

}  // namespace konversi::detail
