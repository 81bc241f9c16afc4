// Renders frames of the real program headless (test driver, current DISPLAY) and writes one to a
// PNG file. Usage: shot [--frame N] [--out FILE] [--key FRAME:VK[:up]]... [--yes]
//   --frame N      the frame to capture (default 2: the first frame with waves)
//   --key F:VK     press virtual key VK (decimal or 0x..) before frame F; ":up" releases it
//   --yes          answer the start-up question with Yes instead of No
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/shell.h"
#include "platform/win32_standin/driver.h"
#include "tools/capture/frame_image.h"

namespace {

struct Capture {
    int frame;
    FrameImage image;
};

void CaptureFrame(int frame, void* user) {
    Capture* capture = (Capture*)user;
    // The hook runs as the program swaps, with the finished frame in the back buffer.
    if (frame == capture->frame) {
        FrameImageReadBack(&capture->image);
    }
}

int Usage() {
    std::fprintf(stderr, "usage: shot [--frame N] [--out FILE] [--key FRAME:VK[:up]]... [--yes]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Capture capture = {2, {0, 0, {}}};
    const char* out = "limnora-shot.png";
    int answer = IDNO;

    DriverInstall();
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--frame") && i + 1 < argc) {
            capture.frame = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--out") && i + 1 < argc) {
            out = argv[++i];
        } else if (!std::strcmp(argv[i], "--yes")) {
            answer = IDYES;
        } else if (!std::strcmp(argv[i], "--key") && i + 1 < argc) {
            char* rest = nullptr;
            const int frame = (int)std::strtol(argv[++i], &rest, 10);
            if (*rest != ':') {
                return Usage();
            }
            const int vk = (int)std::strtol(rest + 1, &rest, 0);
            DriverKeyAt(frame, vk, std::strcmp(rest, ":up") == 0 ? 0 : 1, 0);
        } else {
            return Usage();
        }
    }
    if (capture.frame < 1) {
        return Usage();
    }

    DriverAnswerBox(answer);
    DriverSetSwapHook(CaptureFrame, &capture);
    DriverStopAfter(capture.frame);
    const int code = WinMain(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL);
    if (capture.image.rgb.empty()) {
        std::fprintf(stderr, "shot: frame %d was never drawn (exit code %d)\n", capture.frame,
                     code);
        return 1;
    }
    char error[512];
    if (!FrameImageWritePng(out, &capture.image, error, sizeof error)) {
        std::fprintf(stderr, "shot: %s\n", error);
        return 1;
    }
    std::printf("shot: frame %d (%dx%d) written to %s\n", capture.frame, capture.image.width,
                capture.image.height, out);
    return 0;
}
