// OpenGL 1.1 and GLU for the program: the Win32 header must come first on Windows. The GLES
// build (LIMNORA_GL_STANDIN) maps the same names onto the stand-in in platform/gl_standin/.
#pragma once

#include "platform/win32.h"

#ifdef LIMNORA_GL_STANDIN
// The GLES build: the same names reach the GL 1.1 stand-in over OpenGL ES 3.0.
#include "platform/gl_standin/gl11_names.h"
#else
#include <GL/gl.h>
#include <GL/glu.h>
// Mesa's gl.h brings the names of OpenGL 1.2 and later along; Windows' stops at 1.1. Naming them
// here as well lets the same code see the same declarations on both.
#include <GL/glext.h>
#endif
