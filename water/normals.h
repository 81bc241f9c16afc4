// Water normals: a small float vector, its normalisation, triangle normals, and the per-frame
// rewrite of every interior grid point's normal from four triangles around it.
// The outer ring of the grid is never touched and keeps the (0, 0, 0) of InitWaterGrid.
#pragma once

struct Vector3 {
    float x;
    float y;
    float z;
};

// Scales v to unit length in place and returns it; a zero vector stays zero.
Vector3* NormalizeVector(Vector3* v);
// Unit normal of the triangle p0, p1, p2, on the side from which it runs counter-clockwise;
// (0, 0, 0) for three points on one line.
Vector3 TriangleNormal(const Vector3 p0, const Vector3 p1, const Vector3 p2);
// Rewrites nx, ny, nz of every interior point (1..98 in both indices) from the current positions.
void UpdateWaterNormals(void);
