// Water drawing: one GL_QUADS batch in immediate mode; corners run counter-clockwise seen from +y,
// so the quads face the way their normals do. The colour is set per quad but, with lighting on and
// colour tracking off, the light and material decide the shade.
#include "water/draw.h"

#include "platform/gl.h"
#include "water/water.h"

static void WaterCorner(const WaterVertex* v) {
    glNormal3f(v->nx, v->ny, v->nz);
    glVertex3f(v->x, v->y, v->z);
}

void DrawWater(void) {
    glBegin(GL_QUADS);
    for (int m = 0; m < WaterGridSize - 1; ++m) {
        for (int n = 0; n < WaterGridSize - 1; ++n) {
            glColor4f(0.0f, 0.0f, 0.8f, 0.5f);
            WaterCorner(&WaterGrid[m][n]);
            WaterCorner(&WaterGrid[m][n + 1]);
            WaterCorner(&WaterGrid[m + 1][n + 1]);
            WaterCorner(&WaterGrid[m + 1][n]);
        }
    }
    glEnd();
}

void WaterPass(float windStrengthPercent) {
    WaterPrepare(windStrengthPercent);
    DrawWater();
}
