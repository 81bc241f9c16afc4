// Frame reading for framediff: PNG through libpng's simplified API, PPM by hand. A PPM's header is
// checked before its size is trusted, and a file shorter than its header promises is an error.
#include "tools/capture/frame_image.h"

#include <png.h>

#include <cstdio>
#include <cstring>

// Reads one header number of a PPM (after whitespace and # comments); -1 when there is none or
// it exceeds 65535 (neither sides nor maxval may be larger).
static long PpmNumber(FILE* file) {
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

static int ReadPpm(FILE* file, const char* path, FrameImage* image, char* error, int errorSize) {
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
    image->rgb.resize((size_t)width * height * 3);
    if (std::fread(image->rgb.data(), 1, image->rgb.size(), file) != image->rgb.size()) {
        std::snprintf(error, errorSize, "%s: PPM pixels end early", path);
        image->rgb.clear();
        return 0;
    }
    image->width = (int)width;
    image->height = (int)height;
    return 1;
}

static int ReadPng(const char* path, FrameImage* image, char* error, int errorSize) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path)) {
        std::snprintf(error, errorSize, "%s: %s", path, png.message);
        return 0;
    }
    if (png.width > FrameImageMaxSide || png.height > FrameImageMaxSide) {
        std::snprintf(error, errorSize, "%s: PNG of %ux%u is too large", path, png.width,
                      png.height);
        png_image_free(&png);
        return 0;
    }
    png.format = PNG_FORMAT_RGB;
    image->rgb.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image->rgb.data(), 0, nullptr)) {
        std::snprintf(error, errorSize, "%s: %s", path, png.message);
        image->rgb.clear();
        return 0;
    }
    image->width = (int)png.width;
    image->height = (int)png.height;
    return 1;
}

int FrameImageRead(const char* path, FrameImage* image, char* error, int errorSize) {
    image->width = 0;
    image->height = 0;
    image->rgb.clear();
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        std::snprintf(error, errorSize, "%s: cannot open", path);
        return 0;
    }
    unsigned char magic[8] = {0};
    const size_t got = std::fread(magic, 1, sizeof magic, file);
    int ok = 0;
    if (got >= 2 && magic[0] == 'P' && magic[1] == '6') {
        std::fseek(file, 2, SEEK_SET);
        ok = ReadPpm(file, path, image, error, errorSize);
        std::fclose(file);
    } else {
        std::fclose(file);
        if (got == sizeof magic && png_sig_cmp(magic, 0, sizeof magic) == 0) {
            ok = ReadPng(path, image, error, errorSize);
        } else {
            std::snprintf(error, errorSize, "%s: neither PNG nor binary PPM", path);
        }
    }
    return ok;
}
