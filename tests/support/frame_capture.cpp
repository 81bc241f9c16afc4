// Frame capture through the driver's swap hook, and pixel-class measurements.
#include "tests/support/frame_capture.h"

#include "platform/win32_standin/driver.h"

namespace {

struct CaptureList {
    const int* numbers;
    int count;
    FrameImage* frames;
};

CaptureList captureList;

void CaptureHook(int frame, void* user) {
    const CaptureList* list = (const CaptureList*)user;
    for (int i = 0; i < list->count; ++i) {
        if (list->numbers[i] != frame) {
            continue;
        }
        FrameImageReadBack(&list->frames[i]);
    }
}

}  // namespace

void CaptureFrames(const int* numbers, int count, FrameImage* frames) {
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

int CountPixels(const FrameImage& frame, PixelClass test, PixelBox r) {
    int count = 0;
    for (int y = r.y0; y < r.y1 && y < frame.height; ++y) {
        for (int x = r.x0; x < r.x1 && x < frame.width; ++x) {
            count += test(frame.At(x, y)) ? 1 : 0;
        }
    }
    return count;
}

int CountPixels(const FrameImage& frame, PixelClass test) {
    return CountPixels(frame, test, {0, 0, frame.width, frame.height});
}

PixelBox BoundingBox(const FrameImage& frame, PixelClass test) {
    PixelBox box = {frame.width, frame.height, 0, 0};
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
