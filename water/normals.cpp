// Water normals. Sums and products are evaluated in double from float operands and rounded to
// float where stored, like every scene formula.
#include "water/normals.h"

#include <cmath>

#include "water/water.h"

// The position of grid point [i][j] as a vector.
static Vector3 GridPosition(int i, int j);

// The bodies of NormalizeVector and TriangleNormal, inline: UpdateWaterNormals runs them 48,020
// times a frame, and calls that pass three vectors by value took as long as the arithmetic itself.
static inline void NormalizeInline(Vector3* const v) {
    float len = (float)sqrt((double)v->x * v->x + (double)v->y * v->y + (double)v->z * v->z);
    if (len == 0.0f) {
        len = 1.0f;  // a degenerate triangle or a zero sum stays zero instead of dividing by zero
    }
    v->x = (float)((double)v->x / len);
    v->y = (float)((double)v->y / len);
    v->z = (float)((double)v->z / len);
}

static inline Vector3 TriangleNormalInline(const Vector3 p0, const Vector3 p1, const Vector3 p2) {
    const Vector3 u = {p0.x - p1.x, p0.y - p1.y, p0.z - p1.z};
    const Vector3 v = {p1.x - p2.x, p1.y - p2.y, p1.z - p2.z};
    Vector3 n;
    n.x = (float)((double)u.y * v.z - (double)u.z * v.y);
    n.y = (float)((double)u.z * v.x - (double)u.x * v.z);
    n.z = (float)((double)u.x * v.y - (double)u.y * v.x);
    NormalizeInline(&n);
    return n;
}

Vector3* NormalizeVector(Vector3* const v) {
    NormalizeInline(v);
    return v;
}

Vector3 TriangleNormal(const Vector3 p0, const Vector3 p1, const Vector3 p2) {
    return TriangleNormalInline(p0, p1, p2);
}

void UpdateWaterNormals(void) {
    for (int i = 1; i < WaterGridSize - 1; i++) {
        for (int j = 1; j < WaterGridSize - 1; j++) {
            // Each triangle runs from the point to a side neighbour and on to the diagonal that
            // follows it in the turn j-1 -> i-1 -> j+1 -> i+1: one half of each adjacent cell.
            const Vector3 p = GridPosition(i, j);
            const Vector3 n1 =
                TriangleNormalInline(p, GridPosition(i, j - 1), GridPosition(i - 1, j - 1));
            const Vector3 n2 =
                TriangleNormalInline(p, GridPosition(i - 1, j), GridPosition(i - 1, j + 1));
            const Vector3 n3 =
                TriangleNormalInline(p, GridPosition(i, j + 1), GridPosition(i + 1, j + 1));
            const Vector3 n4 =
                TriangleNormalInline(p, GridPosition(i + 1, j), GridPosition(i + 1, j - 1));
            Vector3 s;
            s.x = (float)((double)n1.x + n2.x + n3.x + n4.x);
            s.y = (float)((double)n1.y + n2.y + n3.y + n4.y);
            s.z = (float)((double)n1.z + n2.z + n3.z + n4.z);
            NormalizeInline(&s);
            WaterVertex* const v = &WaterGrid[i][j];
            v->nx = s.x;
            v->ny = s.y;
            v->nz = s.z;
        }
    }
}

static Vector3 GridPosition(const int i, const int j) {
    const WaterVertex* const v = &WaterGrid[i][j];
    const Vector3 p = {v->x, v->y, v->z};
    return p;
}
