// The GLES side of the GL 1.1 stand-in: the fixed-function shader, the stream buffers, the
// GLES state each draw needs (set only when it changes), and the vertex programs' attributes.
// Every batch is one buffer upload and one draw per kind (triangles, lines).
#include <cstdio>
#include <cstring>

#include "platform/gl_standin/batch.h"
#include "platform/gl_standin/gles_api.h"

Gl11BatchRecord Gl11Batch;

// The attribute names linked vertex programs read, in Gl11Attribute order.
static const char* const AttributeNames[Gl11AttribCount] = {
    "limnora_Vertex",         "limnora_Color",          "limnora_Normal",
    "limnora_SecondaryColor", "limnora_FogCoord",       "limnora_MultiTexCoord0",
    "limnora_MultiTexCoord1", "limnora_MultiTexCoord2", "limnora_MultiTexCoord3",
    "limnora_MultiTexCoord4", "limnora_MultiTexCoord5", "limnora_MultiTexCoord6",
    "limnora_MultiTexCoord7"};

// Components (floats, or bytes for the colour) of each attribute in a program's layout.
static const int AttributeSize[Gl11AttribCount] = {4, 4, 3, 3, 1, 4, 4, 4, 4, 4, 4, 4, 4};

// The fixed-function vertex stage: positions arrive in clip space, colours lit.
static const char* const FixedVertexShader =
    "#version 300 es\n"
    "in vec4 limnora_Vertex;\n"
    "in vec4 limnora_Color;\n"
    "out vec4 limnora_FrontColor;\n"
    "void main() {\n"
    "    gl_Position = limnora_Vertex;\n"
    "    limnora_FrontColor = limnora_Color;\n"
    "}\n";

// The fixed-function fragment stage, shared with every vertex program: the smooth colour.
static const char* const FixedFragmentShader =
    "#version 300 es\n"
    "precision highp float;\n"
    "in vec4 limnora_FrontColor;\n"
    "out vec4 limnora_FragColor;\n"
    "void main() {\n"
    "    limnora_FragColor = clamp(limnora_FrontColor, 0.0, 1.0);\n"
    "}\n";

// GLES objects and the GLES state last set; all of it belongs to the state's context.
struct BatchObjects {
    int made;
    GLuint fixedProgram, fragmentShader, vertexArray, vertexBuffer, indexBuffer;
    int applied;  // the fields below hold what GLES has
    int blend, depthTest;
    GLenum blendSource, blendDestination, depthFunc;
    GLuint program;
    int layoutProgram;       // program whose layout the attribute pointers describe, -1 none
    unsigned enabledArrays;  // attribute arrays enabled
};

static BatchObjects Objects;

// Vertex programs' attribute sets, looked up once per program.
struct ProgramLayout {
    GLuint program;
    unsigned attributes;
};
enum { LayoutCacheSize = 16 };
static ProgramLayout Layouts[LayoutCacheSize];

static GLuint Compile(const GLenum kind, const char* source) {
    const GLuint shader = GLES(createShader)(kind);
    GLES(shaderSource)(shader, 1, &source, nullptr);
    GLES(compileShader)(shader);
    GLint ok = 0;
    GLES(getShaderiv)(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[512] = "";
        GLES(getShaderInfoLog)(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "GL 1.1 stand-in: fixed-function shader: %s\n", log);
    }
    return shader;
}

static void BindAttributes(const GLuint program) {
    for (int i = 0; i < Gl11AttribCount; ++i) {
        GLES(bindAttribLocation)(program, (GLuint)i, AttributeNames[i]);
    }
}

// The shaders, buffers and vertex array of the current context, made once.
static int MakeObjects(void) {
    if (Objects.made) {
        return 1;
    }
    if (Gl11.context == nullptr) {
        return 0;
    }
    std::memset(&Objects, 0, sizeof Objects);
    Objects.fragmentShader = Compile(GL_FRAGMENT_SHADER, FixedFragmentShader);
    const GLuint vertexShader = Compile(GL_VERTEX_SHADER, FixedVertexShader);
    Objects.fixedProgram = GLES(createProgram)();
    GLES(attachShader)(Objects.fixedProgram, vertexShader);
    GLES(attachShader)(Objects.fixedProgram, Objects.fragmentShader);
    BindAttributes(Objects.fixedProgram);
    GLES(linkProgram)(Objects.fixedProgram);
    GLES(deleteShader)(vertexShader);
    GLES(genVertexArrays)(1, &Objects.vertexArray);
    GLES(bindVertexArray)(Objects.vertexArray);
    GLES(genBuffers)(1, &Objects.vertexBuffer);
    GLES(genBuffers)(1, &Objects.indexBuffer);
    GLES(bindBuffer)(GL_ARRAY_BUFFER, Objects.vertexBuffer);
    GLES(bindBuffer)(GL_ELEMENT_ARRAY_BUFFER, Objects.indexBuffer);
    Objects.layoutProgram = -1;
    Objects.made = 1;
    return 1;
}

void Gl11BatchForget(void) {
    std::memset(&Objects, 0, sizeof Objects);
    std::memset(Layouts, 0, sizeof Layouts);
    Gl11Batch.vertexCount = 0;
    Gl11Batch.triangleCount = 0;
    Gl11Batch.lineCount = 0;
    Gl11BatchLayout();
}

static void Toggle(const GLenum cap, const int on) {
    if (on) {
        GLES(enable)(cap);
    } else {
        GLES(disable)(cap);
    }
}

// Brings GLES to the state the batch was drawn in.
static void ApplyState(void) {
    BatchObjects* const o = &Objects;
    const int all = !o->applied;
    if (all || o->blend != Gl11.blend) {
        Toggle(GL_BLEND, Gl11.blend);
        o->blend = Gl11.blend;
    }
    if (all || o->blendSource != Gl11.blendSource || o->blendDestination != Gl11.blendDestination) {
        GLES(blendFunc)(Gl11.blendSource, Gl11.blendDestination);
        o->blendSource = Gl11.blendSource;
        o->blendDestination = Gl11.blendDestination;
    }
    if (all || o->depthTest != Gl11.depthTest) {
        Toggle(GL_DEPTH_TEST, Gl11.depthTest);
        o->depthTest = Gl11.depthTest;
    }
    if (all || o->depthFunc != Gl11.depthFunc) {
        GLES(depthFunc)(Gl11.depthFunc);
        o->depthFunc = Gl11.depthFunc;
    }
    const GLuint program = Gl11.program != 0 ? Gl11.program : o->fixedProgram;
    if (all || o->program != program) {
        GLES(useProgram)(program);
        o->program = program;
    }
    o->applied = 1;
}

// Points the attribute arrays at the layout of the batch's program.
static void ApplyLayout(void) {
    if (Objects.layoutProgram == (int)Gl11.program) {
        return;
    }
    unsigned wanted = 0;
    const GLsizei stride = Gl11Batch.stride;
    if (Gl11.program == 0) {
        wanted = (1u << Gl11AttribPosition) | (1u << Gl11AttribColour);
        GLES(vertexAttribPointer)(Gl11AttribPosition, 4, GL_FLOAT, GL_FALSE, stride, (void*)0);
        GLES(vertexAttribPointer)
        (Gl11AttribColour, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, (void*)16);
    } else {
        wanted = Gl11Batch.attributes;
        for (int i = 0; i < Gl11AttribCount; ++i) {
            if (wanted & (1u << i)) {
                const void* at = (const void*)(size_t)Gl11Batch.offset[i];
                if (i == Gl11AttribColour) {
                    GLES(vertexAttribPointer)(i, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, at);
                } else {
                    GLES(vertexAttribPointer)(i, AttributeSize[i], GL_FLOAT, GL_FALSE, stride, at);
                }
            }
        }
    }
    for (int i = 0; i < Gl11AttribCount; ++i) {
        const unsigned bit = 1u << i;
        if ((wanted & bit) && !(Objects.enabledArrays & bit)) {
            GLES(enableVertexAttribArray)(i);
        } else if (!(wanted & bit) && (Objects.enabledArrays & bit)) {
            GLES(disableVertexAttribArray)(i);
        }
    }
    Objects.enabledArrays = wanted;
    Objects.layoutProgram = (int)Gl11.program;
}

static void Draw(const GLenum kind, const GLuint* indices, const int count) {
    GLES(bufferData)
    (GL_ELEMENT_ARRAY_BUFFER, (GLsizeiptr)count * sizeof(GLuint), indices, GL_STREAM_DRAW);
    GLES(drawElements)(kind, count, GL_UNSIGNED_INT, (void*)0);
    Gl11Count.draws++;
}

void Gl11BatchFlush(void) {
    Gl11BatchRecord* const b = &Gl11Batch;
    if ((b->triangleCount > 0 || b->lineCount > 0) && MakeObjects()) {
        ApplyState();
        GLES(bufferData)
        (GL_ARRAY_BUFFER, (GLsizeiptr)b->vertexCount * b->stride, b->vertices, GL_STREAM_DRAW);
        ApplyLayout();
        if (b->triangleCount > 0) {
            Draw(GL_TRIANGLES, b->triangles, b->triangleCount);
        }
        if (b->lineCount > 0) {
            Draw(GL_LINES, b->lines, b->lineCount);
        }
    }
    b->vertexCount = 0;
    b->triangleCount = 0;
    b->lineCount = 0;
}

int Gl11BatchRoom(void) {
    const Gl11BatchRecord* const b = &Gl11Batch;
    return b->vertexCount < b->capacity &&
           b->triangleCount + Gl11MostIndicesPerVertex <= Gl11BatchIndices &&
           b->lineCount + Gl11MostIndicesPerVertex <= Gl11BatchIndices;
}

// The attributes a linked program reads, from the cache or from GLES.
static unsigned ProgramAttributes(const GLuint program) {
    int free = -1;
    for (int i = 0; i < LayoutCacheSize; ++i) {
        if (Layouts[i].program == program) {
            return Layouts[i].attributes;
        }
        if (Layouts[i].program == 0 && free < 0) {
            free = i;
        }
    }
    unsigned attributes = 1u << Gl11AttribPosition;
    for (int i = 1; i < Gl11AttribCount; ++i) {
        if (GLES(getAttribLocation)(program, AttributeNames[i]) >= 0) {
            attributes |= 1u << i;
        }
    }
    Layouts[free >= 0 ? free : 0] = ProgramLayout{program, attributes};
    return attributes;
}

void Gl11BatchLayout(void) {
    Gl11BatchRecord* const b = &Gl11Batch;
    if (Gl11.program == 0) {
        b->stride = 20;  // clip position (4 floats), colour (4 bytes)
        b->attributes = 0;
    } else {
        b->attributes = ProgramAttributes(Gl11.program);
        int at = 0;
        for (int i = 0; i < Gl11AttribCount; ++i) {
            if (b->attributes & (1u << i)) {
                b->offset[i] = at;
                at += i == Gl11AttribColour ? 4 : AttributeSize[i] * 4;
            }
        }
        b->stride = at;
    }
    b->capacity = Gl11BatchBytes / b->stride;
}

void Gl11LinkProgram(const GLuint program) {
    if (!MakeObjects()) {
        Gl11SetError(GL_INVALID_OPERATION);
        return;
    }
    GLES(attachShader)(program, Objects.fragmentShader);
    BindAttributes(program);
    GLES(linkProgram)(program);
    for (ProgramLayout& layout : Layouts) {
        if (layout.program == program) {
            layout.program = 0;  // relinked: its attributes may have changed
        }
    }
}

void Gl11UseProgram(const GLuint program) {
    if (Gl11.primitive != Gl11NoPrimitive) {
        Gl11SetError(GL_INVALID_OPERATION);
        return;
    }
    Gl11BatchFlush();
    Gl11.program = program;
    Gl11BatchLayout();
    // Uniforms set next go to this program: GLES must have it in use from now on.
    if (MakeObjects()) {
        const GLuint used = program != 0 ? program : Objects.fixedProgram;
        GLES(useProgram)(used);
        Objects.program = used;
    }
}
