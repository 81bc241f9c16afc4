// Matrix stacks and transforms of the GL 1.1 stand-in, in single precision as GL keeps them;
// gluPerspective builds its matrix in double precision, as GLU does, and multiplies it in as
// floats.
#include <cmath>
#include <cstring>

#include "platform/gl_standin/state.h"

static const float Identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

static int CurrentIndex(void) {
    return Gl11.matrixMode == GL_PROJECTION ? Gl11Projection
           : Gl11.matrixMode == GL_TEXTURE  ? Gl11Texture
                                            : Gl11ModelView;
}

static float* Top(void) {
    const int i = CurrentIndex();
    return Gl11.matrix[i][Gl11.depth[i]];
}

static void Changed(void) {
    Gl11.mvpStale = 1;
    Gl11.normalStale = 1;
}

// Matrix calls between glBegin and glEnd are errors and change nothing.
static int InsidePrimitive(void) {
    if (Gl11.primitive != Gl11NoPrimitive) {
        Gl11SetError(GL_INVALID_OPERATION);
        return 1;
    }
    return 0;
}

void Gl11MatrixReset(void) {
    for (int i = 0; i < Gl11MatrixCount; ++i) {
        Gl11.depth[i] = 0;
        std::memcpy(Gl11.matrix[i][0], Identity, sizeof Identity);
    }
    Gl11.matrixMode = GL_MODELVIEW;
    Changed();
}

void Gl11MatrixMultiply(const float* a, const float* b, float* out) {
    float r[16];
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            r[c * 4 + row] = a[row] * b[c * 4] + a[4 + row] * b[c * 4 + 1] +
                             a[8 + row] * b[c * 4 + 2] + a[12 + row] * b[c * 4 + 3];
        }
    }
    std::memcpy(out, r, sizeof r);
}

// The top of the current stack becomes top * m.
static void MultiplyTop(const float* m) {
    float* const top = Top();
    Gl11MatrixMultiply(top, m, top);
    Changed();
}

const float* Gl11ModelViewProjection(void) {
    if (Gl11.mvpStale) {
        Gl11MatrixMultiply(Gl11.matrix[Gl11Projection][Gl11.depth[Gl11Projection]],
                           Gl11.matrix[Gl11ModelView][Gl11.depth[Gl11ModelView]], Gl11.mvp);
        Gl11.mvpStale = 0;
    }
    return Gl11.mvp;
}

// The inverse transpose of the modelview's upper 3x3, which carries normals to eye space; a
// singular matrix gives zero normals.
const float* Gl11NormalMatrix(void) {
    if (!Gl11.normalStale) {
        return Gl11.normalMatrix;
    }
    const float* m = Gl11.matrix[Gl11ModelView][Gl11.depth[Gl11ModelView]];
    const double a = m[0], b = m[4], c = m[8];
    const double d = m[1], e = m[5], f = m[9];
    const double g = m[2], h = m[6], i = m[10];
    const double A = e * i - f * h, B = -(d * i - f * g), C = d * h - e * g;
    const double det = a * A + b * B + c * C;
    const double s = det != 0.0 ? 1.0 / det : 0.0;
    // Cofactor matrix / det = inverse transpose; stored column-major.
    const double cof[9] = {A,
                           B,
                           C,
                           -(b * i - c * h),
                           a * i - c * g,
                           -(a * h - b * g),
                           b * f - c * e,
                           -(a * f - c * d),
                           a * e - b * d};
    // Row r of the inverse transpose is cof[3r..3r+2]; normal' = N * n.
    for (int r = 0; r < 3; ++r) {
        for (int col = 0; col < 3; ++col) {
            Gl11.normalMatrix[col * 3 + r] = (float)(cof[r * 3 + col] * s);
        }
    }
    Gl11.normalStale = 0;
    return Gl11.normalMatrix;
}

void Gl11MatrixMode(const GLenum mode) {
    if (InsidePrimitive()) {
        return;
    }
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION && mode != GL_TEXTURE) {
        Gl11SetError(GL_INVALID_ENUM);
        return;
    }
    Gl11.matrixMode = mode;
}

void Gl11LoadIdentity(void) {
    if (Gl11ListRecord(Gl11OpLoadIdentity, 0, 0, 0, 0) || InsidePrimitive()) {
        return;
    }
    std::memcpy(Top(), Identity, sizeof Identity);
    Changed();
}

void Gl11LoadMatrixf(const GLfloat* m) {
    if (InsidePrimitive()) {
        return;
    }
    std::memcpy(Top(), m, 16 * sizeof(float));
    Changed();
}

void Gl11MultMatrixf(const GLfloat* m) {
    if (InsidePrimitive()) {
        return;
    }
    MultiplyTop(m);
}

void Gl11PushMatrix(void) {
    if (Gl11ListRecord(Gl11OpPushMatrix, 0, 0, 0, 0) || InsidePrimitive()) {
        return;
    }
    const int i = CurrentIndex();
    if (Gl11.depth[i] + 1 >= Gl11MatrixStackDepth) {
        Gl11SetError(GL_STACK_OVERFLOW);
        return;
    }
    std::memcpy(Gl11.matrix[i][Gl11.depth[i] + 1], Gl11.matrix[i][Gl11.depth[i]],
                16 * sizeof(float));
    Gl11.depth[i]++;
}

void Gl11PopMatrix(void) {
    if (Gl11ListRecord(Gl11OpPopMatrix, 0, 0, 0, 0) || InsidePrimitive()) {
        return;
    }
    const int i = CurrentIndex();
    if (Gl11.depth[i] == 0) {
        Gl11SetError(GL_STACK_UNDERFLOW);
        return;
    }
    Gl11.depth[i]--;
    Changed();
}

void Gl11Translatef(const GLfloat x, const GLfloat y, const GLfloat z) {
    if (Gl11ListRecord(Gl11OpTranslate, x, y, z, 0) || InsidePrimitive()) {
        return;
    }
    float* const m = Top();
    for (int row = 0; row < 4; ++row) {
        m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    }
    Changed();
}

void Gl11Scalef(const GLfloat x, const GLfloat y, const GLfloat z) {
    if (Gl11ListRecord(Gl11OpScale, x, y, z, 0) || InsidePrimitive()) {
        return;
    }
    float* const m = Top();
    for (int row = 0; row < 4; ++row) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
    Changed();
}

// The rotation of glRotate: angle in degrees about the axis (x, y, z), normalised.
void Gl11Rotatef(const GLfloat angle, const GLfloat x, const GLfloat y, const GLfloat z) {
    if (Gl11ListRecord(Gl11OpRotate, angle, x, y, z) || InsidePrimitive()) {
        return;
    }
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f) {
        return;  // no axis: GL leaves the matrix as it is
    }
    const float radians = (float)(angle * (M_PI / 180.0));
    const float s = std::sin(radians), c = std::cos(radians), t = 1.0f - c;
    const float u = x / length, v = y / length, w = z / length;
    const float r[16] = {t * u * u + c,
                         t * u * v + s * w,
                         t * u * w - s * v,
                         0,
                         t * u * v - s * w,
                         t * v * v + c,
                         t * v * w + s * u,
                         0,
                         t * u * w + s * v,
                         t * v * w - s * u,
                         t * w * w + c,
                         0,
                         0,
                         0,
                         0,
                         1};
    MultiplyTop(r);
}

void Gl11Perspective(const GLdouble fovy, const GLdouble aspect, const GLdouble zNear,
                     const GLdouble zFar) {
    const double radians = fovy / 2 * M_PI / 180;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) {
        return;  // GLU ignores a degenerate frustum
    }
    const double cotangent = std::cos(radians) / sine;
    float m[16] = {0};
    m[0] = (float)(cotangent / aspect);
    m[5] = (float)cotangent;
    m[10] = (float)(-(zFar + zNear) / deltaZ);
    m[11] = -1.0f;
    m[14] = (float)(-2 * zNear * zFar / deltaZ);
    Gl11MultMatrixf(m);
}
