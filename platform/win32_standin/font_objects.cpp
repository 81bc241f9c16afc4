// Font objects of the Win32 stand-in, shared by both backends: CreateFontA records a request,
// SelectObject/DeleteObject keep it per DC; the glyph lists (font.cpp natively, font_web.cpp in the
// browser) read the request of the DC's font.
#include <cstdio>
#include <cstring>

#include "platform/win32_standin/font.h"
#include "platform/win32_standin/internal.h"

enum {
    GlyphFontSlots = 1024,  // live fonts; the program makes one per window and never deletes it
    GlyphFontDcSlots = 64,  // DCs with a font selected
};

// Handle values: a tag, the slot's generation and the slot, so a deleted handle never matches.
static const uintptr_t FontHandleTag = (uintptr_t)0x46 << 26;

// One font object; written by CreateFontA and DeleteObject.
struct GlyphFontSlot {
    int live;             // 1 from CreateFontA to DeleteObject
    unsigned generation;  // bumped at each reuse of the slot, part of the handle
    GlyphFontRequest request;
};

// Which font each DC has selected; written by SelectObject, DeleteObject and GlyphFontForgetDc.
struct GlyphFontDc {
    HDC dc;      // null: free entry
    HFONT font;  // the selected font
};

static GlyphFontSlot FontSlots[GlyphFontSlots];
static GlyphFontDc FontDcs[GlyphFontDcSlots];
static int FontsLive;

// ---- Font objects ------------------------------------------------------------------------------

static HFONT FontHandle(const int slot) {
    const uintptr_t generation = FontSlots[slot].generation & 0xFFFFu;
    return (HFONT)(FontHandleTag | generation << 10 | (uintptr_t)slot);
}

// The slot of a live font handle, or -1.
static int FontSlot(const void* handle) {
    const uintptr_t value = (uintptr_t)handle;
    if ((value & ~(uintptr_t)0x3FFFFFF) != FontHandleTag) {
        return -1;
    }
    const int slot = (int)(value & 0x3FF);
    if (!FontSlots[slot].live || FontHandle(slot) != (HFONT)handle) {
        return -1;
    }
    return slot;
}

static GlyphFontDc* FindDc(const HDC dc) {
    for (int i = 0; i < GlyphFontDcSlots; i++) {
        if (FontDcs[i].dc == dc) {
            return &FontDcs[i];
        }
    }
    return nullptr;
}

HFONT WINAPI CreateFontA(const int height, const int width, const int escapement,
                         const int orientation, const int weight, const DWORD italic,
                         const DWORD underline, const DWORD strikeOut, const DWORD charSet,
                         const DWORD outPrecision, const DWORD clipPrecision, const DWORD quality,
                         const DWORD pitchAndFamily, LPCSTR faceName) {
    SdlLogCall("CreateFontA");
    int slot = 0;
    while (slot < GlyphFontSlots && FontSlots[slot].live) {
        slot++;
    }
    if (slot == GlyphFontSlots) {
        fprintf(stderr, "CreateFontA: all %d font slots are in use\n", GlyphFontSlots);
        return nullptr;
    }
    GlyphFontSlot* const font = &FontSlots[slot];
    GlyphFontRequest* const r = &font->request;
    memset(r, 0, sizeof *r);
    r->height = height;
    r->width = width;
    r->escapement = escapement;
    r->orientation = orientation;
    r->weight = weight;
    r->italic = italic;
    r->underline = underline;
    r->strikeOut = strikeOut;
    r->charSet = charSet;
    r->outPrecision = outPrecision;
    r->clipPrecision = clipPrecision;
    r->quality = quality;
    r->pitchAndFamily = pitchAndFamily;
    if (faceName != nullptr) {
        strncpy(r->faceName, faceName, sizeof r->faceName - 1);
    }
    font->live = 1;
    font->generation++;
    FontsLive++;
    return FontHandle(slot);
}

HGDIOBJ WINAPI SelectObject(const HDC dc, const HGDIOBJ object) {
    SdlLogCall("SelectObject");
    if (dc == nullptr || FontSlot(object) < 0) {
        return nullptr;
    }
    GlyphFontDc* entry = FindDc(dc);
    if (entry == nullptr) {
        entry = FindDc(nullptr);
        if (entry == nullptr) {
            fprintf(stderr, "SelectObject: fonts are selected into %d DCs already\n",
                    GlyphFontDcSlots);
            return nullptr;
        }
        entry->dc = dc;
        entry->font = nullptr;
    }
    const HFONT previous = entry->font;
    entry->font = (HFONT)object;
    return previous;
}

BOOL WINAPI DeleteObject(const HGDIOBJ object) {
    SdlLogCall("DeleteObject");
    const int slot = FontSlot(object);
    if (slot < 0) {
        return FALSE;
    }
    // A DC keeps no handle to a font that is gone: a later glyph build on it fails cleanly.
    for (int i = 0; i < GlyphFontDcSlots; i++) {
        if (FontDcs[i].dc != nullptr && FontDcs[i].font == (HFONT)object) {
            FontDcs[i].dc = nullptr;
            FontDcs[i].font = nullptr;
        }
    }
    FontSlots[slot].live = 0;
    FontsLive--;
    return TRUE;
}

int GlyphFontsLive(void) {
    return FontsLive;
}

int GlyphFontDescribe(const HFONT font, GlyphFontRequest* request) {
    const int slot = FontSlot(font);
    if (slot < 0) {
        return 0;
    }
    *request = FontSlots[slot].request;
    return 1;
}

void GlyphFontForgetDc(const HDC dc) {
    GlyphFontDc* const entry = dc != nullptr ? FindDc(dc) : nullptr;
    if (entry != nullptr) {
        entry->dc = nullptr;
        entry->font = nullptr;
    }
}

unsigned GlyphFontCharacter(const unsigned code) {
    if (code > 0xFF) {
        return 0;
    }
    // The code page's undefined bytes come back as C1 controls, which no face draws.
    const unsigned unicode = SdlCp1252ToUnicode((unsigned char)code);
    return unicode >= 0x80 && unicode <= 0x9F ? 0 : unicode;
}

int GlyphFontSelected(const HDC dc, GlyphFontRequest* request) {
    const GlyphFontDc* const entry = dc != nullptr ? FindDc(dc) : nullptr;
    const int slot = entry != nullptr ? FontSlot(entry->font) : -1;
    if (slot < 0) {
        return 0;
    }
    *request = FontSlots[slot].request;
    return 1;
}
