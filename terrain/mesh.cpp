// Terrain drawing: one colour and one vertex per corner, no caching; smooth shading blends the
// corner colours across each quad. Lattice corners reach column and row 1008 at most.
#include "terrain/mesh.h"

#include "platform/gl.h"
#include "terrain/heightmap.h"

// The last lattice line: columns and rows beyond it are never drawn.
static const int MeshExtent = MapSize - MeshStep;

// The colour of a sample of the given height.
static void HeightColour(const int height) {
    const float c = (float)height / 256.0f;
    glColor3f(c, c, 0.0f);
}

void SetHeightColour(const unsigned char* map, int x, int y) {
    if (!map) {
        return;
    }
    HeightColour(HeightAt(map, x, y));
}

// One look-up serves the corner's colour and its height.
static void TerrainCorner(const unsigned char* map, int a, int b) {
    const int height = HeightAt(map, a, b);
    HeightColour(height);
    glVertex3f((float)a, (float)b, (float)height);
}

void DrawTerrain(const unsigned char* map) {
    if (!map) {
        return;
    }
    glBegin(GL_QUADS);
    for (int i = 0; i < MeshExtent; i += MeshStep) {
        for (int j = 0; j < MeshExtent; j += MeshStep) {
            TerrainCorner(map, i, j);
            TerrainCorner(map, i, j + MeshStep);
            TerrainCorner(map, i + MeshStep, j + MeshStep);
            TerrainCorner(map, i + MeshStep, j);
        }
    }
    glEnd();
}
