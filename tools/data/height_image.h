// Reads grayscale height images row by row: PGM (P2 text, P5 binary; maxval 1..65535) and PNG
// (gray, gray+alpha, RGB, RGBA, palette; 1 to 16 bits; not interlaced). Colour becomes luminance,
// alpha is ignored, every sample is scaled to 0..65535. Rows stream through one static buffer, so
// only one image is open at a time, and a huge image never needs memory of its size.
#pragma once

#include <stdio.h>

enum {
    ImageMaxSide = 32768,  // widest and tallest image accepted, pixels
    ImageErrorSize = 256   // bytes of the error text, terminator included
};

enum ImageFormat { ImageFormatPgmText, ImageFormatPgmBinary, ImageFormatPng };

// One image being read. Written by ImageOpenStream, ImageReadRow, ImageFinish and ImageClose.
struct ImageReader {
    FILE* file;                  // the input, owned by the reader; null when closed
    int format;                  // ImageFormat
    int width;                   // pixels per row, 1..ImageMaxSide
    int height;                  // rows, 1..ImageMaxSide
    int maxval;                  // largest raw sample value: the PGM's, or 255 / 65535 for PNG
    int channels;                // PNG samples per pixel as read: 1 gray or 3 RGB; PGM 1
    int bytesPerSample;          // raw bytes per sample in the file: 1 or 2 (binary formats)
    int rowsRead;                // rows delivered so far
    void* png;                   // libpng read struct (png_structp), PNG only
    void* pngInfo;               // libpng info struct (png_infop), PNG only
    char error[ImageErrorSize];  // what went wrong, when a call returned 0
};

// Opens path and reads its header; 1 on success, 0 with reader->error set (nothing to close).
int ImageOpen(const char* path, ImageReader* reader);

// As ImageOpen, reading from an open stream that the reader then owns (closed on failure too).
int ImageOpenStream(FILE* file, ImageReader* reader);

// Reads the next row as reader->width luminance values 0..65535 into gray; 1 or 0 with the error.
int ImageReadRow(ImageReader* reader, unsigned short* gray);

// After the last row: checks what follows the pixels (PNG's closing chunks); 1 or 0.
int ImageFinish(ImageReader* reader);

// Releases the reader's file and libpng state; safe to call twice and after a failed open.
void ImageClose(ImageReader* reader);
