// Frame images without libpng (frame_image.h): pixel search, the read-back from GL and binary PPM.
// A PPM's header is checked before its size is trusted, and a file shorter than its header promises
// is an error.
#include "tools/capture/frame_image.h"

#include <cstring>

#include "platform/gl.h"

void FrameImageReadBack(FrameImage* image) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    image->width = viewport[2];
    image->height = viewport[3];
    const std::size_t stride = (std::size_t)image->width * 3;
    std::vector<unsigned char> rows(stride * image->height);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(viewport[0], viewport[1], image->width, image->height, GL_RGB, GL_UNSIGNED_BYTE,
                 rows.data());
    image->rgb.resize(rows.size());
    for (int y = 0; y < image->height; ++y) {
        std::memcpy(&image->rgb[(std::size_t)y * stride],
                    &rows[(std::size_t)(image->height - 1 - y) * stride], stride);
    }
}

int FrameImageFind(const FrameImage* image, PixelBox window, PixelRule rule, PixelBox* found) {
    const int x1 = window.x1 < image->width ? window.x1 : image->width;
    const int y1 = window.y1 < image->height ? window.y1 : image->height;
    PixelBox box = {x1, y1, 0, 0};
    int count = 0;
    for (int y = window.y0 > 0 ? window.y0 : 0; y < y1; ++y) {
        for (int x = window.x0 > 0 ? window.x0 : 0; x < x1; ++x) {
            if (!rule(image->At(x, y))) {
                continue;
            }
            ++count;
            box.x0 = x < box.x0 ? x : box.x0;
            box.y0 = y < box.y0 ? y : box.y0;
            box.x1 = x + 1 > box.x1 ? x + 1 : box.x1;
            box.y1 = y + 1 > box.y1 ? y + 1 : box.y1;
        }
    }
    if (found) {
        *found = count > 0 ? box : PixelBox{0, 0, 0, 0};
    }
    return count;
}

int FrameImageWritePpm(const char* path, const FrameImage* image, char* error, int errorSize) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        std::snprintf(error, errorSize, "%s: cannot create", path);
        return 0;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", image->width, image->height);
    const int written =
        std::fwrite(image->rgb.data(), 1, image->rgb.size(), file) == image->rgb.size();
    if (std::fclose(file) != 0 || !written) {
        std::snprintf(error, errorSize, "%s: cannot write", path);
        return 0;
    }
    return 1;
}

// Reads one header number of a PPM (after whitespace and # comments); -1 when there is none or
// it exceeds 65535 (neither sides nor maxval may be larger).
static long PpmNumber(std::FILE* file) {
    int c = std::fgetc(file);
    for (;;) {
        if (c == '#') {
            while (c != '\n' && c != EOF) {
                c = std::fgetc(file);
            }
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            c = std::fgetc(file);
        } else {
            break;
        }
    }
    if (c < '0' || c > '9') {
        return -1;
    }
    long value = 0;
    while (c >= '0' && c <= '9') {
        value = value * 10 + (c - '0');
        if (value > 65535) {
            return -1;
        }
        c = std::fgetc(file);
    }
    // Exactly one whitespace byte ends the number; after maxval the pixels begin.
    return (c == ' ' || c == '\t' || c == '\r' || c == '\n') ? value : -1;
}

int FrameImageReadPpm(std::FILE* file, const char* path, FrameImage* image, char* error,
                      int errorSize) {
    const long width = PpmNumber(file);
    const long height = PpmNumber(file);
    const long maxval = PpmNumber(file);
    if (width < 1 || height < 1 || width > FrameImageMaxSide || height > FrameImageMaxSide) {
        std::snprintf(error, errorSize, "%s: PPM header without a usable size", path);
        return 0;
    }
    if (maxval != 255) {
        std::snprintf(error, errorSize, "%s: PPM maxval %ld (only 255 is read)", path, maxval);
        return 0;
    }
    image->rgb.resize((std::size_t)width * height * 3);
    if (std::fread(image->rgb.data(), 1, image->rgb.size(), file) != image->rgb.size()) {
        std::snprintf(error, errorSize, "%s: PPM pixels end early", path);
        image->rgb.clear();
        return 0;
    }
    image->width = (int)width;
    image->height = (int)height;
    return 1;
}
