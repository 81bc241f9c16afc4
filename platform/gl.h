// OpenGL 1.1 and GLU for the program: the Win32 header must come first on Windows.
#pragma once

#include "platform/win32.h"

#include <GL/gl.h>
#include <GL/glu.h>
