#pragma once

#include "dxf/group_codes.h"
#include "dxf/pairs.h"

namespace konversi::detail {

// The entity types the strict readers act on; every other is Other.
enum class EntityType { Point, Polyline, Vertex, SeqEnd, LwPolyline, Other };

// Walks the entities of a DXF file by its group codes: those of the ENTITIES
// section only, so that the points of block definitions and the layer table
// are not taken for drawn ones. A file without sections, such as txt2point
// writes, counts whole. Reading stops at the (0, EOF) pair.
//
// A cursor: next() and nextGroup() say whether there is one, type() and
// code() what it is. (Returning an optional instead costs a stall on every
// group: the compiler builds it in memory and reads it back at another width.)
class DxfEntities {
public:
    explicit DxfEntities(SequentialReader& input) : pairs_(input) {}

    // Moves to the next entity; false at the end.
    bool next();
    EntityType type() const { return type_; }

    // Moves to the current entity's next group, whose value the caller then
    // reads from values(); false once the entity has ended. The paper-space
    // group (67) is read here and not handed on.
    bool nextGroup()
    {
        while (nextGroupCode()) {
            if (pairs_.code() != dxf::paperSpace) return true;
            paperSpace_ = pairs_.integer() != 0;
        }
        return false;
    }
    // Reads the current entity's groups, handing each to `take(code,
    // values)`, which reads its value from `values` (number(), integer(),
    // text() or skip(), as from DxfPairs) and keeps it: in one pass over the
    // reader's buffer where they lie there in their common form, else group
    // by group. A pass that fails hands the groups over again from the
    // first, so `take` sets what it keeps and adds to nothing.
    template <class Take>
    void readGroups(Take&& take)
    {
        if (!atZeroPair_ && !ended_ && pairs_.readToCode0InBuffer(dxf::paperSpace, take)) {
            atZeroPair_ = true;
            return;
        }
        while (nextGroup())
            take(pairs_.code(), pairs_);
    }
    // True when the groups read so far put the current entity in paper
    // space (67 = 1): a title block or a viewport's frame, not the drawing,
    // and passed over as ezdxf's modelspace() passes over it. DXF puts 67
    // among an entity's common groups, before its own.
    bool inPaperSpace() const { return paperSpace_; }
    int code() const { return pairs_.code(); }
    DxfPairs& values() { return pairs_; }

private:
    // Reads on to the code of the next (0, NAME) pair, and on the way the
    // name of a section that began; false when the file ends first.
    bool toZeroPair();
    // Reads the code of the current entity's next group; false once the
    // entity has ended.
    bool nextGroupCode()
    {
        if (atZeroPair_ || ended_) return false;
        if (!pairs_.nextCode()) {
            ended_ = true;
            return false;
        }
        atZeroPair_ = pairs_.code() == dxf::entityStart;
        return !atZeroPair_;
    }
    // Reads the value of a (0, NAME) pair and moves the section state on;
    // true, with type_ set, when it starts an entity that counts.
    bool enterZeroPair();

    DxfPairs pairs_;
    EntityType type_ = EntityType::Other;
    bool paperSpace_ = false;
    bool atZeroPair_ = false;  // a code 0 was read, its value not yet
    bool ended_ = false;
    bool counting_ = true;       // entities here count
    bool awaitingName_ = false;  // a SECTION began: its (2, NAME) decides counting_
};

}  // namespace konversi::detail
