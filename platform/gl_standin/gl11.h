// The OpenGL 1.1 and GLU subset that Limnora calls, implemented over OpenGL ES 3.0 (WebGL 2):
// the GLES types and the GL 1.1 names they lack, and the Gl11 functions that platform/gl.h maps
// the GL names onto in the GLES build. Needs only the GLES 3.0 header; GLES itself is reached
// through the entry-point table of gles_api.h, filled once per context by Gl11MakeCurrent.
#pragma once

#ifndef GL_GLES_PROTOTYPES
#define GL_GLES_PROTOTYPES 0  // GLES is called through the table only, never linked directly
#endif
#include <GLES3/gl3.h>

typedef double GLdouble;
typedef double GLclampd;

// ---- GL 1.1 names that GLES 3.0 does not have --------------------------------------------------
#define GL_QUADS 0x0007
#define GL_QUAD_STRIP 0x0008
#define GL_POLYGON 0x0009
#define GL_CURRENT_COLOR 0x0B00
#define GL_CURRENT_NORMAL 0x0B02
#define GL_LIST_MODE 0x0B30
#define GL_MAX_LIST_NESTING 0x0B31
#define GL_LIST_BASE 0x0B32
#define GL_LIST_INDEX 0x0B33
#define GL_POLYGON_MODE 0x0B40
#define GL_LIGHTING 0x0B50
#define GL_LIGHT_MODEL_LOCAL_VIEWER 0x0B51
#define GL_LIGHT_MODEL_TWO_SIDE 0x0B52
#define GL_LIGHT_MODEL_AMBIENT 0x0B53
#define GL_SHADE_MODEL 0x0B54
#define GL_COLOR_MATERIAL 0x0B57
#define GL_MATRIX_MODE 0x0BA0
#define GL_NORMALIZE 0x0BA1
#define GL_MODELVIEW_MATRIX 0x0BA6
#define GL_PROJECTION_MATRIX 0x0BA7
#define GL_TEXTURE_MATRIX 0x0BA8
#define GL_PERSPECTIVE_CORRECTION_HINT 0x0C50
#define GL_DOUBLEBUFFER 0x0C32
#define GL_STACK_OVERFLOW 0x0503
#define GL_STACK_UNDERFLOW 0x0504
#define GL_AMBIENT 0x1200
#define GL_DIFFUSE 0x1201
#define GL_SPECULAR 0x1202
#define GL_POSITION 0x1203
#define GL_SPOT_DIRECTION 0x1204
#define GL_SPOT_EXPONENT 0x1205
#define GL_SPOT_CUTOFF 0x1206
#define GL_CONSTANT_ATTENUATION 0x1207
#define GL_LINEAR_ATTENUATION 0x1208
#define GL_QUADRATIC_ATTENUATION 0x1209
#define GL_COMPILE 0x1300
#define GL_COMPILE_AND_EXECUTE 0x1301
#define GL_EMISSION 0x1600
#define GL_SHININESS 0x1601
#define GL_AMBIENT_AND_DIFFUSE 0x1602
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_TEXTURE 0x1702
#define GL_POINT 0x1B00
#define GL_LINE 0x1B01
#define GL_FILL 0x1B02
#define GL_FLAT 0x1D00
#define GL_SMOOTH 0x1D01
#define GL_LIGHT0 0x4000
#define GL_LIGHT1 0x4001
#define GL_LIST_BIT 0x00020000
#define GL_TEXTURE0_ARB GL_TEXTURE0

// Looks a GLES entry point up by name (SDL_GL_GetProcAddress natively; the browser build passes
// its own).
typedef void* (*Gl11ProcLoader)(const char* name);

// C names, as the GL they stand in for has: tools wrap them by name at link time (bench_gles).
extern "C" {

// ---- Contexts (called by the Win32 stand-in's WGL layer) ---------------------------------------
// The context `id` (the owner's handle, non-null) became current: loads the GLES entry points
// when needed and, for a context other than the last one, starts from GL's initial state. 0 when
// GLES 3.0 is missing.
int Gl11MakeCurrent(const void* id, Gl11ProcLoader loader);
// The current context is released (pending drawing is sent first) or deleted.
void Gl11ReleaseCurrent(void);
void Gl11ContextDeleted(const void* id);

// ---- Immediate mode ----------------------------------------------------------------------------
void Gl11Begin(GLenum mode);
void Gl11End(void);
void Gl11Vertex3f(GLfloat x, GLfloat y, GLfloat z);
void Gl11Vertex3d(GLdouble x, GLdouble y, GLdouble z);
void Gl11Vertex4f(GLfloat x, GLfloat y, GLfloat z, GLfloat w);
void Gl11Color3f(GLfloat r, GLfloat g, GLfloat b);
void Gl11Color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void Gl11Color4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a);
void Gl11Normal3f(GLfloat x, GLfloat y, GLfloat z);
void Gl11Normal3d(GLdouble x, GLdouble y, GLdouble z);
void Gl11MultiTexCoord4f(GLenum unit, GLfloat s, GLfloat t, GLfloat r, GLfloat q);
void Gl11SecondaryColor3f(GLfloat r, GLfloat g, GLfloat b);
void Gl11FogCoordf(GLfloat f);

// ---- Matrices ----------------------------------------------------------------------------------
void Gl11MatrixMode(GLenum mode);
void Gl11LoadIdentity(void);
void Gl11LoadMatrixf(const GLfloat* m);
void Gl11MultMatrixf(const GLfloat* m);
void Gl11PushMatrix(void);
void Gl11PopMatrix(void);
void Gl11Translatef(GLfloat x, GLfloat y, GLfloat z);
void Gl11Rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void Gl11Scalef(GLfloat x, GLfloat y, GLfloat z);
void Gl11Perspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);

// ---- Lighting ----------------------------------------------------------------------------------
void Gl11Lightfv(GLenum light, GLenum name, const GLfloat* values);
void Gl11LightModelfv(GLenum name, const GLfloat* values);
void Gl11Materialfv(GLenum face, GLenum name, const GLfloat* values);
void Gl11Materialf(GLenum face, GLenum name, GLfloat value);
void Gl11ShadeModel(GLenum mode);

// ---- Fragment and framebuffer state ------------------------------------------------------------
void Gl11Enable(GLenum cap);
void Gl11Disable(GLenum cap);
GLboolean Gl11IsEnabled(GLenum cap);
void Gl11BlendFunc(GLenum source, GLenum destination);
void Gl11DepthFunc(GLenum func);
void Gl11ClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
void Gl11ClearDepth(GLclampd depth);
void Gl11Clear(GLbitfield mask);
void Gl11Viewport(GLint x, GLint y, GLsizei width, GLsizei height);
void Gl11PolygonMode(GLenum face, GLenum mode);
void Gl11FrontFace(GLenum mode);
void Gl11Hint(GLenum target, GLenum mode);
void Gl11Flush(void);
void Gl11Finish(void);
void Gl11PushAttrib(GLbitfield mask);
void Gl11PopAttrib(void);

// ---- Queries and read-back ---------------------------------------------------------------------
GLenum Gl11GetError(void);
const GLubyte* Gl11GetString(GLenum name);
void Gl11GetIntegerv(GLenum name, GLint* values);
void Gl11GetFloatv(GLenum name, GLfloat* values);
void Gl11ReadBuffer(GLenum mode);
void Gl11PixelStorei(GLenum name, GLint value);
void Gl11ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                    void* pixels);

// ---- Display lists -----------------------------------------------------------------------------
GLuint Gl11GenLists(GLsizei range);
void Gl11NewList(GLuint list, GLenum mode);
void Gl11EndList(void);
void Gl11CallList(GLuint list);
void Gl11CallLists(GLsizei n, GLenum type, const void* lists);
void Gl11ListBase(GLuint base);
void Gl11DeleteLists(GLuint list, GLsizei range);
GLboolean Gl11IsList(GLuint list);

// ---- Shaders (the Cg stand-in's vertex programs) -----------------------------------------------
GLuint Gl11CreateShader(GLenum kind);
void Gl11ShaderSource(GLuint shader, GLsizei count, const GLchar* const* text,
                      const GLint* lengths);
void Gl11CompileShader(GLuint shader);
void Gl11GetShaderiv(GLuint shader, GLenum name, GLint* value);
void Gl11GetShaderInfoLog(GLuint shader, GLsizei size, GLsizei* length, GLchar* log);
void Gl11DeleteShader(GLuint shader);
GLuint Gl11CreateProgram(void);
void Gl11AttachShader(GLuint program, GLuint shader);
void Gl11GetProgramiv(GLuint program, GLenum name, GLint* value);
void Gl11GetProgramInfoLog(GLuint program, GLsizei size, GLsizei* length, GLchar* log);
void Gl11DeleteProgram(GLuint program);
GLint Gl11GetUniformLocation(GLuint program, const GLchar* name);
void Gl11Uniform1fv(GLint location, GLsizei count, const GLfloat* v);
void Gl11Uniform2fv(GLint location, GLsizei count, const GLfloat* v);
void Gl11Uniform3fv(GLint location, GLsizei count, const GLfloat* v);
void Gl11Uniform4fv(GLint location, GLsizei count, const GLfloat* v);
void Gl11Uniform1iv(GLint location, GLsizei count, const GLint* v);
void Gl11Uniform2iv(GLint location, GLsizei count, const GLint* v);
void Gl11Uniform3iv(GLint location, GLsizei count, const GLint* v);
void Gl11Uniform4iv(GLint location, GLsizei count, const GLint* v);
void Gl11UniformMatrix2fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* v);
void Gl11UniformMatrix2x3fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* v);
void Gl11UniformMatrix2x4fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* v);
void Gl11UniformMatrix3x2fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* v);
void Gl11UniformMatrix3fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* v);
void Gl11UniformMatrix3x4fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* v);
void Gl11UniformMatrix4x2fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* v);
void Gl11UniformMatrix4x3fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* v);
void Gl11UniformMatrix4fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* v);
// Links a vertex shader of the stand-in's attribute names with the fixed-function fragment stage.
void Gl11LinkProgram(GLuint program);
// Program 0 returns to the fixed-function vertex stage.
void Gl11UseProgram(GLuint program);

}  // extern "C"

// ---- Counters (tools) --------------------------------------------------------------------------
// GLES calls and draw calls made since the last reset.
struct Gl11Counters {
    long long glesCalls;  // every call into the GLES table
    long long draws;      // glDrawElements calls among them
    long long vertices;   // vertices sent
};
extern Gl11Counters Gl11Count;
