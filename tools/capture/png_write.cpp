// PNG output through libpng; rows are flipped because GL reads images bottom row first.
#include "tools/capture/png_write.h"

#include <png.h>

#include <cstdio>

int WritePngBottomUp(const char* path, int width, int height, const unsigned char* rgb) {
    FILE* file = std::fopen(path, "wb");
    if (!file) {
        std::fprintf(stderr, "shot: cannot write %s\n", path);
        return 0;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        std::fprintf(stderr, "shot: libpng failed writing %s\n", path);
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return 0;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = height - 1; y >= 0; --y) {
        png_write_row(png, (png_const_bytep)(rgb + (size_t)y * width * 3));
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 ? 1 : 0;
}
