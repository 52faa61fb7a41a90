#pragma once

#include "dxf_pairs.h"

#include <optional>

namespace konversi::detail {

// The entity types the strict readers act on; every other is Other.
enum class EntityType { Point, Polyline, Vertex, SeqEnd, LwPolyline, Other };

// Walks the entities of a DXF file by its group codes: those of the ENTITIES
// section only, so that the points of block definitions and the layer table
// are not taken for drawn ones. A file without sections, such as txt2point
// writes, counts whole. Reading stops at the (0, EOF) pair.
class DxfEntities {
public:
    explicit DxfEntities(SequentialReader& input) : pairs_(input) {}

    // Moves to the next entity and returns its type; nothing at the end.
    std::optional<EntityType> next();

    // The code of the current entity's next group, whose value the caller
    // then reads from values(); nothing once the entity has ended.
    std::optional<int> nextGroup();
    DxfPairs& values() { return pairs_; }

private:
    // Reads the value of a (0, NAME) pair and moves the section state on;
    // the entity's type when it starts one that counts.
    std::optional<EntityType> enterZeroPair();

    DxfPairs pairs_;
    bool atZeroPair_ = false;  // a code 0 was read, its value not yet
    bool ended_ = false;
    bool counting_ = true;       // entities here count
    bool awaitingName_ = false;  // a SECTION began: its (2, NAME) decides counting_
};

}  // namespace konversi::detail
