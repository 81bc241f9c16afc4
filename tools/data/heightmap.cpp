// heightmap: converts a grayscale PGM or PNG height image of any size to the scene's
// "terrain.raw" (1024 x 1024 bytes). Usage: heightmap INPUT OUTPUT. Exit code 0 on success;
// 1 with a message on stderr, and no output file, when the image cannot be used.
#include <stdio.h>

#include "tools/data/height_convert.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: heightmap INPUT OUTPUT\n");
        return 1;
    }
    char error[ImageErrorSize + 4096];
    if (!HeightmapConvert(argv[1], argv[2], error, (int)sizeof error)) {
        fprintf(stderr, "heightmap: %s\n", error);
        return 1;
    }
    return 0;
}
