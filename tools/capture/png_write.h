// Writes an RGB image to a PNG file.
#pragma once

// `rgb` holds height rows of width * 3 bytes, bottom row first (as glReadPixels returns them).
// Returns 1 on success, 0 with a message on stderr.
int WritePngBottomUp(const char* path, int width, int height, const unsigned char* rgb);
