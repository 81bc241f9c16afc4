// Frame capture through the driver's swap hook, and pixel-class measurements.
#include "tests/support/frame_capture.h"

#include "platform/gl.h"
#include "platform/win32_standin/driver.h"

namespace {

struct CaptureList {
    const int* numbers;
    int count;
    Frame* frames;
};

CaptureList captureList;

void CaptureHook(int frame, void* user) {
    const CaptureList* list = (const CaptureList*)user;
    for (int i = 0; i < list->count; ++i) {
        if (list->numbers[i] != frame) {
            continue;
        }
        Frame* out = &list->frames[i];
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        out->width = viewport[2];
        out->height = viewport[3];
        out->rgb.assign((std::size_t)out->width * out->height * 3, 0);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, out->width, out->height, GL_RGB, GL_UNSIGNED_BYTE, out->rgb.data());
    }
}

}  // namespace

void CaptureFrames(const int* numbers, int count, Frame* frames) {
    captureList = {numbers, count, frames};
    DriverSetSwapHook(CaptureHook, &captureList);
}

bool IsHudYellow(const unsigned char* p) {
    return p[0] == 255 && p[1] == 255 && p[2] == 0;
}

bool IsPlantGreen(const unsigned char* p) {
    return p[1] >= 30 && p[1] > p[0] + 25 && p[1] > p[2] + 25;
}

bool IsLit(const unsigned char* p) {
    return p[0] + p[1] + p[2] > 0;
}

int CountPixels(const Frame& frame, PixelClass test, Region r) {
    int count = 0;
    for (int y = r.y0; y < r.y1 && y < frame.height; ++y) {
        for (int x = r.x0; x < r.x1 && x < frame.width; ++x) {
            count += test(frame.At(x, y)) ? 1 : 0;
        }
    }
    return count;
}

int CountPixels(const Frame& frame, PixelClass test) {
    return CountPixels(frame, test, {0, 0, frame.width, frame.height});
}

Region BoundingBox(const Frame& frame, PixelClass test) {
    Region box = {frame.width, frame.height, 0, 0};
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            if (test(frame.At(x, y))) {
                box.x0 = x < box.x0 ? x : box.x0;
                box.y0 = y < box.y0 ? y : box.y0;
                box.x1 = x + 1 > box.x1 ? x + 1 : box.x1;
                box.y1 = y + 1 > box.y1 ? y + 1 : box.y1;
            }
        }
    }
    if (box.x1 == 0) {
        return {0, 0, 0, 0};
    }
    return box;
}
