#include "dxf/entities.h"

#include "dxf/group_codes.h"

#include <array>
#include <string_view>
#include <utility>

namespace konversi::detail {

namespace {

EntityType entityType(std::string_view name)
{
    constexpr std::array<std::pair<std::string_view, EntityType>, 5> types = {{
        {"POINT", EntityType::Point},
        {"POLYLINE", EntityType::Polyline},
        {"VERTEX", EntityType::Vertex},
        {"SEQEND", EntityType::SeqEnd},
        {"LWPOLYLINE", EntityType::LwPolyline},
    }};
    for (const auto& [known, type] : types) {
        if (known == name) return type;
    }
    return EntityType::Other;
}

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
            counting_ = pairs_.name() == "ENTITIES";
            awaitingName_ = false;
        } else {
            pairs_.skip();
        }
    }
    return pairs_.skipTo(dxf::entityStart);
}

bool DxfEntities::enterZeroPair()
{
    const std::string_view name = pairs_.name();
    awaitingName_ = false;
    if (name == "EOF") {
        ended_ = true;
    } else if (name == "SECTION") {
        counting_ = false;
        awaitingName_ = true;
    } else if (name == "ENDSEC") {
        counting_ = false;
    } else if (counting_) {
        type_ = entityType(name);
        paperSpace_ = false;
        return true;
    }
    return false;
}

}  // namespace konversi::detail
