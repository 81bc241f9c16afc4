// The frame comparison behind compare.h. Two passes: find each corner's HUD text box in both
// frames (their union, widened by the margin), then compare every pixel outside the boxes.
#include "tools/capture/frame_compare.h"

#include <cstring>

static int Inside(const PixelBox* box, int x, int y) {
    return x >= box->x0 && x < box->x1 && y >= box->y0 && y < box->y1;
}

static int ChannelDistance(const unsigned char* p, const unsigned char* q) {
    int largest = 0;
    for (int c = 0; c < 3; ++c) {
        const int d = p[c] > q[c] ? p[c] - q[c] : q[c] - p[c];
        largest = d > largest ? d : largest;
    }
    return largest;
}

int IsHudPixel(const unsigned char* rgb) {
    return rgb[0] == 255 && rgb[1] == 255 && rgb[2] == 0;
}

PixelBox HudCornerWindow(const int corner, const int width, const int height) {
    const int top = height * 15 / 100;
    const int bottom = height - height * 20 / 100;
    PixelBox box = {0, 0, width / 2, top};
    if (corner == HudTopRight) {
        box.x0 = width / 2;
        box.x1 = width;
    } else if (corner == HudBottomLeft) {
        box.y0 = bottom;
        box.y1 = height;
    }
    return box;
}

// Widens box to hold add as well; an empty box holds nothing.
static void Widen(PixelBox* box, const PixelBox* add) {
    if (add->x1 <= add->x0) {
        return;
    }
    if (box->x1 <= box->x0) {
        *box = *add;
        return;
    }
    box->x0 = add->x0 < box->x0 ? add->x0 : box->x0;
    box->y0 = add->y0 < box->y0 ? add->y0 : box->y0;
    box->x1 = add->x1 > box->x1 ? add->x1 : box->x1;
    box->y1 = add->y1 > box->y1 ? add->y1 : box->y1;
}

int FrameDiffRun(const FrameImage* a, const FrameImage* b, const FrameDiffOptions* options,
                 FrameDiff* out) {
    if (a->width != b->width || a->height != b->height || a->width < 1 || a->height < 1) {
        return 0;
    }
    const int width = a->width;
    const int height = a->height;
    std::memset(out, 0, sizeof *out);

    for (int corner = 0; corner < HudCornerCount; ++corner) {
        const PixelBox window = HudCornerWindow(corner, width, height);
        PixelBox* box = &out->hudBox[corner];
        PixelBox found[2];
        out->hudPixels[0][corner] = FrameImageFind(a, window, IsHudPixel, &found[0]);
        out->hudPixels[1][corner] = FrameImageFind(b, window, IsHudPixel, &found[1]);
        Widen(box, &found[0]);
        Widen(box, &found[1]);
        if (box->x1 > box->x0) {
            const int m = options->hudMargin;
            box->x0 = box->x0 - m > 0 ? box->x0 - m : 0;
            box->y0 = box->y0 - m > 0 ? box->y0 - m : 0;
            box->x1 = box->x1 + m < width ? box->x1 + m : width;
            box->y1 = box->y1 + m < height ? box->y1 + m : height;
        }
    }

    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int hud = 0;
            for (int corner = 0; options->wholeFrame == 0 && corner < HudCornerCount && !hud;
                 ++corner) {
                hud = Inside(&out->hudBox[corner], x, y);
            }
            if (hud) {
                continue;
            }
            const size_t at = ((size_t)y * width + x) * 3;
            const unsigned char* p = &a->rgb[at];
            const unsigned char* q = &b->rgb[at];
            out->compared++;
            out->agreeing += ChannelDistance(p, q) <= options->tolerance ? 1 : 0;
            out->lit[0] += (p[0] | p[1] | p[2]) != 0 ? 1 : 0;
            out->lit[1] += (q[0] | q[1] | q[2]) != 0 ? 1 : 0;
        }
    }
    return 1;
}

double FrameDiffAgreement(const FrameDiff* diff) {
    return diff->compared > 0 ? (double)diff->agreeing / (double)diff->compared : 0.0;
}

int FrameDiffHudPresent(const FrameDiff* diff, const FrameDiffOptions* options) {
    for (int corner = 0; corner < HudCornerCount; ++corner) {
        if (diff->hudPixels[0][corner] < options->minHudPixels ||
            diff->hudPixels[1][corner] < options->minHudPixels) {
            return 0;
        }
    }
    return 1;
}
