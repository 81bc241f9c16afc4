// Height map loading. The loader never stops the program: what it could read stays, and the user
// is told of a missing file or a read error with a plain "Error" box.
#include <cstdio>

#include "platform/win32.h"
#include "terrain/heightmap.h"

void LoadHeightMap(const char* const name, const int length, unsigned char* const map) {
    if (name == NULL || map == NULL || length < 0) {
        return;
    }
    FILE* const file = fopen(name, "rb");
    if (file == NULL) {
        MessageBoxA(NULL, "Konnte die Height Map nicht finden!", "Error", MB_OK);
        return;
    }
    // A short file is not an error: the end of the file simply ends the read.
    fread(map, 1, (size_t)length, file);
    if (ferror(file)) {
        MessageBoxA(NULL, "Daten konnten nicht geholt werden!!", "Error", MB_OK);
    }
    fclose(file);
}
