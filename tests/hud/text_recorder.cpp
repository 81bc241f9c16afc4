// glCallLists interposer for the HUD tests (see text_recorder.h).
#include "tests/hud/text_recorder.h"

#include <dlfcn.h>

#include <cstdlib>

#include "platform/gl.h"

namespace {

std::vector<DrawnText> drawn;

}  // namespace

extern "C" void glCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
    static void (*real)(GLsizei, GLenum, const GLvoid*) =
        (void (*)(GLsizei, GLenum, const GLvoid*))dlsym(RTLD_NEXT, "glCallLists");
    if (!real) {
        std::abort();
    }
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    real(n, type, lists);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    if (type == GL_UNSIGNED_BYTE) {
        drawn.push_back({std::string((const char*)lists, (size_t)n), before[12], before[13],
                         before[14], after[12]});
    }
}

std::vector<DrawnText> TakeDrawnTexts(void) {
    std::vector<DrawnText> taken;
    taken.swap(drawn);
    return taken;
}
