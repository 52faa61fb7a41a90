#include "dxf/entities.h"

#include "dxf/group_codes.h"

#include <array>
#include <string_view>

namespace konversi::detail {

namespace {

// What the value of a (0, NAME) pair may be: the entity types, in the order
// of EntityType, then the section marks.
constexpr std::array<std::string_view, 8> zeroPairNames = {
    "POINT", "POLYLINE", "VERTEX", "SEQEND", "LWPOLYLINE", "SECTION", "ENDSEC", "EOF"};
static_assert(zeroPairNames[static_cast<std::size_t>(EntityType::Point)] == "POINT" &&
              zeroPairNames[static_cast<std::size_t>(EntityType::Polyline)] == "POLYLINE" &&
              zeroPairNames[static_cast<std::size_t>(EntityType::Vertex)] == "VERTEX" &&
              zeroPairNames[static_cast<std::size_t>(EntityType::SeqEnd)] == "SEQEND" &&
              zeroPairNames[static_cast<std::size_t>(EntityType::LwPolyline)] == "LWPOLYLINE");
constexpr std::size_t sectionStart = 5;
constexpr std::size_t sectionEnd = 6;
constexpr std::size_t fileEnd = 7;
constexpr std::string_view entitiesSection[] = {"ENTITIES"};

}  // namespace

bool DxfEntities::next()
{
    while (!ended_) {
        if (!atZeroPair_ && !toZeroPair()) break;
        atZeroPair_ = false;
        if (enterZeroPair()) return true;
    }
    ended_ = true;
    return false;
}

bool DxfEntities::toZeroPair()
{
    while (awaitingName_) {
        if (!pairs_.nextCode()) return false;
        if (pairs_.code() == dxf::entityStart) return true;
        if (pairs_.code() == dxf::sectionName) {
            counting_ = pairs_.nameAmong(entitiesSection) == 0;
            awaitingName_ = false;
        } else {
            pairs_.skip();
        }
    }
    return pairs_.skipTo(dxf::entityStart);
}

bool DxfEntities::enterZeroPair()
{
    const std::size_t name = pairs_.nameAmong(zeroPairNames);
    awaitingName_ = false;
    if (name == fileEnd) {
        ended_ = true;
    } else if (name == sectionStart) {
        counting_ = false;
        awaitingName_ = true;
    } else if (name == sectionEnd) {
        counting_ = false;
    } else if (counting_) {
        type_ = name < sectionStart ? static_cast<EntityType>(name) : EntityType::Other;
        paperSpace_ = false;
        return true;
    }
    return false;
}

}  // namespace konversi::detail
