// libFuzzer target for the height-map converter's image reader: any bytes, read as a PGM or PNG
// stream, must give an error text or rows of samples, never a crash or an overrun. Images larger
// than ReadPixelsMax are only opened, so that one input cannot take minutes. A mutated PNG gets its
// chunk checksums mended, or libpng would refuse nearly every input before the reader sees it.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <zlib.h>

#include "tools/data/height_image.h"

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

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

// Rewrites the CRC of every whole chunk after the PNG signature; other inputs stay as they are.
static void MendPngChecksums(uint8_t* data, const size_t size) {
    static const uint8_t Signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    if (size < 8 || memcmp(data, Signature, 8) != 0) {
        return;
    }
    size_t at = 8;
    while (at + 12 <= size) {
        const size_t length = ((size_t)data[at] << 24) | ((size_t)data[at + 1] << 16) |
                              ((size_t)data[at + 2] << 8) | data[at + 3];
        if (length > size - at - 12) {
            return;
        }
        const uLong crc = crc32(0L, data + at + 4, (uInt)(length + 4));
        uint8_t* out = data + at + 8 + length;
        out[0] = (uint8_t)(crc >> 24);
        out[1] = (uint8_t)(crc >> 16);
        out[2] = (uint8_t)(crc >> 8);
        out[3] = (uint8_t)crc;
        at += length + 12;
    }
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned int seed) {
    (void)seed;
    const size_t mutated = LLVMFuzzerMutate(data, size, maxSize);
    MendPngChecksums(data, mutated);
    return mutated;
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
