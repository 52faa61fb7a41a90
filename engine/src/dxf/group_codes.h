#pragma once

#include <string_view>

// What the group codes and flags that the DXF readers look at mean, in one
// place, as ezdxf's lldxf/types.py and libdxfrw's dxfreader keep them: call
// sites ask here rather than keep a constant of their own. Every other group
// is passed over.
namespace konversi::detail::dxf {

inline constexpr int entityStart = 0;  // an entity's type, or SECTION, ENDSEC, EOF
inline constexpr int sectionName = 2;  // after SECTION: ENTITIES, TABLES...
inline constexpr int layer = 8;
inline constexpr int x = 10;
inline constexpr int y = 20;
inline constexpr int z = 30;           // absent: 0; a POLYLINE's own z is its elevation
inline constexpr int elevation = 38;   // an LWPOLYLINE's z
inline constexpr int paperSpace = 67;  // 1: in paper space; absent or 0: in model space
inline constexpr int flags = 70;

// POLYLINE flags (group 70).
inline constexpr int closedFlag = 1;
inline constexpr int polyline3dFlag = 8;
inline constexpr int polygonMeshFlag = 16;
inline constexpr int polyfaceMeshFlag = 64;
// VERTEX flags: a polyface mesh's face record has the first without the second.
inline constexpr int polyfaceRecordFlag = 128;
inline constexpr int meshVertexFlag = 64;

// How every binary DXF starts: its first line, then CR LF and byte 26.
inline constexpr std::string_view binarySentinel = "AutoCAD Binary DXF";
inline constexpr std::string_view binaryStart = "AutoCAD Binary DXF\r\n\x1a";

}  // namespace konversi::detail::dxf
