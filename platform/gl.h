// OpenGL 1.1 and GLU for the program: the Win32 header must come first on Windows.
#pragma once

#include "platform/win32.h"

#include <GL/gl.h>
#include <GL/glu.h>
// Mesa's gl.h brings the names of OpenGL 1.2 and later along; Windows' stops at 1.1. Naming them
// here as well lets the same code see the same declarations on both.
#include <GL/glext.h>
