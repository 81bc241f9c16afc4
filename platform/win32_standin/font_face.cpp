// Face look-up for the font stand-in: a requested family, weight and slant become a face file via
// fontconfig, with the default sans standing in for a family that is not installed.
// Depends on fontconfig only; fontconfig loads its configuration on the first match.
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>

#include "platform/win32_standin/font.h"

// fontconfig's weight for a Windows FW_ weight (both are the OpenType scale; 0 means regular).
static int FontconfigWeight(const int weight) {
    const int openType = weight <= 0 ? FW_NORMAL : (weight > 1000 ? 1000 : weight);
    return FcWeightFromOpenType(openType);
}

// Matches a pattern for the family; null when fontconfig has nothing at all.
static FcPattern* MatchFamily(const char* family, const int weight, const int italic,
                              FcPattern** substituted) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        return nullptr;
    }
    FcPatternAddString(pattern, FC_FAMILY, (const FcChar8*)family);
    FcPatternAddInteger(pattern, FC_WEIGHT, FontconfigWeight(weight));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    // Both substitutions must run before FcFontMatch, or the aliases and defaults are missing.
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (substituted != nullptr) {
        *substituted = pattern;
    } else {
        FcPatternDestroy(pattern);
    }
    return match;
}

// Family names compare as fontconfig compares them: case and blanks do not count.
static int SameFamily(const FcChar8* a, const FcChar8* b) {
    for (;;) {
        while (*a == ' ') {
            a++;
        }
        while (*b == ' ') {
            b++;
        }
        if (FcToLower(*a) != FcToLower(*b)) {
            return 0;
        }
        if (*a == '\0') {
            return 1;
        }
        a++;
        b++;
    }
}

// 1 when one of the match's families is the requested one or a strongly bound alias of it (the
// default families fontconfig appends are weakly bound).
static int MatchHasRequestedFamily(const FcPattern* substituted, const FcPattern* match) {
    FcChar8* matched = nullptr;
    for (int m = 0; FcPatternGetString(match, FC_FAMILY, m, &matched) == FcResultMatch; m++) {
        FcValue value;
        FcValueBinding binding;
        for (int s = 0;
             FcPatternGetWithBinding(substituted, FC_FAMILY, s, &value, &binding) == FcResultMatch;
             s++) {
            if (binding == FcValueBindingStrong && value.type == FcTypeString &&
                SameFamily(value.u.s, matched)) {
                return 1;
            }
        }
    }
    return 0;
}

// Copies the file and index of a match; 0 when the match names no file or the path is too long.
static int TakeFile(const FcPattern* match, GlyphFaceChoice* choice) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) {
        return 0;
    }
    const size_t length = strlen((const char*)file);
    if (length >= sizeof choice->path) {
        return 0;
    }
    memcpy(choice->path, file, length + 1);
    int index = 0;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) {
        index = 0;
    }
    choice->index = index;
    return 1;
}

int GlyphFontMatchFace(const char* family, const int weight, const int italic,
                       GlyphFaceChoice* choice) {
    memset(choice, 0, sizeof *choice);
    const int named = family != nullptr && family[0] != '\0';
    if (named) {
        FcPattern* substituted = nullptr;
        FcPattern* match = MatchFamily(family, weight, italic, &substituted);
        const int found = match != nullptr && MatchHasRequestedFamily(substituted, match) &&
                          TakeFile(match, choice);
        if (match != nullptr) {
            FcPatternDestroy(match);
        }
        if (substituted != nullptr) {
            FcPatternDestroy(substituted);
        }
        if (found) {
            return 1;
        }
    }
    // Whatever fontconfig would put in place of an unknown family depends on its rules; the
    // default sans is the one stand-in that every system has.
    FcPattern* match = MatchFamily("sans-serif", weight, italic, nullptr);
    if (match == nullptr) {
        return 0;
    }
    const int taken = TakeFile(match, choice);
    FcPatternDestroy(match);
    choice->fallback = named;
    return taken;
}
