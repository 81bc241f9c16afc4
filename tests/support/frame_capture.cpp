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

int IsPlantGreen(const unsigned char* p) {
    return p[1] >= 30 && p[1] > p[0] + 25 && p[1] > p[2] + 25;
}

int IsLit(const unsigned char* p) {
    return p[0] + p[1] + p[2] > 0;
}

int CountPixels(const FrameImage& frame, PixelRule rule, PixelBox box) {
    return FrameImageFind(&frame, box, rule, nullptr);
}

int CountPixels(const FrameImage& frame, PixelRule rule) {
    return FrameImageFind(&frame, {0, 0, frame.width, frame.height}, rule, nullptr);
}

PixelBox BoundingBox(const FrameImage& frame, PixelRule rule) {
    PixelBox box;
    FrameImageFind(&frame, {0, 0, frame.width, frame.height}, rule, &box);
    return box;
}
