// The run probes that query the GL context (run_probe.h): Mesa's build only, since they call
// desktop GL's glIsShader and glIsProgram, which the GL 1.1 stand-in does not have.
#define GL_GLEXT_PROTOTYPES 1

#include "platform/gl.h"
#include "tools/performance/run_probe.h"

#include <GL/glext.h>

int GlListsInUse(const int highest) {
    int live = 0;
    for (int name = 1; name <= highest; name++) {
        live += glIsList((GLuint)name) == GL_TRUE;
    }
    return live;
}

int GlShaderObjectsInUse(const int highest) {
    int live = 0;
    for (int name = 1; name <= highest; name++) {
        live += glIsShader((GLuint)name) == GL_TRUE || glIsProgram((GLuint)name) == GL_TRUE;
    }
    return live;
}
