// The shader calls of the Cg stand-in, passed to GLES. Uniforms change how batched vertices are
// drawn, so each setter sends the batch first.
#include "platform/gl_standin/batch.h"
#include "platform/gl_standin/gles_api.h"

GLuint Gl11CreateShader(const GLenum kind) {
    return GLES(createShader)(kind);
}

void Gl11ShaderSource(const GLuint shader, const GLsizei count, const GLchar* const* text,
                      const GLint* lengths) {
    GLES(shaderSource)(shader, count, text, lengths);
}

void Gl11CompileShader(const GLuint shader) {
    GLES(compileShader)(shader);
}

void Gl11GetShaderiv(const GLuint shader, const GLenum name, GLint* value) {
    GLES(getShaderiv)(shader, name, value);
}

void Gl11GetShaderInfoLog(const GLuint shader, const GLsizei size, GLsizei* length, GLchar* log) {
    GLES(getShaderInfoLog)(shader, size, length, log);
}

void Gl11DeleteShader(const GLuint shader) {
    GLES(deleteShader)(shader);
}

GLuint Gl11CreateProgram(void) {
    return GLES(createProgram)();
}

void Gl11AttachShader(const GLuint program, const GLuint shader) {
    GLES(attachShader)(program, shader);
}

void Gl11GetProgramiv(const GLuint program, const GLenum name, GLint* value) {
    GLES(getProgramiv)(program, name, value);
}

void Gl11GetProgramInfoLog(const GLuint program, const GLsizei size, GLsizei* length, GLchar* log) {
    GLES(getProgramInfoLog)(program, size, length, log);
}

void Gl11DeleteProgram(const GLuint program) {
    if (program != 0 && program == Gl11.program) {
        Gl11UseProgram(0);  // GLES keeps a deleted program in use; GL 1.1 code expects none
    }
    GLES(deleteProgram)(program);
}

GLint Gl11GetUniformLocation(const GLuint program, const GLchar* name) {
    return GLES(getUniformLocation)(program, name);
}

#define GL11_UNIFORM(suffix, field, type)                                                \
    void Gl11Uniform##suffix(const GLint location, const GLsizei count, const type* v) { \
        Gl11BatchFlush();                                                                \
        GLES(field)(location, count, v);                                                 \
    }
GL11_UNIFORM(1fv, uniform1fv, GLfloat)
GL11_UNIFORM(2fv, uniform2fv, GLfloat)
GL11_UNIFORM(3fv, uniform3fv, GLfloat)
GL11_UNIFORM(4fv, uniform4fv, GLfloat)
GL11_UNIFORM(1iv, uniform1iv, GLint)
GL11_UNIFORM(2iv, uniform2iv, GLint)
GL11_UNIFORM(3iv, uniform3iv, GLint)
GL11_UNIFORM(4iv, uniform4iv, GLint)

#define GL11_UNIFORM_MATRIX(suffix, rows, cols)                                   \
    void Gl11UniformMatrix##suffix(const GLint location, const GLsizei count,     \
                                   const GLboolean transpose, const GLfloat* v) { \
        Gl11BatchFlush();                                                         \
        GLES(uniformMatrix[rows - 2][cols - 2])(location, count, transpose, v);   \
    }
GL11_UNIFORM_MATRIX(2fv, 2, 2)
GL11_UNIFORM_MATRIX(2x3fv, 2, 3)
GL11_UNIFORM_MATRIX(2x4fv, 2, 4)
GL11_UNIFORM_MATRIX(3x2fv, 3, 2)
GL11_UNIFORM_MATRIX(3fv, 3, 3)
GL11_UNIFORM_MATRIX(3x4fv, 3, 4)
GL11_UNIFORM_MATRIX(4x2fv, 4, 2)
GL11_UNIFORM_MATRIX(4x3fv, 4, 3)
GL11_UNIFORM_MATRIX(4fv, 4, 4)
