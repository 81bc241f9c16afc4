// libFuzzer target for tools/heightmap's image reader: any bytes, read as a PGM or PNG stream,
// must give an error text or rows of samples, never a crash or an overrun. Images larger than
// ReadPixelsMax are only opened, so that one input cannot take minutes.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tools/heightmap/image.h"

static const long long ReadPixelsMax = 1 << 20;
static unsigned short Row[ImageMaxSide];

static void Broken(const char* what, const ImageReader* reader) {
    fprintf(stderr, "fuzz_heightmap_image: %s (%dx%d, error \"%s\")\n", what, reader->width,
            reader->height, reader->error);
    abort();
}

static void CheckError(const ImageReader* reader) {
    const size_t length = strnlen(reader->error, sizeof reader->error);
    if (length == 0 || length == sizeof reader->error) {
        Broken("a failed call left no error text", reader);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;  // fmemopen wants at least one byte; ImageOpen's empty file is a unit test
    }
    FILE* stream = fmemopen((void*)data, size, "rb");
    if (!stream) {
        return 0;
    }
    static ImageReader reader;
    if (!ImageOpenStream(stream, &reader)) {
        CheckError(&reader);
        ImageClose(&reader);
        return 0;
    }
    if (reader.width < 1 || reader.width > ImageMaxSide || reader.height < 1 ||
        reader.height > ImageMaxSide) {
        Broken("an opened image has a size outside the limits", &reader);
    }
    if ((long long)reader.width * reader.height <= ReadPixelsMax) {
        int rows = 0;
        while (rows < reader.height && ImageReadRow(&reader, Row)) {
            ++rows;
        }
        if (rows < reader.height) {
            CheckError(&reader);
        } else if (!ImageFinish(&reader)) {
            CheckError(&reader);
        }
        if (reader.rowsRead != rows) {
            Broken("rowsRead does not count the rows delivered", &reader);
        }
    }
    ImageClose(&reader);
    ImageClose(&reader);  // a second close must be harmless
    return 0;
}
