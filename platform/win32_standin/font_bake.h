// The layout of the baked glyph file (little-endian, as both the native and the wasm build are),
// shared by its writer (font_bake_write.cpp, native) and its reader (font_bake.cpp, both builds).
//   header: magic[8] "LGLYPHS1", faceName[32], int32 weight (0 as 400), int32 italic (0 or 1),
//           float32 deviation, uint32 code count (256), uint32 offset of each code's record
//   record: float64 advance, uint32 outwardLeft, uint32 contours, uint32 points, uint32 extra,
//           uint32 corners, uint32 contourEnds[contours], float64 x, y [points + extra],
//           uint16 corner point index [corners]
// "points" are the contours' points in order; "extra" are the tessellator's own vertices, which
// only corners use. Doubles keep the native path's values bit for bit.
#pragma once

#include <cstddef>

static const char GlyphBakeMagic[8] = {'L', 'G', 'L', 'Y', 'P', 'H', 'S', '1'};

enum {
    GlyphBakeCodes = 256,        // every code of the code page
    GlyphBakeNameSize = 32,      // the face name field, as LF_FACESIZE
    GlyphBakeHeaderSize = 56,    // up to the offset table
    GlyphBakeRecordSize = 28,    // a record before its arrays
    GlyphBakeMaxIndex = 0xFFFF,  // corner indices are 16 bits
};
