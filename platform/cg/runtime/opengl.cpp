// The OpenGL side of the Cg runtime: the vertex profile, loading (GLSL compile and link), binding,
// and setting parameters. Uniform values are kept per program and sent whenever it becomes the
// GL program in use; varying inputs go straight to the current vertex attributes, so those calls
// are legal between glBegin and glEnd. Nothing here allocates once a program is loaded.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/cg/runtime/gl_entry.h"
#include "platform/cg/runtime/runtime.h"

// Which program the profile runs: bound by cgGLBindProgram, active while the profile is enabled.
static CGprogram BoundProgram = 0;
static int ProfileEnabled = 0;
static int ApiLoaded = 0;
#ifdef LIMNORA_SHIPPED
// The program's build (limnora_cg) has no test hooks.
static int ProfileHidden(void) {
    return 0;
}
static void BeforeLink(unsigned) {}
#else
// The build for tests and tools (limnora_cg_hooked).
void (*CgGlBeforeLink)(unsigned glProgram) = 0;
int CgGlHideProfile = 0;
static int ProfileHidden(void) {
    return CgGlHideProfile;
}
static void BeforeLink(const unsigned glProgram) {
    if (CgGlBeforeLink) {
        CgGlBeforeLink(glProgram);
    }
}
#endif

static int ApiReady(void) {
    if (!ApiLoaded) {
        ApiLoaded = GlslApiLoad();
    }
    return ApiLoaded;
}

// Reads "major.minor" at the start of a GL version string (or after a "OpenGL ES" prefix).
static int VersionAtLeast(const char* text, const int major, const int minor) {
    if (!text) {
        return 0;
    }
    while (*text && (*text < '0' || *text > '9')) {
        ++text;
    }
    char* end = 0;
    const long hi = strtol(text, &end, 10);
    const long lo = (end && *end == '.') ? strtol(end + 1, 0, 10) : 0;
    return hi > major || (hi == major && lo >= minor);
}

CGprofile cgGLGetLatestProfile(const CGGLenum profileClass) {
    if (profileClass != CG_GL_VERTEX && profileClass != CG_GL_FRAGMENT &&
        profileClass != CG_GL_GEOMETRY) {
        CgSetError(CG_INVALID_ENUMERANT_ERROR);
        return CG_PROFILE_UNKNOWN;
    }
    if (profileClass != CG_GL_VERTEX || ProfileHidden()) {
        return CG_PROFILE_UNKNOWN;  // fragments and geometry stay fixed-function
    }
    const char* version = (const char*)glGetString(GL_VERSION);
    const char* glsl = (const char*)glGetString(GL_SHADING_LANGUAGE_VERSION);
    if (!VersionAtLeast(version, 2, 0) || !VersionAtLeast(glsl, 1, 20) || !ApiReady()) {
        return CG_PROFILE_UNKNOWN;
    }
    return CG_PROFILE_GLSLV;
}

int CgGlDialect(void) {
    const char* glsl = (const char*)glGetString(GL_SHADING_LANGUAGE_VERSION);
    return glsl && strncmp(glsl, "OpenGL ES", 9) == 0 ? CgGlslEs300 : CgGlsl120;
}

void cgGLSetOptimalOptions(const CGprofile profile) {
    if (profile != CG_PROFILE_GLSLV) {
        CgSetError(CG_INVALID_PROFILE_ERROR);
    }
}

// Sends one uniform to the program in use.
static void ApplyUniform(const CGprogram p, const int i) {
    const CgParamInfo* info = &p->compiled.params[i];
    const int location = p->locations[i];
    if (location < 0 || !p->valueSet[i]) {
        return;  // not used by the shader, or never given a value
    }
    const float* v = p->values[i];
    if (info->matrix) {
        Glsl.uniformMatrix[info->rows - 2][info->cols - 2](location, 1, GL_FALSE, v);
    } else if (info->base == 3) {
        PFNGLUNIFORM1FVPROC set[4] = {Glsl.uniform1fv, Glsl.uniform2fv, Glsl.uniform3fv,
                                      Glsl.uniform4fv};
        set[info->cols - 1](location, 1, v);
    } else {
        GLint n[4];
        for (int k = 0; k < info->cols; ++k) {
            n[k] = (GLint)v[k];
        }
        PFNGLUNIFORM1IVPROC set[4] = {Glsl.uniform1iv, Glsl.uniform2iv, Glsl.uniform3iv,
                                      Glsl.uniform4iv};
        set[info->cols - 1](location, 1, n);
    }
}

static int ProgramInUse(const CGprogram p) {
    return ProfileEnabled && BoundProgram == p && p->glProgram != 0;
}

// Makes the bound program the GL program in use, with all its uniform values.
static void Activate(void) {
    if (!ProfileEnabled || !BoundProgram || !CgProgramValid(BoundProgram) ||
        !BoundProgram->glProgram) {
        return;
    }
    Glsl.useProgram(BoundProgram->glProgram);
    for (int i = 0; i < BoundProgram->compiled.paramCount; ++i) {
        ApplyUniform(BoundProgram, i);
    }
}

void CgGlReleaseProgram(const CGprogram p) {
    if (BoundProgram == p) {
        if (ProfileEnabled && p->glProgram) {
            Glsl.useProgram(0);
        }
        BoundProgram = 0;
    }
    if (p->glProgram) {
        Glsl.deleteProgram(p->glProgram);
    }
    if (p->shader) {
        Glsl.deleteShader(p->shader);
    }
    p->glProgram = 0;
    p->shader = 0;
}

// The compiler only hands over GLSL it has checked, so a driver refusing it is the compiler's
// fault: the listing says so in one error line, with the driver's first message as the detail.
static void ReportInternalError(const CGprogram p, const int isShader, const unsigned object) {
    char log[256] = "";
    GLsizei written = 0;
    if (isShader) {
        Glsl.getShaderInfoLog(object, sizeof log, &written, log);
    } else {
        Glsl.getProgramInfoLog(object, sizeof log, &written, log);
    }
    log[written > 0 && written < (GLsizei)sizeof log ? written : sizeof log - 1] = 0;
    log[strcspn(log, "\r\n")] = 0;
    snprintf(p->context->listing, sizeof p->context->listing,
             "%s(0) : error: internal compiler error: the GLSL generated for this program failed "
             "to %s (driver: %s); please report the program\n",
             p->fileName, isShader ? "compile" : "link", log[0] ? log : "no message");
}

void cgGLLoadProgram(const CGprogram p) {
    if (!CgProgramValid(p)) {
        CgSetError(CG_INVALID_PROGRAM_HANDLE_ERROR);
        return;
    }
    if (p->glProgram) {
        return;  // already loaded
    }
    if (!ApiReady()) {
        CgSetError(CG_PROGRAM_LOAD_ERROR);
        return;
    }
    p->shader = Glsl.createShader(GL_VERTEX_SHADER);
    if (!p->shader) {
        CgSetError(CG_PROGRAM_LOAD_ERROR);  // no current GL context
        return;
    }
    const GLchar* text = p->compiled.glsl;
    Glsl.shaderSource(p->shader, 1, &text, 0);
    Glsl.compileShader(p->shader);
    GLint ok = 0;
    Glsl.getShaderiv(p->shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        ReportInternalError(p, 1, p->shader);
        CgGlReleaseProgram(p);
        CgSetError(CG_PROGRAM_LOAD_ERROR);
        return;
    }
    p->glProgram = Glsl.createProgram();
    Glsl.attachShader(p->glProgram, p->shader);
    BeforeLink(p->glProgram);
    Glsl.linkProgram(p->glProgram);
    Glsl.getProgramiv(p->glProgram, GL_LINK_STATUS, &ok);
    if (!ok) {
        ReportInternalError(p, 0, p->glProgram);
        CgGlReleaseProgram(p);
        CgSetError(CG_PROGRAM_LOAD_ERROR);
        return;
    }
    for (int i = 0; i < p->compiled.paramCount; ++i) {
        const CgParamInfo* info = &p->compiled.params[i];
        p->locations[i] =
            info->uniform ? Glsl.getUniformLocation(p->glProgram, info->glslName) : -1;
    }
    if (BoundProgram == p) {
        Activate();
    }
}

void cgGLEnableProfile(const CGprofile profile) {
    if (profile != CG_PROFILE_GLSLV) {
        CgSetError(CG_INVALID_PROFILE_ERROR);
        return;
    }
    ProfileEnabled = 1;
    Activate();
}

void cgGLDisableProfile(const CGprofile profile) {
    if (profile != CG_PROFILE_GLSLV) {
        CgSetError(CG_INVALID_PROFILE_ERROR);
        return;
    }
    if (ProfileEnabled && BoundProgram && BoundProgram->glProgram) {
        Glsl.useProgram(0);
    }
    ProfileEnabled = 0;
}

void cgGLBindProgram(const CGprogram p) {
    if (!CgProgramValid(p)) {
        CgSetError(CG_INVALID_PROGRAM_HANDLE_ERROR);
        return;
    }
    if (!p->glProgram) {
        CgSetError(CG_PROGRAM_NOT_LOADED_ERROR);
        return;
    }
    BoundProgram = p;
    Activate();
}

// Stores up to `count` components of a uniform and sends it if its program is in use.
static void SetUniform(const CGparameter param, const float* values, const int count) {
    const CGprogram p = param->program;
    const CgParamInfo* info = &p->compiled.params[param->index];
    const int size = info->rows * info->cols;
    float* v = p->values[param->index];
    for (int k = 0; k < size && k < count; ++k) {
        v[k] = values[k];
    }
    p->valueSet[param->index] = 1;
    if (ProgramInUse(p)) {
        ApplyUniform(p, param->index);
    }
}

// Sends a varying input as the current attribute of its binding. Components past the
// parameter's size are dropped; missing ones are 0, 0, 1 as for glMultiTexCoord.
static inline __attribute__((always_inline)) void SetVarying(const CgParamInfo* info,
                                                             const float* given, const int count) {
    float v[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    for (int k = 0; k < count && k < info->cols; ++k) {
        v[k] = given[k];
    }
    switch (info->binding) {
        case CgBindTexCoord:
            Glsl.multiTexCoord4f(GL_TEXTURE0 + info->bindingIndex, v[0], v[1], v[2], v[3]);
            break;
        case CgBindColor0:
            glColor4f(v[0], v[1], v[2], v[3]);
            break;
        case CgBindColor1:
            Glsl.secondaryColor3f(v[0], v[1], v[2]);
            break;
        case CgBindNormal:
            glNormal3f(v[0], v[1], v[2]);
            break;
        case CgBindFogCoord:
            Glsl.fogCoordf(v[0]);
            break;
        default:
            glVertex4f(v[0], v[1], v[2], v[3]);  // a position emits a vertex, as glVertex does
            break;
    }
}

// Always inlined, so that each cgGLSetParameterNf gets its own copy with the count fixed: the
// plant pass sends one float per vertex through it.
static inline __attribute__((always_inline)) void SetParameter(const CGparameter param,
                                                               const float* values,
                                                               const int count) {
    if (!CgParameterValid(param)) {
        CgSetError(CG_INVALID_PARAM_HANDLE_ERROR);
        return;
    }
    const CgParamInfo* info = &param->program->compiled.params[param->index];
    if (info->matrix) {
        CgSetError(CG_INVALID_PARAMETER_ERROR);  // matrices take the matrix calls
        return;
    }
    if (!info->uniform) {
        if (ApiReady()) {
            SetVarying(info, values, count);
        }
        return;
    }
    SetUniform(param, values, count);
}

void cgGLSetParameter1f(const CGparameter param, const float x) {
    const float v[1] = {x};
    SetParameter(param, v, 1);
}

void cgGLSetParameter2f(const CGparameter param, const float x, const float y) {
    const float v[2] = {x, y};
    SetParameter(param, v, 2);
}

void cgGLSetParameter3f(const CGparameter param, const float x, const float y, const float z) {
    const float v[3] = {x, y, z};
    SetParameter(param, v, 3);
}

void cgGLSetParameter4f(const CGparameter param, const float x, const float y, const float z,
                        const float w) {
    const float v[4] = {x, y, z, w};
    SetParameter(param, v, 4);
}

// The parameter as a uniform float matrix, or 0 after setting the error.
static const CgParamInfo* MatrixParam(const CGparameter param) {
    if (!CgParameterValid(param)) {
        CgSetError(CG_INVALID_PARAM_HANDLE_ERROR);
        return 0;
    }
    const CgParamInfo* info = &param->program->compiled.params[param->index];
    if (!info->uniform || !info->matrix) {
        CgSetError(CG_NOT_MATRIX_PARAM_ERROR);
        return 0;
    }
    return info;
}

void cgGLSetMatrixParameterfr(const CGparameter param, const float* matrix) {
    const CgParamInfo* info = MatrixParam(param);
    if (!info) {
        return;
    }
    if (!matrix) {
        CgSetError(CG_INVALID_POINTER_ERROR);
        return;
    }
    SetUniform(param, matrix, info->rows * info->cols);
}

int CgMatrixInvert(const double* m, double* out);  // matrix.cpp

void cgGLSetStateMatrixParameter(const CGparameter param, const CGGLenum matrix,
                                 const CGGLenum transform) {
    const CgParamInfo* info = MatrixParam(param);
    if (!info) {
        return;
    }
    if (matrix < CG_GL_MODELVIEW_MATRIX || matrix > CG_GL_MODELVIEW_PROJECTION_MATRIX ||
        transform < CG_GL_MATRIX_IDENTITY || transform > CG_GL_MATRIX_INVERSE_TRANSPOSE) {
        CgSetError(CG_INVALID_ENUMERANT_ERROR);
        return;
    }
    // GL hands matrices over column-major: g[col * 4 + row].
    float modelview[16], projection[16], texture[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_TEXTURE_MATRIX, texture);
    double m[16];  // the mathematical matrix, row-major: m[row * 4 + col]
    for (int r = 0; r < 4; ++r) {
        for (int col = 0; col < 4; ++col) {
            double value = 0.0;
            if (matrix == CG_GL_MODELVIEW_PROJECTION_MATRIX) {
                for (int k = 0; k < 4; ++k) {
                    value += (double)projection[k * 4 + r] * modelview[col * 4 + k];
                }
            } else {
                const float* g = matrix == CG_GL_MODELVIEW_MATRIX
                                     ? modelview
                                     : (matrix == CG_GL_PROJECTION_MATRIX ? projection : texture);
                value = g[col * 4 + r];
            }
            m[r * 4 + col] = value;
        }
    }
    double t[16];
    if (transform == CG_GL_MATRIX_INVERSE || transform == CG_GL_MATRIX_INVERSE_TRANSPOSE) {
        if (!CgMatrixInvert(m, t)) {
            CgSetError(CG_INVALID_PARAMETER_ERROR);  // singular: keep the old value
            return;
        }
        memcpy(m, t, sizeof m);
    }
    const int transpose =
        transform == CG_GL_MATRIX_TRANSPOSE || transform == CG_GL_MATRIX_INVERSE_TRANSPOSE;
    // A smaller matrix parameter takes the upper-left block, row-major.
    float values[16];
    for (int r = 0; r < info->rows; ++r) {
        for (int col = 0; col < info->cols; ++col) {
            values[r * info->cols + col] = (float)(transpose ? m[col * 4 + r] : m[r * 4 + col]);
        }
    }
    SetUniform(param, values, info->rows * info->cols);
}
