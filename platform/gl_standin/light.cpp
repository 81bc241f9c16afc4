// Fixed-function lighting of the GL 1.1 stand-in: OpenGL's per-vertex formula for the lights,
// the front material and the light model, evaluated on the CPU as each vertex arrives.
//   [x] positional and directional lights, attenuation, spot lights, light-model ambient
//   [x] infinite or local viewer; the specular term only where n . L > 0, as GL's LIT does
//   [ ] two-sided lighting, colour tracking (GL_COLOR_MATERIAL), GL_NORMALIZE: refused
#include <cmath>
#include <cstring>

#include "platform/gl_standin/state.h"

static void Set4(float* out, const float a, const float b, const float c, const float d) {
    out[0] = a;
    out[1] = b;
    out[2] = c;
    out[3] = d;
}

void Gl11LightReset(void) {
    std::memset(Gl11.lights, 0, sizeof Gl11.lights);
    for (int i = 0; i < Gl11LightCount; ++i) {
        Gl11Light* const l = &Gl11.lights[i];
        Set4(l->ambient, 0, 0, 0, 1);
        // Light 0 alone starts white.
        const float first = i == 0 ? 1.0f : 0.0f;
        Set4(l->diffuse, first, first, first, 1);
        Set4(l->specular, first, first, first, 1);
        Set4(l->position, 0, 0, 1, 0);
        l->spotDirection[2] = -1.0f;
        l->spotCutoff = 180.0f;
        l->attenuation[0] = 1.0f;
    }
    Gl11Material* const m = &Gl11.material;
    Set4(m->ambient, 0.2f, 0.2f, 0.2f, 1);
    Set4(m->diffuse, 0.8f, 0.8f, 0.8f, 1);
    Set4(m->specular, 0, 0, 0, 1);
    Set4(m->emission, 0, 0, 0, 1);
    m->shininess = 0.0f;
    Set4(Gl11.modelAmbient, 0.2f, 0.2f, 0.2f, 1);
    Gl11.localViewer = 0;
    Gl11.lighting = 0;
}

static float Dot3(const float* a, const float* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Scales v to unit length; a zero vector stays zero.
static void Normalize3(float* v) {
    const float length = std::sqrt(Dot3(v, v));
    if (length > 0.0f) {
        v[0] /= length;
        v[1] /= length;
        v[2] /= length;
    }
}

void Gl11LightVertex(const float eye[3], const float normal[3], float out[4]) {
    const Gl11Material* const m = &Gl11.material;
    float c[3];
    for (int k = 0; k < 3; ++k) {
        c[k] = m->emission[k] + m->ambient[k] * Gl11.modelAmbient[k];
    }
    for (int i = 0; i < Gl11LightCount; ++i) {
        const Gl11Light* const l = &Gl11.lights[i];
        if (!l->enabled) {
            continue;
        }
        float toLight[3];
        float factor = 1.0f;  // attenuation times spot effect
        if (l->position[3] != 0.0f) {
            for (int k = 0; k < 3; ++k) {
                toLight[k] = l->position[k] / l->position[3] - eye[k];
            }
            const float distance = std::sqrt(Dot3(toLight, toLight));
            Normalize3(toLight);
            factor = 1.0f / (l->attenuation[0] + l->attenuation[1] * distance +
                             l->attenuation[2] * distance * distance);
            if (l->spotCutoff != 180.0f) {
                float direction[3] = {l->spotDirection[0], l->spotDirection[1],
                                      l->spotDirection[2]};
                Normalize3(direction);
                const float cosine = -Dot3(toLight, direction);
                const float limit = std::cos(l->spotCutoff * (float)(M_PI / 180.0));
                factor *= cosine >= limit ? std::pow(cosine, l->spotExponent) : 0.0f;
            }
        } else {
            toLight[0] = l->position[0];
            toLight[1] = l->position[1];
            toLight[2] = l->position[2];
            Normalize3(toLight);
        }
        const float nDotL = Dot3(normal, toLight);
        float half[3] = {toLight[0], toLight[1], toLight[2] + 1.0f};
        if (Gl11.localViewer) {
            float toEye[3] = {-eye[0], -eye[1], -eye[2]};
            Normalize3(toEye);
            half[0] = toLight[0] + toEye[0];
            half[1] = toLight[1] + toEye[1];
            half[2] = toLight[2] + toEye[2];
        }
        Normalize3(half);
        const float nDotH = Dot3(normal, half);
        const float diffuse = nDotL > 0.0f ? nDotL : 0.0f;
        const float specular = nDotL > 0.0f && nDotH > 0.0f ? std::pow(nDotH, m->shininess) : 0.0f;
        for (int k = 0; k < 3; ++k) {
            c[k] +=
                factor * (m->ambient[k] * l->ambient[k] + diffuse * m->diffuse[k] * l->diffuse[k] +
                          specular * m->specular[k] * l->specular[k]);
        }
    }
    for (int k = 0; k < 3; ++k) {
        out[k] = c[k] < 0.0f ? 0.0f : (c[k] > 1.0f ? 1.0f : c[k]);
    }
    const float alpha = m->diffuse[3];
    out[3] = alpha < 0.0f ? 0.0f : (alpha > 1.0f ? 1.0f : alpha);
}

// A light's number from its name, or -1.
static int LightIndex(const GLenum light) {
    const int i = (int)light - GL_LIGHT0;
    return i >= 0 && i < Gl11LightCount ? i : -1;
}

// A point or direction given now is kept in eye coordinates.
static void ToEye(const GLfloat* v, const int w, float* out) {
    const float* m = Gl11.matrix[Gl11ModelView][Gl11.depth[Gl11ModelView]];
    const float in[4] = {v[0], v[1], v[2], w ? v[3] : 0.0f};
    for (int row = 0; row < (w ? 4 : 3); ++row) {
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
    }
}

void Gl11Lightfv(const GLenum light, const GLenum name, const GLfloat* values) {
    const int i = LightIndex(light);
    if (i < 0) {
        Gl11SetError(GL_INVALID_ENUM);
        return;
    }
    Gl11Light* const l = &Gl11.lights[i];
    switch (name) {
        case GL_AMBIENT:
            std::memcpy(l->ambient, values, 4 * sizeof(float));
            break;
        case GL_DIFFUSE:
            std::memcpy(l->diffuse, values, 4 * sizeof(float));
            break;
        case GL_SPECULAR:
            std::memcpy(l->specular, values, 4 * sizeof(float));
            break;
        case GL_POSITION:
            ToEye(values, 1, l->position);
            break;
        case GL_SPOT_DIRECTION:
            ToEye(values, 0, l->spotDirection);
            break;
        case GL_SPOT_EXPONENT:
            l->spotExponent = values[0];
            break;
        case GL_SPOT_CUTOFF:
            l->spotCutoff = values[0];
            break;
        case GL_CONSTANT_ATTENUATION:
        case GL_LINEAR_ATTENUATION:
        case GL_QUADRATIC_ATTENUATION:
            l->attenuation[name - GL_CONSTANT_ATTENUATION] = values[0];
            break;
        default:
            Gl11SetError(GL_INVALID_ENUM);
    }
}

void Gl11LightModelfv(const GLenum name, const GLfloat* values) {
    if (name == GL_LIGHT_MODEL_AMBIENT) {
        std::memcpy(Gl11.modelAmbient, values, 4 * sizeof(float));
    } else if (name == GL_LIGHT_MODEL_LOCAL_VIEWER) {
        Gl11.localViewer = values[0] != 0.0f;
    } else if (name == GL_LIGHT_MODEL_TWO_SIDE) {
        if (values[0] != 0.0f) {
            Gl11Unsupported("glLightModelfv(GL_LIGHT_MODEL_TWO_SIDE)", name, GL_INVALID_VALUE);
        }
    } else {
        Gl11SetError(GL_INVALID_ENUM);
    }
}

// Only the front material lights anything with one-sided lighting: GL_BACK alone is kept nowhere.
void Gl11Materialfv(const GLenum face, const GLenum name, const GLfloat* values) {
    if (face != GL_FRONT && face != GL_BACK && face != GL_FRONT_AND_BACK) {
        Gl11SetError(GL_INVALID_ENUM);
        return;
    }
    if (face == GL_BACK) {
        return;
    }
    Gl11Material* const m = &Gl11.material;
    switch (name) {
        case GL_AMBIENT:
            std::memcpy(m->ambient, values, 4 * sizeof(float));
            break;
        case GL_DIFFUSE:
            std::memcpy(m->diffuse, values, 4 * sizeof(float));
            break;
        case GL_AMBIENT_AND_DIFFUSE:
            std::memcpy(m->ambient, values, 4 * sizeof(float));
            std::memcpy(m->diffuse, values, 4 * sizeof(float));
            break;
        case GL_SPECULAR:
            std::memcpy(m->specular, values, 4 * sizeof(float));
            break;
        case GL_EMISSION:
            std::memcpy(m->emission, values, 4 * sizeof(float));
            break;
        case GL_SHININESS:
            if (values[0] < 0.0f || values[0] > 128.0f) {
                Gl11SetError(GL_INVALID_VALUE);
                return;
            }
            m->shininess = values[0];
            break;
        default:
            Gl11SetError(GL_INVALID_ENUM);
    }
}

void Gl11Materialf(const GLenum face, const GLenum name, const GLfloat value) {
    if (name != GL_SHININESS) {
        Gl11SetError(GL_INVALID_ENUM);
        return;
    }
    Gl11Materialfv(face, name, &value);
}
