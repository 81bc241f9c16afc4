// The height-image reader: PGM parsed by hand, PNG through libpng with its errors caught by
// setjmp and turned into the reader's error text. Every size and sample is checked before it is
// used; a file that ends early is an error, never a row of stale data.
#include "tools/data/height_image.h"

#include <errno.h>
#include <png.h>
#include <stdarg.h>
#include <string.h>

// Raw bytes of one row: the widest accepted PNG row, three 16-bit channels. Written by the readers.
static unsigned char RowBytes[ImageMaxSide * 3 * 2];

static void SetError(ImageReader* reader, const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(reader->error, ImageErrorSize, format, args);
    va_end(args);
}

// Checks the declared size against the limits; 1 or 0 with the error.
static int CheckSize(ImageReader* reader, const long long width, const long long height) {
    if (width <= 0 || height <= 0) {
        SetError(reader, "zero image size %lldx%lld", width, height);
        return 0;
    }
    if (width > ImageMaxSide || height > ImageMaxSide) {
        SetError(reader, "image size %lldx%lld is over the limit of %d per side", width, height,
                 ImageMaxSide);
        return 0;
    }
    return 1;
}

// ---- PGM ----

// Skips whitespace and '#' comments (to the end of their line). Returns the next character
// without consuming it, or EOF.
static int SkipSpace(FILE* file) {
    for (;;) {
        const int c = getc(file);
        if (c == '#') {
            int skipped = getc(file);
            while (skipped != '\n' && skipped != '\r' && skipped != EOF) {
                skipped = getc(file);
            }
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
            continue;
        }
        if (c != EOF) {
            ungetc(c, file);
        }
        return c;
    }
}

// Reads an unsigned decimal number after optional whitespace and comments. Values past 10^9 are
// held at 10^9 + 1 so that an absurd number stays absurd instead of overflowing.
// Returns 1, 0 when no digit follows, -1 at the end of the file.
static int ReadNumber(FILE* file, long long* value) {
    const int first = SkipSpace(file);
    if (first == EOF) {
        return -1;
    }
    if (first < '0' || first > '9') {
        return 0;
    }
    long long number = 0;
    int c = getc(file);
    while (c >= '0' && c <= '9') {
        number = number * 10 + (c - '0');
        number = number > 1000000000 ? 1000000001 : number;
        c = getc(file);
    }
    if (c != EOF) {
        ungetc(c, file);
    }
    *value = number;
    return 1;
}

// Reads the PGM header after the magic; 1 or 0 with the error.
static int PgmOpen(ImageReader* reader) {
    const int afterMagic = getc(reader->file);
    if (afterMagic != ' ' && afterMagic != '\t' && afterMagic != '\n' && afterMagic != '\r' &&
        afterMagic != '#') {
        SetError(reader, "bad PGM header: no whitespace after the magic number");
        return 0;
    }
    ungetc(afterMagic, reader->file);
    const char* names[3] = {"width", "height", "maxval"};
    long long values[3] = {0, 0, 0};
    for (int i = 0; i < 3; i++) {
        const int found = ReadNumber(reader->file, &values[i]);
        if (found != 1) {
            SetError(reader, "bad PGM header: %s %s", names[i],
                     found < 0 ? "missing (file ends)" : "is not a number");
            return 0;
        }
    }
    if (!CheckSize(reader, values[0], values[1])) {
        return 0;
    }
    if (values[2] < 1 || values[2] > 65535) {
        SetError(reader, "bad PGM maxval %lld (must be 1..65535)", values[2]);
        return 0;
    }
    // Exactly one whitespace character separates the header from binary samples.
    const int separator = getc(reader->file);
    if (separator != ' ' && separator != '\t' && separator != '\n' && separator != '\r') {
        SetError(reader, "bad PGM header: no whitespace after maxval");
        return 0;
    }
    reader->width = (int)values[0];
    reader->height = (int)values[1];
    reader->maxval = (int)values[2];
    reader->channels = 1;
    reader->bytesPerSample = reader->maxval < 256 ? 1 : 2;
    return 1;
}

// Scales a raw sample 0..maxval to 0..65535, rounded.
static unsigned short ScaleSample(const unsigned int sample, const unsigned int maxval) {
    return (unsigned short)((sample * 65535u + maxval / 2) / maxval);
}

static int PgmReadRow(ImageReader* reader, unsigned short* gray) {
    const int width = reader->width;
    const unsigned int maxval = (unsigned int)reader->maxval;
    const int row = reader->rowsRead;
    if (reader->format == ImageFormatPgmText) {
        for (int x = 0; x < width; x++) {
            long long sample = 0;
            const int found = ReadNumber(reader->file, &sample);
            if (found < 0) {
                SetError(reader, "truncated: data ends in row %d of %d", row + 1, reader->height);
                return 0;
            }
            if (found == 0) {
                SetError(reader, "bad PGM sample in row %d, column %d: not a number", row + 1,
                         x + 1);
                return 0;
            }
            if (sample > maxval) {
                SetError(reader, "bad PGM sample %lld in row %d over maxval %u", sample, row + 1,
                         maxval);
                return 0;
            }
            gray[x] = ScaleSample((unsigned int)sample, maxval);
        }
        return 1;
    }

    const size_t rowSize = (size_t)width * reader->bytesPerSample;
    if (fread(RowBytes, 1, rowSize, reader->file) != rowSize) {
        SetError(reader, "truncated: data ends in row %d of %d", row + 1, reader->height);
        return 0;
    }
    for (int x = 0; x < width; x++) {
        unsigned int sample = RowBytes[x];
        if (reader->bytesPerSample == 2) {
            sample = ((unsigned int)RowBytes[2 * x] << 8) | RowBytes[2 * x + 1];  // big-endian
        }
        if (sample > maxval) {
            SetError(reader, "bad PGM sample %u in row %d over maxval %u", sample, row + 1, maxval);
            return 0;
        }
        gray[x] = ScaleSample(sample, maxval);
    }
    return 1;
}

// ---- PNG ----

// libpng calls these on an error (never returns) and on a warning (ignored: the image is usable).
static void PngError(png_structp png, png_const_charp message) {
    ImageReader* reader = (ImageReader*)png_get_error_ptr(png);
    SetError(reader, "bad PNG: %s", message);
    png_longjmp(png, 1);
}

static void PngWarning(png_structp, png_const_charp) {}

// Feeds libpng from the reader's file; running out is a truncated file, not a short read.
static void PngRead(png_structp png, png_bytep data, png_size_t length) {
    FILE* file = (FILE*)png_get_io_ptr(png);
    if (fread(data, 1, length, file) != length) {
        png_error(png, "truncated: file ends early");
    }
}

// Reads the PNG header after the 8 signature bytes and sets up the conversions; 1 or 0.
static int PngOpen(ImageReader* reader) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, reader, PngError, PngWarning);
    if (!png) {
        SetError(reader, "cannot set up the PNG reader");
        return 0;
    }
    png_infop info = png_create_info_struct(png);
    reader->png = png;
    reader->pngInfo = info;
    if (!info) {
        SetError(reader, "cannot set up the PNG reader");
        return 0;
    }
    if (setjmp(png_jmpbuf(png))) {
        return 0;  // PngError has written the message
    }
    png_set_read_fn(png, reader->file, PngRead);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);

    const long long width = png_get_image_width(png, info);
    const long long height = png_get_image_height(png, info);
    if (!CheckSize(reader, width, height)) {
        return 0;
    }
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE) {
        SetError(reader, "interlaced PNG is not supported; save it without interlacing");
        return 0;
    }
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (colorType & PNG_COLOR_MASK_ALPHA) {
        png_set_strip_alpha(png);  // heights have no use for transparency
    }
    png_read_update_info(png, info);

    reader->width = (int)width;
    reader->height = (int)height;
    reader->channels = png_get_channels(png, info);
    reader->bytesPerSample = png_get_bit_depth(png, info) == 16 ? 2 : 1;
    reader->maxval = reader->bytesPerSample == 2 ? 65535 : 255;
    if (reader->channels != 1 && reader->channels != 3) {
        SetError(reader, "unexpected PNG layout of %d channels", reader->channels);
        return 0;
    }
    return 1;
}

static int PngReadRow(ImageReader* reader, unsigned short* gray) {
    png_structp png = (png_structp)reader->png;
    if (setjmp(png_jmpbuf(png))) {
        return 0;
    }
    png_read_row(png, RowBytes, NULL);

    const int channels = reader->channels;
    const int wide = reader->bytesPerSample == 2;
    for (int x = 0; x < reader->width; x++) {
        unsigned int value[3] = {0, 0, 0};
        for (int c = 0; c < channels; c++) {
            const int i = x * channels + c;
            value[c] = wide ? ((unsigned int)RowBytes[2 * i] << 8) | RowBytes[2 * i + 1]
                            : RowBytes[i] * 257u;  // 8 bits to 16: 255 becomes 65535
        }
        if (channels == 1) {
            gray[x] = (unsigned short)value[0];
        } else {
            // Luminance with the Rec. 709 weights, in 15-bit fixed point (the weights sum to
            // 32768).
            gray[x] = (unsigned short)((6966u * value[0] + 23436u * value[1] + 2366u * value[2] +
                                        16384u) >>
                                       15);
        }
    }
    return 1;
}

// ---- The reader ----

int ImageOpen(const char* path, ImageReader* reader) {
    FILE* file = fopen(path, "rb");
    if (!file) {
        memset(reader, 0, sizeof *reader);
        SetError(reader, "cannot open: %s", strerror(errno));
        return 0;
    }
    return ImageOpenStream(file, reader);
}

int ImageOpenStream(FILE* file, ImageReader* reader) {
    memset(reader, 0, sizeof *reader);
    reader->file = file;

    // Two bytes tell PGM from the rest; a PNG then needs the six more of its signature. The
    // stream is never rewound, so a pipe works too.
    static const unsigned char pngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    unsigned char magic[8];
    const size_t got = fread(magic, 1, 2, file);
    int opened = 0;
    if (got == 0) {
        SetError(reader, "empty file");
    } else if (got == 2 && magic[0] == 'P' && (magic[1] == '2' || magic[1] == '5')) {
        reader->format = magic[1] == '2' ? ImageFormatPgmText : ImageFormatPgmBinary;
        opened = PgmOpen(reader);
    } else if (got == 2 && magic[0] == 'P' && magic[1] >= '1' && magic[1] <= '7') {
        SetError(reader, "P%c is not a grayscale PGM (expected P2 or P5)", magic[1]);
    } else if (got == 2 && memcmp(magic, pngSignature, 2) == 0 &&
               fread(magic + 2, 1, 6, file) == 6 && memcmp(magic, pngSignature, 8) == 0) {
        reader->format = ImageFormatPng;
        opened = PngOpen(reader);
    } else {
        SetError(reader, "unknown format: not a PGM (P2, P5) or PNG file");
    }
    if (!opened) {
        ImageClose(reader);
    }
    return opened;
}

int ImageReadRow(ImageReader* reader, unsigned short* gray) {
    if (!reader->file || reader->rowsRead >= reader->height) {
        SetError(reader, "no more rows to read");
        return 0;
    }
    const int ok =
        reader->format == ImageFormatPng ? PngReadRow(reader, gray) : PgmReadRow(reader, gray);
    reader->rowsRead += ok;
    return ok;
}

int ImageFinish(ImageReader* reader) {
    if (!reader->file || reader->rowsRead != reader->height) {
        SetError(reader, "image not read to its end");
        return 0;
    }
    if (reader->format != ImageFormatPng) {
        return 1;  // a PGM may carry anything after its samples
    }
    png_structp png = (png_structp)reader->png;
    if (setjmp(png_jmpbuf(png))) {
        return 0;
    }
    png_read_end(png, NULL);
    return 1;
}

void ImageClose(ImageReader* reader) {
    if (reader->png) {
        png_structp png = (png_structp)reader->png;
        png_infop info = (png_infop)reader->pngInfo;
        png_destroy_read_struct(&png, info ? &info : NULL, NULL);
        reader->png = NULL;
        reader->pngInfo = NULL;
    }
    if (reader->file) {
        fclose(reader->file);
        reader->file = NULL;
    }
}
