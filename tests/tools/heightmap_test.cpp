// Tests of the height-image reader and converter: PGM and PNG in their sample layouts, bilinear
// resampling of constant and gradient images up and down, and every kind of bad image refused
// with a message that names the problem and without an output file.
#include <gtest/gtest.h>
#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tools/data/height_convert.h"

// A byte string from a literal that may hold zero bytes.
#define BYTES(literal) std::string(literal, sizeof(literal) - 1)

namespace {

unsigned char Map[HeightmapBytes];
unsigned short Row[ImageMaxSide];

// Every temporary file this process named, removed when it exits.
std::vector<std::string> TestFiles;

void RemoveTestFiles() {
    for (const std::string& path : TestFiles) {
        remove(path.c_str());
        remove((path + ".part").c_str());
    }
}

// Names carry the process id: test cases may run side by side in several processes.
std::string TestPath(const char* name) {
    const std::string path =
        ::testing::TempDir() + "heightmap_test_" + std::to_string(getpid()) + "_" + name;
    if (TestFiles.empty()) {
        atexit(RemoveTestFiles);
    }
    TestFiles.push_back(path);
    return path;
}

std::string WriteBytes(const char* name, const std::string& bytes) {
    const std::string path = TestPath(name);
    FILE* file = fopen(path.c_str(), "wb");
    EXPECT_NE(nullptr, file);
    if (file) {
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }
    return path;
}

std::string ReadBytes(const std::string& path) {
    std::string content;
    FILE* file = fopen(path.c_str(), "rb");
    if (file) {
        char buffer[4096];
        size_t got = 0;
        while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) {
            content.append(buffer, got);
        }
        fclose(file);
    }
    return content;
}

bool Exists(const std::string& path) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file) {
        fclose(file);
    }
    return file != nullptr;
}

// Writes a PNG with libpng; samples are given per channel, 16-bit ones as values 0..65535, and
// below 8 bits as the packed bytes of each row.
std::string WritePng(const char* name, const int width, const int height, const int colorType,
                     const int bitDepth, const std::vector<unsigned>& samples,
                     const int interlace = PNG_INTERLACE_NONE) {
    const std::string path = TestPath(name);
    FILE* file = fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        ADD_FAILURE() << "libpng could not write " << path;
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return path;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, bitDepth, colorType, interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[2] = {{0, 0, 0}, {255, 255, 255}};
        png_set_PLTE(png, info, palette, 2);
    }
    png_write_info(png, info);
    const int channels = bitDepth < 8 ? 1 : (int)samples.size() / (width * height);
    const int rowLength = bitDepth < 8 ? (width * bitDepth + 7) / 8 : width * channels;
    std::vector<unsigned char> rowBytes((size_t)rowLength * 2);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; pass++) {
        for (int y = 0; y < height; y++) {
            for (int i = 0; i < rowLength; i++) {
                const unsigned value = samples[(size_t)y * rowLength + i];
                if (bitDepth == 16) {
                    rowBytes[2 * i] = (unsigned char)(value >> 8);
                    rowBytes[2 * i + 1] = (unsigned char)value;
                } else {
                    rowBytes[i] = (unsigned char)value;
                }
            }
            png_write_row(png, rowBytes.data());
        }
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    fclose(file);
    return path;
}

// Opens path and reads its first row into Row; returns the reader's error text on failure.
std::string ReadFirstRow(const std::string& path, ImageReader* reader) {
    if (!ImageOpen(path.c_str(), reader)) {
        return reader->error;
    }
    const int ok = ImageReadRow(reader, Row);
    ImageClose(reader);
    return ok ? "" : reader->error;
}

}  // namespace

TEST(ImageReader, TextPgmWithCommentsScalesToSixteenBits) {
    const std::string path =
        WriteBytes("text.pgm", "P2\n# made by hand\n3 2 # width height\n10\n0 5 10\n1 2\n3\n");
    ImageReader reader;
    ASSERT_TRUE(ImageOpen(path.c_str(), &reader)) << reader.error;
    EXPECT_EQ(ImageFormatPgmText, reader.format);
    EXPECT_EQ(3, reader.width);
    EXPECT_EQ(2, reader.height);
    ASSERT_TRUE(ImageReadRow(&reader, Row));
    EXPECT_EQ(0, Row[0]);
    EXPECT_EQ(32768, Row[1]);  // 5/10 of 65535, rounded
    EXPECT_EQ(65535, Row[2]);
    ASSERT_TRUE(ImageReadRow(&reader, Row));
    EXPECT_EQ(6554, Row[0]);
    EXPECT_EQ(19661, Row[2]);
    EXPECT_FALSE(ImageReadRow(&reader, Row)) << "only two rows";
    EXPECT_TRUE(ImageFinish(&reader));
    ImageClose(&reader);
    ImageClose(&reader);  // twice is harmless
}

TEST(ImageReader, BinaryPgmEightAndSixteenBits) {
    ImageReader reader;
    const std::string eight = WriteBytes("p5_8.pgm", BYTES("P5 2 1 255\n\x00\xFF"));
    EXPECT_EQ("", ReadFirstRow(eight, &reader));
    EXPECT_EQ(0, Row[0]);
    EXPECT_EQ(65535, Row[1]);

    // Two bytes per sample, most significant first, once maxval passes 255.
    const std::string sixteen = WriteBytes("p5_16.pgm", BYTES("P5\n2 1\n65535\n\x12\x34\xFF\xFE"));
    EXPECT_EQ("", ReadFirstRow(sixteen, &reader));
    EXPECT_EQ(0x1234, Row[0]);
    EXPECT_EQ(0xFFFE, Row[1]);

    const std::string wide = WriteBytes("p5_1000.pgm", BYTES("P5 1 1 1000\n\x01\xF4"));
    EXPECT_EQ("", ReadFirstRow(wide, &reader));
    EXPECT_EQ(32768, Row[0]);  // 500 of 1000
}

TEST(ImageReader, PngLayoutsBecomeLuminance) {
    ImageReader reader;
    EXPECT_EQ("",
              ReadFirstRow(WritePng("g8.png", 2, 1, PNG_COLOR_TYPE_GRAY, 8, {0, 128}), &reader));
    EXPECT_EQ(0, Row[0]);
    EXPECT_EQ(128 * 257, Row[1]);

    EXPECT_EQ("", ReadFirstRow(WritePng("g16.png", 2, 1, PNG_COLOR_TYPE_GRAY, 16, {0x1234, 65535}),
                               &reader));
    EXPECT_EQ(0x1234, Row[0]);
    EXPECT_EQ(65535, Row[1]);

    // Alpha is dropped, not multiplied in.
    EXPECT_EQ(
        "", ReadFirstRow(WritePng("ga.png", 2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {200, 0, 50, 255}),
                         &reader));
    EXPECT_EQ(200 * 257, Row[0]);
    EXPECT_EQ(50 * 257, Row[1]);

    // Green weighs most, blue least; white stays white.
    EXPECT_EQ("", ReadFirstRow(WritePng("rgb.png", 4, 1, PNG_COLOR_TYPE_RGB, 8,
                                        {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}),
                               &reader));
    EXPECT_NEAR(0.2126 * 65535, Row[0], 2);
    EXPECT_NEAR(0.7152 * 65535, Row[1], 2);
    EXPECT_NEAR(0.0722 * 65535, Row[2], 2);
    EXPECT_EQ(65535, Row[3]);

    EXPECT_EQ("", ReadFirstRow(WritePng("rgba16.png", 1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16,
                                        {40000, 40000, 40000, 0}),
                               &reader));
    EXPECT_NEAR(40000, Row[0], 1);

    EXPECT_EQ("", ReadFirstRow(WritePng("g1.png", 3, 1, PNG_COLOR_TYPE_GRAY, 1, {0xA0}), &reader));
    EXPECT_EQ(65535, Row[0]);  // bits 1, 0, 1
    EXPECT_EQ(0, Row[1]);
    EXPECT_EQ(65535, Row[2]);

    EXPECT_EQ("",
              ReadFirstRow(WritePng("pal.png", 2, 1, PNG_COLOR_TYPE_PALETTE, 8, {1, 0}), &reader));
    EXPECT_EQ(65535, Row[0]);
    EXPECT_EQ(0, Row[1]);
}

TEST(HeightmapResample, ConstantImageGivesAFlatMap) {
    const std::string path = WriteBytes(
        "flat.pgm", "P2 7 5 255\n" + [] {
            std::string samples;
            for (int i = 0; i < 35; i++) {
                samples += "77 ";
            }
            return samples;
        }());
    ImageReader reader;
    ASSERT_TRUE(ImageOpen(path.c_str(), &reader)) << reader.error;
    ASSERT_TRUE(HeightmapResample(&reader, Map)) << reader.error;
    ImageClose(&reader);
    for (int i = 0; i < HeightmapBytes; i++) {
        ASSERT_EQ(77, Map[i]) << "at byte " << i;
    }
}

// Image corners land on map corners, and in between heights follow the straight line.
TEST(HeightmapResample, TwoPixelGradientIsInterpolatedAcrossTheMap) {
    const std::string path = WriteBytes("ramp.pgm", BYTES("P5 2 2 255\n\x00\xFF\x00\xFF"));
    ImageReader reader;
    ASSERT_TRUE(ImageOpen(path.c_str(), &reader)) << reader.error;
    ASSERT_TRUE(HeightmapResample(&reader, Map)) << reader.error;
    ImageClose(&reader);
    for (int x = 0; x < HeightmapSize; x++) {
        const int expected = (int)(255.0 * x / 1023.0 + 0.5);
        ASSERT_EQ(expected, Map[x]) << "column " << x;
        ASSERT_EQ(expected, Map[x + 1023 * HeightmapSize]) << "column " << x;
    }
    EXPECT_EQ(0, Map[0]);
    EXPECT_EQ(255, Map[1023]);
}

// Row streaming: tall images are sampled down (rows skipped), short ones up (rows reused).
TEST(HeightmapResample, VerticalGradientsOfManyHeights) {
    const int heights[] = {1, 2, 700, 1024, 1500, 3001};
    for (const int height : heights) {
        SCOPED_TRACE(height);
        std::string bytes = "P5 3 " + std::to_string(height) + " 65535\n";
        for (int y = 0; y < height; y++) {
            const unsigned value =
                height > 1 ? (unsigned)(65535.0 * y / (height - 1) + 0.5) : 40000;
            for (int x = 0; x < 3; x++) {
                bytes += (char)(value >> 8);
                bytes += (char)(value & 0xFF);
            }
        }
        const std::string path = WriteBytes("tall.pgm", bytes);
        ImageReader reader;
        ASSERT_TRUE(ImageOpen(path.c_str(), &reader)) << reader.error;
        ASSERT_TRUE(HeightmapResample(&reader, Map)) << reader.error;
        EXPECT_EQ(height, reader.rowsRead) << "every row is read";
        EXPECT_TRUE(ImageFinish(&reader));
        ImageClose(&reader);
        for (int y = 0; y < HeightmapSize; y++) {
            const double expected = height > 1 ? 255.0 * y / 1023.0 : 40000 * 255.0 / 65535;
            ASSERT_NEAR(expected, Map[y * HeightmapSize], 1.0) << "row " << y;
            ASSERT_EQ(Map[y * HeightmapSize], Map[1023 + y * HeightmapSize]) << "row " << y;
        }
    }
}

// Every bad image: conversion fails, the message names the problem, and no file is left.
TEST(HeightmapConvert, BadImagesAreRefusedWithoutOutput) {
    const std::string truncatedPng = [] {
        std::vector<unsigned> samples(64 * 64);
        for (size_t i = 0; i < samples.size(); i++) {
            samples[i] = (unsigned)(i * 7919 % 251);  // poorly compressible, so IDAT is long
        }
        const std::string whole =
            ReadBytes(WritePng("whole.png", 64, 64, PNG_COLOR_TYPE_GRAY, 8, samples));
        return whole.substr(0, whole.size() / 2);
    }();
    struct BadCase {
        const char* name;
        std::string bytes;   // file content; "-" for no file at all
        const char* expect;  // text the message must contain
    };
    const BadCase cases[] = {
        {"missing", "-", "cannot open"},
        {"empty", "", "empty"},
        {"wrong magic", "GIF89a\x01\x00\x01\x00", "unknown format"},
        {"colour PPM", "P6 1 1 255\n\x01\x02\x03", "P6 is not a grayscale PGM"},
        {"magic run into width", "P25 1 255\n7", "no whitespace after the magic"},
        {"header ends", "P5\n4 4\n", "maxval missing"},
        {"width not a number", "P2 x 4 255\n", "width is not a number"},
        {"zero width", "P5 0 4 255\n", "zero image size 0x4"},
        {"zero height", "P2 4 0 255\n", "zero image size 4x0"},
        {"absurd width", "P5 40000 2 255\n", "over the limit of 32768"},
        {"absurd height", "P5 2 99999999999 255\n", "over the limit of 32768"},
        {"maxval zero", BYTES("P5 2 2 0\n\x00\x00\x00\x00"), "bad PGM maxval 0"},
        {"maxval too big", BYTES("P5 1 1 70000\n\x00\x00\x00"), "bad PGM maxval 70000"},
        {"truncated P5", BYTES("P5 4 4 255\n0123456789"), "truncated: data ends in row 3"},
        {"truncated P2", "P2 2 2 255\n1 2 3", "truncated: data ends in row 2"},
        {"P2 sample over maxval", "P2 2 1 100\n5 101\n", "sample 101 in row 1 over maxval 100"},
        {"P2 sample not a number", "P2 2 1 100\n5 -3\n", "not a number"},
        {"P5 sample over maxval", BYTES("P5 1 1 300\n\x01\x2D"), "over maxval 300"},
        {"truncated PNG", truncatedPng, "truncated"},
        {"PNG cut in the signature", "\x89PNG", "unknown format"},
        {"PNG bad header", BYTES("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDX"), "bad PNG"},
    };
    for (const BadCase& bad : cases) {
        SCOPED_TRACE(bad.name);
        const std::string input =
            bad.bytes == "-" ? TestPath("does_not_exist.pgm") : WriteBytes("bad.img", bad.bytes);
        const std::string output = TestPath("bad.raw");
        remove(output.c_str());
        char error[512] = "";
        EXPECT_FALSE(HeightmapConvert(input.c_str(), output.c_str(), error, sizeof error));
        EXPECT_NE(std::string::npos, std::string(error).find(bad.expect)) << error;
        EXPECT_NE(std::string::npos, std::string(error).find(input)) << "names the file: " << error;
        EXPECT_FALSE(Exists(output));
        EXPECT_FALSE(Exists(output + ".part"));
    }
}

TEST(HeightmapConvert, PngSizeLimitAndInterlaceAreRefused) {
    const std::string output = TestPath("refused.raw");
    remove(output.c_str());
    char error[512] = "";
    const std::string wide =
        WritePng("wide.png", 40000, 1, PNG_COLOR_TYPE_GRAY, 8, std::vector<unsigned>(40000, 9));
    EXPECT_FALSE(HeightmapConvert(wide.c_str(), output.c_str(), error, sizeof error));
    EXPECT_NE(nullptr, strstr(error, "40000x1 is over the limit")) << error;

    const std::string interlaced = WritePng("adam7.png", 4, 4, PNG_COLOR_TYPE_GRAY, 8,
                                            std::vector<unsigned>(16, 9), PNG_INTERLACE_ADAM7);
    EXPECT_FALSE(HeightmapConvert(interlaced.c_str(), output.c_str(), error, sizeof error));
    EXPECT_NE(nullptr, strstr(error, "interlaced")) << error;
    EXPECT_FALSE(Exists(output));
}

// The program: exit code 1 and a message on stderr for a bad image, 0 and the file for a good one.
TEST(HeightmapTool, ExitCodesAndMessages) {
    const std::string tool = std::string(LIMNORA_BIN_DIR) + "/heightmap";
    const std::string output = TestPath("tool.raw");
    const std::string messages = TestPath("tool.err");
    remove(output.c_str());

    const std::string bad = WriteBytes("tool_bad.pgm", "P5 0 0 255\n");
    const int badStatus = system((tool + " " + bad + " " + output + " 2>" + messages).c_str());
    ASSERT_TRUE(WIFEXITED(badStatus));
    EXPECT_EQ(1, WEXITSTATUS(badStatus));
    EXPECT_NE(std::string::npos, ReadBytes(messages).find("zero image size"))
        << ReadBytes(messages);
    EXPECT_FALSE(Exists(output));

    const int usageStatus = system((tool + " only-one-argument 2>" + messages).c_str());
    EXPECT_EQ(1, WEXITSTATUS(usageStatus));
    EXPECT_NE(std::string::npos, ReadBytes(messages).find("usage")) << ReadBytes(messages);

    const std::string good = WriteBytes("tool_good.pgm", "P2 1 1 4\n2\n");
    const int goodStatus = system((tool + " " + good + " " + output + " 2>" + messages).c_str());
    EXPECT_EQ(0, WEXITSTATUS(goodStatus)) << ReadBytes(messages);
    EXPECT_EQ(std::string(HeightmapBytes, (char)128), ReadBytes(output));
    EXPECT_FALSE(Exists(output + ".part"));
    remove(output.c_str());
}
