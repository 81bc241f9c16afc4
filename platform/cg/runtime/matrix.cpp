// 4x4 matrix inversion for the inverse state matrices of cgGLSetStateMatrixParameter, by
// Gauss-Jordan elimination with partial pivoting, in double precision.
#include <cmath>

// Inverts the row-major matrix m into out; returns 0 (out unspecified) when m is singular.
int CgMatrixInvert(const double* m, double* out) {
    double a[4][8];
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            a[r][c] = m[r * 4 + c];
            a[r][c + 4] = r == c ? 1.0 : 0.0;
        }
    }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r) {
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) {
                pivot = r;
            }
        }
        if (std::fabs(a[pivot][col]) < 1e-300) {
            return 0;
        }
        for (int c = 0; c < 8; ++c) {
            const double swap = a[col][c];
            a[col][c] = a[pivot][c];
            a[pivot][c] = swap;
        }
        const double scale = 1.0 / a[col][col];
        for (int c = 0; c < 8; ++c) {
            a[col][c] *= scale;
        }
        for (int r = 0; r < 4; ++r) {
            if (r != col) {
                const double f = a[r][col];
                for (int c = 0; c < 8; ++c) {
                    a[r][c] -= f * a[col][c];
                }
            }
        }
    }
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            out[r * 4 + c] = a[r][c + 4];
        }
    }
    return 1;
}
