// Water normals. Sums and products are evaluated in double from float operands and rounded to
// float where stored, like every scene formula. UpdateWaterNormals works a row at a time over
// plain arrays: each difference of neighbouring positions that a triangle takes as an edge is
// formed once (two triangles share it), and the cross products and normalisations run down the
// row in loops the compiler vectorises, with every operation and rounding as written.
#include "water/normals.h"

#include <cmath>

#include "water/water.h"

enum { RowLength = WaterGridSize };

// One difference of neighbouring positions per column, kept in double: the float difference
// widened exactly, as every product reads it.
struct EdgeRow {
    double x[RowLength];
    double y[RowLength];
    double z[RowLength];
};

// The positions of one grid row, one array per coordinate.
struct PositionRow {
    float x[RowLength];
    float y[RowLength];
    float z[RowLength];
};

// One unit normal per column.
struct NormalRow {
    float x[RowLength];
    float y[RowLength];
    float z[RowLength];
};

// Scratch of the row being worked; written and read by UpdateWaterNormals only.
static PositionRow Rows[3];   // grid rows r at Rows[r % 3]: i - 1, i and i + 1
static EdgeRow WestEdges[2];  // P(r, c) - P(r, c - 1) of rows i and i + 1, alternately
static EdgeRow EastEdges[2];  // P(r, c) - P(r, c + 1) of rows i - 1 and i, alternately
static EdgeRow NorthEdges;    // P(i, c) - P(i - 1, c)
static EdgeRow SouthEdges;    // P(i, c) - P(i + 1, c)
static NormalRow Triangles[4];

// The bodies of NormalizeVector and TriangleNormal, inline: the row loops below run them 48,020
// times a frame.
static inline void NormalizeInline(float* const x, float* const y, float* const z) {
    const float root = (float)sqrt((double)*x * *x + (double)*y * *y + (double)*z * *z);
    // A degenerate triangle or a zero sum stays zero instead of dividing by zero (a select, not a
    // branch, so that the row loops vectorise).
    const float len = root == 0.0f ? 1.0f : root;
    *x = (float)((double)*x / len);
    *y = (float)((double)*y / len);
    *z = (float)((double)*z / len);
}

// The normal of the triangle with edges u = p0 - p1 and v = p1 - p2 (float differences, widened).
static inline void EdgeNormal(const double ux, const double uy, const double uz, const double vx,
                              const double vy, const double vz, float* const x, float* const y,
                              float* const z) {
    *x = (float)(uy * vz - uz * vy);
    *y = (float)(uz * vx - ux * vz);
    *z = (float)(ux * vy - uy * vx);
    NormalizeInline(x, y, z);
}

Vector3* NormalizeVector(Vector3* const v) {
    NormalizeInline(&v->x, &v->y, &v->z);
    return v;
}

Vector3 TriangleNormal(const Vector3 p0, const Vector3 p1, const Vector3 p2) {
    Vector3 n;
    EdgeNormal(p0.x - p1.x, p0.y - p1.y, p0.z - p1.z, p1.x - p2.x, p1.y - p2.y, p1.z - p2.z, &n.x,
               &n.y, &n.z);
    return n;
}

// Copies grid row r into Rows.
static void LoadRow(const int r) {
    PositionRow* const row = &Rows[r % 3];
    for (int c = 0; c < RowLength; c++) {
        const WaterVertex* const v = &WaterGrid[r][c];
        row->x[c] = v->x;
        row->y[c] = v->y;
        row->z[c] = v->z;
    }
}

// e[c] = P(r, c) - P(r2, c + dc) for the columns from..to; both rows must be loaded.
static void FillEdges(EdgeRow* __restrict const e, const int r, const int r2, const int dc,
                      const int from, const int to) {
    const PositionRow* __restrict const a = &Rows[r % 3];
    const PositionRow* __restrict const b = &Rows[r2 % 3];
    for (int c = from; c <= to; c++) {
        e->x[c] = a->x[c] - b->x[c + dc];
        e->y[c] = a->y[c] - b->y[c + dc];
        e->z[c] = a->z[c] - b->z[c + dc];
    }
}

// Triangle normals of the interior columns of one row: u at column j, v at column j + shift.
static void RowTriangles(const EdgeRow* __restrict const u, const EdgeRow* __restrict const v,
                         const int shift, NormalRow* __restrict const out) {
    for (int j = 1; j < RowLength - 1; j++) {
        EdgeNormal(u->x[j], u->y[j], u->z[j], v->x[j + shift], v->y[j + shift], v->z[j + shift],
                   &out->x[j], &out->y[j], &out->z[j]);
    }
}

void UpdateWaterNormals(void) {
    // Each triangle runs from the point to a side neighbour and on to the diagonal that follows
    // it in the turn j-1 -> i-1 -> j+1 -> i+1: one half of each adjacent cell. Its first edge
    // leaves the point; its second leaves the side neighbour:
    //   1: P(i,j) - P(i,j-1), P(i,j-1) - P(i-1,j-1)   west of i, north of i at j-1
    //   2: P(i,j) - P(i-1,j), P(i-1,j) - P(i-1,j+1)   north of i, east of i-1
    //   3: P(i,j) - P(i,j+1), P(i,j+1) - P(i+1,j+1)   east of i, south of i at j+1
    //   4: P(i,j) - P(i+1,j), P(i+1,j) - P(i+1,j-1)   south of i, west of i+1
    const int last = RowLength - 1;
    LoadRow(0);
    LoadRow(1);
    FillEdges(&WestEdges[1], 1, 1, -1, 1, last);
    FillEdges(&EastEdges[0], 0, 0, 1, 0, last - 1);
    for (int i = 1; i < WaterGridSize - 1; i++) {
        const EdgeRow* const west = &WestEdges[i & 1];
        EdgeRow* const westBelow = &WestEdges[(i + 1) & 1];
        const EdgeRow* const eastAbove = &EastEdges[(i - 1) & 1];
        EdgeRow* const east = &EastEdges[i & 1];
        LoadRow(i + 1);
        FillEdges(westBelow, i + 1, i + 1, -1, 1, last);
        FillEdges(east, i, i, 1, 0, last - 1);
        FillEdges(&NorthEdges, i, i - 1, 0, 0, last);
        FillEdges(&SouthEdges, i, i + 1, 0, 0, last);
        RowTriangles(west, &NorthEdges, -1, &Triangles[0]);
        RowTriangles(&NorthEdges, eastAbove, 0, &Triangles[1]);
        RowTriangles(east, &SouthEdges, 1, &Triangles[2]);
        RowTriangles(&SouthEdges, westBelow, 0, &Triangles[3]);
        const NormalRow* const t = Triangles;
        for (int j = 1; j < RowLength - 1; j++) {
            float x = (float)((double)t[0].x[j] + t[1].x[j] + t[2].x[j] + t[3].x[j]);
            float y = (float)((double)t[0].y[j] + t[1].y[j] + t[2].y[j] + t[3].y[j]);
            float z = (float)((double)t[0].z[j] + t[1].z[j] + t[2].z[j] + t[3].z[j]);
            NormalizeInline(&x, &y, &z);
            WaterVertex* const v = &WaterGrid[i][j];
            v->nx = x;
            v->ny = y;
            v->nz = z;
        }
    }
}
