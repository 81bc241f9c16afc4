// Height map: the bounded look-up and the loader's outcomes (missing file, read error, short and
// long files), with its message boxes taken from the test driver's log.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32_standin/driver.h"
#include "terrain/heightmap.h"

namespace {

const int MapBytes = MapSize * MapSize;

class HeightMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/limnora-heightmap-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        map = (unsigned char*)malloc(MapBytes + 16);  // 16 guard bytes after the map
        memset(map, 0x5A, MapBytes + 16);
        DriverInstall();
    }
    void TearDown() override {
        DriverUninstall();
        free(map);
        for (const std::string& name : written) {
            remove(name.c_str());
        }
        rmdir((folder + "/dir").c_str());
        rmdir(folder.c_str());
    }
    // Writes `size` bytes of `value` (or, with value < 0, byte n = n % 251) and returns the path.
    std::string WriteFile(const char* name, long size, int value) {
        const std::string path = folder + "/" + name;
        FILE* f = fopen(path.c_str(), "wb");
        for (long n = 0; n < size; n++) {
            fputc(value < 0 ? (int)(n % 251) : value, f);
        }
        fclose(f);
        written.push_back(path);
        return path;
    }
    void ExpectOneBox(const char* text) {
        ASSERT_EQ(DriverBoxCount(), 1);
        const DriverBox* box = DriverBoxAt(0);
        EXPECT_STREQ(box->text, text);
        EXPECT_STREQ(box->caption, "Error");
        EXPECT_EQ(box->type, MB_OK);
    }
    std::string folder;
    std::vector<std::string> written;
    unsigned char* map;
};

TEST(HeightAtTest, WrapsEveryCoordinateIntoTheMap) {
    static unsigned char m[MapBytes];
    for (int n = 0; n < MapBytes; n++) {
        m[n] = (unsigned char)(n % 253);
    }
    EXPECT_EQ(HeightAt(m, 1024, 0), m[0]);
    EXPECT_EQ(HeightAt(m, 0, 1024), m[0]);
    EXPECT_EQ(HeightAt(m, 1023, 1023), m[MapBytes - 1]);
    EXPECT_EQ(HeightAt(m, 5, 7), m[5 + 7 * 1024]);
    EXPECT_EQ(HeightAt(m, 1029, 2055), m[5 + 7 * 1024]);
    // Negative coordinates wrap with a non-negative remainder.
    EXPECT_EQ(HeightAt(m, -1, 0), m[1023]);
    EXPECT_EQ(HeightAt(m, 0, -1), m[1023 * 1024]);
    EXPECT_EQ(HeightAt(m, -1025, -2048), m[1023]);
    EXPECT_EQ(HeightAt(m, -2147483647 - 1, -2147483647 - 1), m[0]);
    EXPECT_EQ(HeightAt(m, 2147483647, 2147483647), m[MapBytes - 1]);
    EXPECT_EQ(HeightAt(nullptr, 3, 4), 0);

    m[17] = 255;
    EXPECT_EQ(HeightAt(m, 17, 0), 255);  // bytes are unsigned heights
}

TEST_F(HeightMapTest, MissingFileIsToldAndTheMapKept) {
    LoadHeightMap((folder + "/absent.raw").c_str(), MapBytes, map);
    ExpectOneBox("Konnte die Height Map nicht finden!");
    EXPECT_EQ(map[0], 0x5A);
    EXPECT_EQ(map[MapBytes - 1], 0x5A);
}

TEST_F(HeightMapTest, ReadErrorIsTold) {
    // A folder opens for reading but cannot be read: the stream's error flag is set.
    ASSERT_EQ(mkdir((folder + "/dir").c_str(), 0700), 0);
    LoadHeightMap((folder + "/dir").c_str(), MapBytes, map);
    ExpectOneBox("Daten konnten nicht geholt werden!!");
}

TEST_F(HeightMapTest, FullFileFillsTheWholeMapSilently) {
    LoadHeightMap(WriteFile("flat.raw", MapBytes, 128).c_str(), MapBytes, map);
    EXPECT_EQ(DriverBoxCount(), 0);
    for (int n = 0; n < MapBytes; n++) {
        ASSERT_EQ(map[n], 128) << n;
    }
    EXPECT_EQ(map[MapBytes], 0x5A);
}

TEST_F(HeightMapTest, ShortFileFillsOnlyItsBeginning) {
    LoadHeightMap(WriteFile("short.raw", 1000, -1).c_str(), MapBytes, map);
    EXPECT_EQ(DriverBoxCount(), 0);
    EXPECT_EQ(HeightAt(map, 0, 0), 0);
    EXPECT_EQ(HeightAt(map, 999, 0), 999 % 251);
    EXPECT_EQ(map[1000], 0x5A);
    EXPECT_EQ(map[MapBytes - 1], 0x5A);

    // An empty file reads nothing and is not an error either.
    LoadHeightMap(WriteFile("empty.raw", 0, 0).c_str(), MapBytes, map);
    EXPECT_EQ(DriverBoxCount(), 0);
    EXPECT_EQ(map[999], 999 % 251);
}

TEST_F(HeightMapTest, LongFileLoadsOnlyTheMapsWorth) {
    LoadHeightMap(WriteFile("long.raw", MapBytes + 5000, -1).c_str(), MapBytes, map);
    EXPECT_EQ(DriverBoxCount(), 0);
    EXPECT_EQ(map[MapBytes - 1], (MapBytes - 1) % 251);
    for (int n = MapBytes; n < MapBytes + 16; n++) {
        ASSERT_EQ(map[n], 0x5A) << n;
    }
}

}  // namespace
