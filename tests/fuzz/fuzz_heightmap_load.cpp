// libFuzzer target for the height-map loader: the input becomes terrain.raw in a private folder and
// is loaded over a known map with the test driver on (its boxes are logged, never shown). The map
// must then hold the file's first MapSize * MapSize bytes and its old contents after them, with
// no message box: any file that opens and reads is a map.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "platform/win32_standin/driver.h"
#include "terrain/heightmap.h"

static const int MapBytes = MapSize * MapSize;
static const unsigned char Before = 0xA5;           // the map's contents before each load
static unsigned char Untouched[MapSize * MapSize];  // all Before, to compare with
static char Folder[32];
static char Path[64];

static void Broken(const char* what, const size_t at) {
    fprintf(stderr, "fuzz_heightmap_load: %s (byte %zu)\n", what, at);
    abort();
}

static void RemoveFolder(void) {
    unlink(Path);
    rmdir(Folder);
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    snprintf(Folder, sizeof Folder, "/tmp/limnora-fuzz-XXXXXX");
    if (!mkdtemp(Folder)) {
        perror("mkdtemp");
        abort();
    }
    snprintf(Path, sizeof Path, "%s/terrain.raw", Folder);
    atexit(RemoveFolder);
    memset(Untouched, Before, sizeof Untouched);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = fopen(Path, "wb");
    if (!file || (size && fwrite(data, 1, size, file) != size) || fclose(file) != 0) {
        Broken("cannot write the input file", 0);
    }
    DriverInstall();
    memset(HeightMap, Before, sizeof HeightMap);
    LoadHeightMap(Path, MapBytes, HeightMap);
    const int boxes = DriverBoxCount();
    DriverUninstall();
    if (boxes != 0) {
        Broken("a readable file gave a message box", 0);
    }
    const size_t loaded = size < (size_t)MapBytes ? size : (size_t)MapBytes;
    if (memcmp(HeightMap, data, loaded) != 0) {
        Broken("the map differs from the file", loaded);
    }
    if (memcmp(HeightMap + loaded, Untouched, (size_t)MapBytes - loaded) != 0) {
        Broken("the map changed past the end of the file", loaded);
    }
    return 0;
}
