// The blocked LU factorisation, written once over a vector type of VANTREL_LU_VECTOR_BYTES bytes
// and included once per instruction-set level, by lu_factor.cpp and by the source of each wider
// level, inside an anonymous namespace. It includes nothing (see
// linalg/include/cpu/cpu_features.h).
//
// Exactness. Crout's column-by-column order gives every element of the factors one fixed
// sequence of operations:
//     s = a[i][j];  s -= a[i][k] * a[k][j]  for k = 1 .. min(i, j) - 1, one product at a time,
// followed, below the diagonal, by s * f with f = 1 / a[j][j]. The pivot of column j is chosen
// from the fully updated values of that column. A recursive right-looking factorisation
// applies the very same operations, only in another interleaving across elements: every
// update below runs over k in increasing order, keeps the running value of each element in a
// register or in the matrix between blocks of k, and never sums products on their own. So the
// bits are those of the column-by-column method, on any vector width. The build never
// contracts a multiplication and a subtraction into a fused multiply-add.
//
// Row exchanges move whole rows at once, partial sums included; since every row carries its
// own partial sums, it does not matter that the columns to the right have not yet received
// the updates that the column-by-column method would have given them before the exchange.
//
// No heap memory: the only working buffers are on the stack (under 40 KB).
//
// Expects: VANTREL_LU_KERNEL_NAMESPACE, VANTREL_LU_VECTOR_BYTES, VANTREL_LU_TILE_ROWS,
// VANTREL_LU_TILE_VECTORS.

namespace VANTREL_LU_KERNEL_NAMESPACE {

constexpr int kLanes = VANTREL_LU_VECTOR_BYTES / 4;
// The update tile: kTileRows rows by kTileVectors vectors of columns held in registers.
constexpr int kTileRows = VANTREL_LU_TILE_ROWS;
constexpr int kTileVectors = VANTREL_LU_TILE_VECTORS;
constexpr int kTileColumns = kTileVectors * kLanes;
// Depth of one pass of products (the packed sliver is kDepth by kTileColumns floats) and the
// number of rows swept with one packed sliver.
constexpr int kDepth = 128;
constexpr int kRowBlock = 256;
// Panels at most this wide (one vector) are factored column by column; wider ones are split.
constexpr int kPanel = kLanes;
// Triangular solves of at most this many rows are done row by row.
constexpr int kTriangle = 16;

typedef float Vec __attribute__((vector_size(VANTREL_LU_VECTOR_BYTES)));
typedef float UnalignedVec
    __attribute__((vector_size(VANTREL_LU_VECTOR_BYTES), aligned(4), may_alias));
typedef int Mask __attribute__((vector_size(VANTREL_LU_VECTOR_BYTES)));

inline Vec Load(const float* p) {
    return *reinterpret_cast<const UnalignedVec*>(p);
}
inline void Store(float* p, Vec v) {
    *reinterpret_cast<UnalignedVec*>(p) = v;
}
inline int Min(int a, int b) {
    return a < b ? a : b;
}

// Zero-based view of the one-based row table: Row(i)[j] is a[i + 1][j + 1].
struct Matrix {
    float* const* table;
    float* Row(int i) const { return table[i + 1] + 1; }
};

// c[r][0 .. V * kLanes) -= sum over k of a[r][k] * b[k][..], k = 0 .. depth - 1 in order,
// for r = 0 .. R - 1. The sliver b is packed, kTileColumns floats per k, vector aligned.
template <int R, int V>
void Tile(int depth, const float* const* a, const float* b, float* const* c) {
    Vec sum[R][V];
    const float* row[R];
#pragma GCC unroll 16
    for (int r = 0; r < R; ++r) {
        row[r] = a[r];
#pragma GCC unroll 4
        for (int v = 0; v < V; ++v) sum[r][v] = Load(c[r] + v * kLanes);
    }
    for (int k = 0; k < depth; ++k) {
        const Vec* bk = reinterpret_cast<const Vec*>(b + k * kTileColumns);
        Vec bv[V];
#pragma GCC unroll 4
        for (int v = 0; v < V; ++v) bv[v] = bk[v];
#pragma GCC unroll 16
        for (int r = 0; r < R; ++r) {
            const float s = row[r][k];
#pragma GCC unroll 4
            for (int v = 0; v < V; ++v) sum[r][v] -= s * bv[v];
        }
    }
#pragma GCC unroll 16
    for (int r = 0; r < R; ++r)
#pragma GCC unroll 4
        for (int v = 0; v < V; ++v) Store(c[r] + v * kLanes, sum[r][v]);
}

// Tile<R, V> for R = rows (1 .. kTileRows) and V = vectors (1 .. kTileVectors).
template <int R, int V>
void TileOf(int rows, int vectors, int depth, const float* const* a, const float* b,
            float* const* c) {
    if constexpr (V > 1) {
        if (vectors < V) return TileOf<R, V - 1>(rows, vectors, depth, a, b, c);
    }
    if constexpr (R > 1) {
        if (rows < R) return TileOf<R - 1, V>(rows, vectors, depth, a, b, c);
    }
    Tile<R, V>(depth, a, b, c);
}

// Packs rows k0 .. k0 + depth - 1, columns c0 .. c0 + width - 1 into the sliver, padding the
// columns past width with zeros (their results are never stored).
void PackSliver(Matrix m, int k0, int depth, int c0, int width, float* sliver) {
    for (int k = 0; k < depth; ++k) {
        const float* src = m.Row(k0 + k) + c0;
        float* dst = sliver + k * kTileColumns;
        if (width == kTileColumns) {
            for (int v = 0; v < kTileVectors; ++v)
                *reinterpret_cast<Vec*>(dst + v * kLanes) = Load(src + v * kLanes);
        } else {
            for (int c = 0; c < width; ++c) dst[c] = src[c];
            for (int c = width; c < kTileColumns; ++c) dst[c] = 0.0f;
        }
    }
}

// One row block against one packed sliver of `width` columns starting at column c0.
void SweepRows(Matrix m, int i0, int i1, int k0, int depth, int c0, int width,
               const float* sliver) {
    const float* a[kTileRows];
    float* c[kTileRows];
    const int vectors = width / kLanes;
    const int rest = width % kLanes;
    for (int i = i0; i < i1; i += kTileRows) {
        const int rows = Min(kTileRows, i1 - i);
        for (int r = 0; r < rows; ++r) {
            a[r] = m.Row(i + r) + k0;
            c[r] = m.Row(i + r) + c0;
        }
        if (rest == 0) {
            TileOf<kTileRows, kTileVectors>(rows, vectors, depth, a, sliver, c);
            continue;
        }
        // A width that is not a whole number of vectors (only at the last column): the tile
        // works on a copy so that nothing past the last column is read or written.
        float spill[kTileRows][kTileColumns];
        float* copy[kTileRows];
        for (int r = 0; r < rows; ++r) {
            for (int j = 0; j < width; ++j) spill[r][j] = c[r][j];
            for (int j = width; j < kTileColumns; ++j) spill[r][j] = 0.0f;
            copy[r] = spill[r];
        }
        TileOf<kTileRows, kTileVectors>(rows, vectors + 1, depth, a, sliver, copy);
        for (int r = 0; r < rows; ++r)
            for (int j = 0; j < width; ++j) c[r][j] = spill[r][j];
    }
}

// a[i][j] -= sum over k of a[i][k] * a[k][j], k = k0 .. k1 - 1 in increasing order, for rows
// i0 .. i1 - 1 and columns j0 .. j1 - 1 (a block that the k range does not overlap).
void Update(Matrix m, int i0, int i1, int j0, int j1, int k0, int k1) {
    alignas(64) float sliver[kDepth * kTileColumns];
    for (int k = k0; k < k1; k += kDepth) {
        const int depth = Min(kDepth, k1 - k);
        for (int i = i0; i < i1; i += kRowBlock) {
            const int iEnd = Min(i + kRowBlock, i1);
            for (int j = j0; j < j1; j += kTileColumns) {
                const int width = Min(kTileColumns, j1 - j);
                PackSliver(m, k, depth, j, width, sliver);
                SweepRows(m, i, iEnd, k, depth, j, width, sliver);
            }
        }
    }
}

// Rows r0 .. r1 - 1, columns j0 .. j1 - 1, solved with the unit lower triangle of rows and
// columns r0 .. r1 - 1: a[r][j] -= a[r][k] * a[k][j] for k = r0 .. r - 1 in increasing order.
void SolveUnitLower(Matrix m, int r0, int r1, int j0, int j1) {
    if (r1 - r0 > kTriangle) {
        const int half = (r1 - r0) / 2;
        SolveUnitLower(m, r0, r0 + half, j0, j1);
        Update(m, r0 + half, r1, j0, j1, r0, r0 + half);
        SolveUnitLower(m, r0 + half, r1, j0, j1);
        return;
    }
    for (int r = r0 + 1; r < r1; ++r) {
        float* x = m.Row(r);
        int j = j0;
        for (; j + 2 * kLanes <= j1; j += 2 * kLanes) {
            Vec s0 = Load(x + j), s1 = Load(x + j + kLanes);
            for (int k = r0; k < r; ++k) {
                const float* u = m.Row(k) + j;
                s0 -= x[k] * Load(u);
                s1 -= x[k] * Load(u + kLanes);
            }
            Store(x + j, s0);
            Store(x + j + kLanes, s1);
        }
        for (; j + kLanes <= j1; j += kLanes) {
            Vec s = Load(x + j);
            for (int k = r0; k < r; ++k) s -= x[k] * Load(m.Row(k) + j);
            Store(x + j, s);
        }
        for (; j < j1; ++j) {
            float s = x[j];
            for (int k = r0; k < r; ++k) s -= x[k] * m.Row(k)[j];
            x[j] = s;
        }
    }
}

struct Pivoting {
    int n;
    int* pivot;    // one-based, as LUDecompose reports it
    float* scale;  // one-based
    float& parity;
};

constexpr float kTinyPivot = 1.0e-20f;

// Row of the pivot of column j: the last of rows j .. n - 1 with the greatest scaled
// magnitude (j itself when every merit is zero or NaN).
int FindPivot(Matrix m, const Pivoting& p, int j) {
    float big = 0.0f;
    int imax = j;
    for (int i = j; i < p.n; ++i) {
        const float merit = __builtin_fabsf(m.Row(i)[j]) * p.scale[i + 1];
        if (merit >= big) {
            big = merit;
            imax = i;
        }
    }
    return imax;
}

// Exchanges rows j and imax, records the pivot, and returns the pivot element (made tiny
// when exactly zero).
float TakePivot(Matrix m, Pivoting& p, int j, int imax) {
    if (imax != j) {
        float* a = m.Row(imax);
        float* b = m.Row(j);
        int k = 0;
        for (; k + kLanes <= p.n; k += kLanes) {
            const Vec t = Load(a + k);
            Store(a + k, Load(b + k));
            Store(b + k, t);
        }
        for (; k < p.n; ++k) {
            const float t = a[k];
            a[k] = b[k];
            b[k] = t;
        }
        p.parity = -p.parity;
        p.scale[imax + 1] = p.scale[j + 1];
    }
    p.pivot[j + 1] = imax + 1;
    float* d = m.Row(j) + j;
    if (*d == 0.0f) *d = kTinyPivot;
    return *d;
}

// Columns j0 .. j1 - 1 (at most kLanes of them, inside the matrix from j0 on for a whole
// vector), all earlier updates applied: column by column, the pivot, the multipliers and the
// update of the panel's remaining columns, one pass over the rows below per column. The same
// pass finds the pivot of the next column from its freshly completed values.
void FactorNarrowPanel(Matrix m, Pivoting& p, int j0, int j1) {
    Mask lane;
    for (int l = 0; l < kLanes; ++l) lane[l] = j0 + l;
    int imax = FindPivot(m, p, j0);
    for (int j = j0; j < j1; ++j) {
        const float f = 1.0f / TakePivot(m, p, j, imax);
        const Vec u = Load(m.Row(j) + j0);
        const Mask updated = (lane > j) & (lane < j1);
        const Mask multiplier = lane == j;
        const bool searchNext = j + 1 < j1;
        float big = 0.0f;
        imax = j + 1;
        for (int i = j + 1; i < p.n; ++i) {
            float* x = m.Row(i);
            const float l = x[j] * f;
            const Vec row = Load(x + j0);
            Vec next = updated ? row - l * u : row;
            next = multiplier ? row * f : next;
            Store(x + j0, next);
            if (searchNext) {
                const float value = next[j + 1 - j0];
                const float merit = __builtin_fabsf(value) * p.scale[i + 1];
                if (merit >= big) {
                    big = merit;
                    imax = i;
                }
            }
        }
    }
}

// The same for panels that do not have a whole vector of columns to the right of j0.
void FactorNarrowPanelScalar(Matrix m, Pivoting& p, int j0, int j1) {
    for (int j = j0; j < j1; ++j) {
        const float f = 1.0f / TakePivot(m, p, j, FindPivot(m, p, j));
        const float* u = m.Row(j);
        for (int i = j + 1; i < p.n; ++i) {
            float* x = m.Row(i);
            const float l = x[j] * f;
            x[j] = l;
            for (int c = j + 1; c < j1; ++c) x[c] -= l * u[c];
        }
    }
}

// Columns j0 .. j1 - 1 of rows j0 .. n - 1, all updates from columns before j0 applied.
void FactorPanel(Matrix m, Pivoting& p, int j0, int j1) {
    const int width = j1 - j0;
    if (width <= kPanel) {
        if (j0 + kLanes <= p.n)
            FactorNarrowPanel(m, p, j0, j1);
        else
            FactorNarrowPanelScalar(m, p, j0, j1);
        return;
    }
    int half = width / 2 / kPanel * kPanel;
    if (half == 0) half = kPanel;
    const int split = j0 + half;
    FactorPanel(m, p, j0, split);
    SolveUnitLower(m, j0, split, split, j1);
    Update(m, split, p.n, split, j1, j0, split);
    FactorPanel(m, p, split, j1);
}

// scale[i] = 1 / (largest magnitude in row i) for i = 1 .. n (one-based), NaNs not counted;
// false at the first row that has no non-zero element.
bool ScaleRows(float* const* table, int n, float* scale) {
    const Matrix m{table};
    for (int i = 0; i < n; ++i) {
        const float* x = m.Row(i);
        Vec bigs = Vec{};
        int j = 0;
        for (; j + kLanes <= n; j += kLanes) {
            const Vec v = Load(x + j);
            const Vec magnitude = reinterpret_cast<Vec>(reinterpret_cast<Mask>(v) & 0x7fffffff);
            bigs = magnitude > bigs ? magnitude : bigs;
        }
        float big = 0.0f;
        for (int l = 0; l < kLanes; ++l)
            if (bigs[l] > big) big = bigs[l];
        for (; j < n; ++j) {
            const float magnitude = __builtin_fabsf(x[j]);
            if (magnitude > big) big = magnitude;
        }
        if (big == 0.0f) return false;
        scale[i + 1] = 1.0f / big;
    }
    return true;
}

// Factors the n-by-n matrix of the one-based row table with the one-based scale vector;
// writes pivot[1 .. n] and negates parity at every exchange.
void Factor(float* const* table, int n, int* pivot, float& parity, float* scale) {
    Pivoting p{n, pivot, scale, parity};
    if (n > 0) FactorPanel(Matrix{table}, p, 0, n);
}

}  // namespace VANTREL_LU_KERNEL_NAMESPACE
