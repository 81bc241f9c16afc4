// Frame images through libpng (frame_image.h): PNG written row by row, read through libpng's
// simplified API, and the reader that tells PNG from PPM.
#include <png.h>

#include <cstring>

#include "tools/capture/frame_image.h"

int FrameImageWritePng(const char* path, const FrameImage* image, char* error, int errorSize) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        std::snprintf(error, errorSize, "%s: cannot create", path);
        return 0;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        std::snprintf(error, errorSize, "%s: libpng failed writing it", path);
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return 0;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, image->width, image->height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image->height; ++y) {
        png_write_row(png, (png_const_bytep)image->At(0, y));
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0) {
        std::snprintf(error, errorSize, "%s: cannot write", path);
        return 0;
    }
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
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        std::snprintf(error, errorSize, "%s: cannot open", path);
        return 0;
    }
    unsigned char magic[8] = {0};
    const std::size_t got = std::fread(magic, 1, sizeof magic, file);
    int ok = 0;
    if (got >= 2 && magic[0] == 'P' && magic[1] == '6') {
        std::fseek(file, 2, SEEK_SET);
        ok = FrameImageReadPpm(file, path, image, error, errorSize);
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
