// The batch of the GL 1.1 stand-in: vertices as they leave vertex processing, and the indices of
// the triangles and lines assembled from them, sent to GLES in as few draws as the state allows.
// Fixed size: a batch that fills up is drawn and the primitive in progress carries on.
#pragma once

#include "platform/gl_standin/state.h"

enum {
    Gl11BatchBytes = 4 << 20,      // vertex storage
    Gl11BatchIndices = 1 << 20,    // per index list
    Gl11MostIndicesPerVertex = 8,  // a quad's outline, completed by its fourth vertex
    Gl11MostBytesPerVertex = 256   // the widest program layout: every attribute
};

// Attribute locations shared by the fixed-function shader and linked vertex programs.
enum Gl11Attribute {
    Gl11AttribPosition,
    Gl11AttribColour,
    Gl11AttribNormal,
    Gl11AttribSecondaryColour,
    Gl11AttribFogCoord,
    Gl11AttribTexCoord0,
    Gl11AttribCount = Gl11AttribTexCoord0 + Gl11TexUnits
};

// Written by vertex.cpp (vertices, indices) and batch.cpp (layout, draws).
struct Gl11BatchRecord {
    alignas(16) unsigned char vertices[Gl11BatchBytes];
    int stride;                   // bytes per vertex of the current layout
    int capacity;                 // vertices that fit at this stride
    int vertexCount;              // vertices stored
    unsigned attributes;          // Gl11Attribute bits the layout holds (program layout)
    int offset[Gl11AttribCount];  // byte offset of each held attribute
    GLuint triangles[Gl11BatchIndices];
    int triangleCount;
    GLuint lines[Gl11BatchIndices];
    int lineCount;
};

extern Gl11BatchRecord Gl11Batch;

// 1 when another vertex and its indices fit.
int Gl11BatchRoom(void);
// Picks the fixed-function layout (clip position, colour) or the bound program's.
void Gl11BatchLayout(void);
