// Renders frames of the real program headless (test driver, current DISPLAY) and writes one to a
// PNG file. Usage: shot [--frame N] [--out FILE] [--raw FILE] [--key FRAME:VK[:up]]... [--yes]
//   --frame N      the frame to capture (default 2: the first frame with waves)
//   --raw FILE     also write the pixels as raw RGB bytes, bottom row first (for tests)
//   --key F:VK     press virtual key VK (decimal or 0x..) before frame F; ":up" releases it
//   --yes          answer the start-up question with Yes instead of No
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/shell.h"
#include "platform/gl.h"
#include "platform/win32_standin/driver.h"
#include "tools/capture/png_write.h"

namespace {

struct Capture {
    int frame;
    int width, height;
    std::vector<unsigned char> rgb;
};

void CaptureFrame(int frame, void* user) {
    Capture* capture = (Capture*)user;
    if (frame != capture->frame) {
        return;
    }
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    capture->width = viewport[2];
    capture->height = viewport[3];
    capture->rgb.assign((size_t)capture->width * capture->height * 3, 0);
    // The hook runs as the program swaps, with the finished frame in the back buffer.
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, capture->width, capture->height, GL_RGB, GL_UNSIGNED_BYTE,
                 capture->rgb.data());
}

int Usage() {
    std::fprintf(stderr,
                 "usage: shot [--frame N] [--out FILE] [--raw FILE] [--key FRAME:VK[:up]]... "
                 "[--yes]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Capture capture = {2, 0, 0, {}};
    const char* out = "limnora-shot.png";
    const char* raw = nullptr;
    int answer = IDNO;

    DriverInstall();
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--frame") && i + 1 < argc) {
            capture.frame = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--out") && i + 1 < argc) {
            out = argv[++i];
        } else if (!std::strcmp(argv[i], "--raw") && i + 1 < argc) {
            raw = argv[++i];
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
    if (capture.rgb.empty()) {
        std::fprintf(stderr, "shot: frame %d was never drawn (exit code %d)\n", capture.frame,
                     code);
        return 1;
    }
    if (!WritePngBottomUp(out, capture.width, capture.height, capture.rgb.data())) {
        return 1;
    }
    if (raw) {
        FILE* file = std::fopen(raw, "wb");
        const size_t written =
            file ? std::fwrite(capture.rgb.data(), 1, capture.rgb.size(), file) : 0;
        if (!file || std::fclose(file) != 0 || written != capture.rgb.size()) {
            std::fprintf(stderr, "shot: cannot write %s\n", raw);
            return 1;
        }
    }
    std::printf("shot: frame %d (%dx%d) written to %s\n", capture.frame, capture.width,
                capture.height, out);
    return 0;
}
