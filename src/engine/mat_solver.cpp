#include "mat_solver.h"

#include <QDebug>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

mat_solver::mat_solver() = default;

mat_solver::~mat_solver() = default;

int mat_solver::driver(pt_numeric_mat *m)
{
    mat = m;
    message.clear();
    if (m == nullptr || m->n < 1)
        return 1;
    b = m->b;
    return gjpivot(m->n, m->rows, m->perm, m->b);
}

namespace {

#if defined(__SSE2__)
/// And-ed with two doubles, gives their magnitudes.
inline __m128d signlessMask()
{
    return _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffffLL));
}
#endif

/// The largest magnitude of m entries, NaN entries left out (as the pivot search's
/// comparisons leave them out); 0 when there is none.
inline double rowMagnitude(const double *v, int m)
{
#if defined(__SSE2__)
    const __m128d signless = signlessMask();
    __m128d lo = _mm_setzero_pd(), hi = _mm_setzero_pd();
    int j = 0;
    // maxpd gives its second operand when either is NaN: the running maximum stays.
    for (; j + 4 <= m; j += 4) {
        lo = _mm_max_pd(_mm_and_pd(_mm_loadu_pd(v + j), signless), lo);
        hi = _mm_max_pd(_mm_and_pd(_mm_loadu_pd(v + j + 2), signless), hi);
    }
    lo = _mm_max_pd(lo, hi);
    double big = std::max(_mm_cvtsd_f64(lo), _mm_cvtsd_f64(_mm_unpackhi_pd(lo, lo)));
#else
    double big = 0.0;
    int j = 0;
#endif
    for (; j < m; ++j) {
        const double x = std::fabs(v[j]);
        if (x > big)
            big = x;
    }
    return big;
}

/// The first of m entries whose magnitude is big (one of them is).
inline int firstOfMagnitude(const double *v, int m, double big)
{
    int j = 0;
#if defined(__SSE2__)
    const __m128d signless = signlessMask();
    const __m128d bb = _mm_set1_pd(big);
    for (; j + 2 <= m; j += 2) {
        const int hit
            = _mm_movemask_pd(_mm_cmpeq_pd(_mm_and_pd(_mm_loadu_pd(v + j), signless), bb));
        if (hit != 0)
            return j + ((hit & 1) ? 0 : 1);
    }
#endif
    for (; j < m; ++j)
        if (std::fabs(v[j]) == big)
            return j;
    return 0;
}

/// row[j] -= f * p[j] for j in [from, to), and the largest magnitude of the new
/// entries (NaN left out): the next pivot search reads it instead of the row.
inline double eliminateRow(double *row, const double *p, double f, int from, int to)
{
    int j = from;
    double big = 0.0;
#if defined(__SSE2__) && !defined(__FMA__) // no contraction: the same sums as the scalar loop
    const __m128d signless = signlessMask();
    const __m128d ff = _mm_set1_pd(f);
    __m128d acc = _mm_setzero_pd();
    for (; j + 2 <= to; j += 2) {
        const __m128d v = _mm_sub_pd(_mm_loadu_pd(row + j), _mm_mul_pd(ff, _mm_loadu_pd(p + j)));
        _mm_storeu_pd(row + j, v);
        acc = _mm_max_pd(_mm_and_pd(v, signless), acc);
    }
    big = std::max(_mm_cvtsd_f64(acc), _mm_cvtsd_f64(_mm_unpackhi_pd(acc, acc)));
#endif
    for (; j < to; ++j) {
        row[j] -= f * p[j];
        const double x = std::fabs(row[j]);
        if (x > big)
            big = x;
    }
    return big;
}

/// v / d. The elimination leaves 1 on the diagonal, by which the product gives the
/// very same double (a NaN too) without the wait of a division in the chain of the
/// back substitution.
inline double quotientOf(double v, double d)
{
    return d == 1.0 ? v * d : v / d;
}

} // namespace

int mat_solver::gjpivot(int n, double **a, int *perm, double *b)
{
    if (n < 1)
        return 1;
    // Work arrays kept between calls: a Newton run solves a system of one size each step.
    sol.assign(n + 1, 0.0);
    rowSwap.resize(n); // both written at every elimination step
    pivots.resize(n);
    rowBig.resize(n);
    factorN = 0;
    double *x = sol.data(); // solution in column order

    for (int i = 0; i < n; ++i)
        a[i][n] = b[i];

    for (int k = 0; k < n; ++k) {
        // Complete pivoting: the largest magnitude of the remaining block; ties keep
        // the earlier position (diagonal first, then row by row).
        int r = k, c = k;
        double big = std::fabs(a[k][k]);
        for (int i = k; i < n; ++i) {
            const double *row = a[i];
            // Only a row whose largest magnitude beats the best so far is searched for
            // its position: the first of its largest, as the scan by elements finds.
            // After the first step the last elimination gave each row's largest.
            if (k == 0)
                rowBig[i] = rowMagnitude(row, n);
            if (!(rowBig[i] > big))
                continue;
            big = rowBig[i];
            r = i;
            c = k + firstOfMagnitude(row + k, n - k, big);
        }
        rowSwap[k] = r;
        if (r != k) {
            std::swap(a[k], a[r]); // the multipliers left of k go with their rows
            std::swap(rowBig[k], rowBig[r]);
        }
        if (c != k) {
            for (int i = 0; i < n; ++i)
                std::swap(a[i][k], a[i][c]);
            std::swap(perm[k], perm[c]);
        }
        if (a[k][k] == 0.0) {
            qDebug() << "MS: matrix solver, GJR, diagonal element " << k << " failed.";
            return 1;
        }
        double *pivotRow = a[k];
        const double pivot = pivotRow[k];
        pivots[k] = pivot;
        for (int j = n; j > k; --j)
            pivotRow[j] /= pivot;
        pivotRow[k] = 1.0;
        for (int i = k + 1; i < n; ++i) {
            double *row = a[i];
            const double f = row[k]; // only row i's own update changes it
            if (f == 0.0)
                continue; // its largest stands: only a zero left the remaining block
            rowBig[i] = eliminateRow(row, pivotRow, f, k + 1, n);
            row[n] -= f * pivotRow[n];
            row[k] = f; // the multiplier, kept for resolve()
        }
    }
    factorRows = a;
    factorPerm = perm;
    factorN = n;

    x[n - 1] = quotientOf(a[n - 1][n], a[n - 1][n - 1]);
    for (int i = n - 2; i >= 0; --i) {
        double s = 0.0;
        for (int j = i + 1; j < n; ++j)
            s += a[i][j] * x[j];
        if (a[i][i] == 0.0) {
            qDebug() << "MS back substitution, row " << i << " zero diagonal element.";
            x[i] = 0.0;
        } else {
            x[i] = quotientOf(a[i][n] - s, a[i][i]);
        }
    }
    for (int i = 0; i < n; ++i)
        b[perm[i]] = x[i];
    return 0;
}

int mat_solver::resolve(double *c)
{
    const int n = factorN;
    double **a = factorRows;
    if (n < 1 || a == nullptr)
        return 1;
    // Rows carried their multipliers through later interchanges: every interchange
    // first, then the scalings and eliminations of the factorisation.
    for (int k = 0; k < n; ++k)
        if (rowSwap[k] != k)
            std::swap(c[k], c[rowSwap[k]]);
    for (int k = 0; k < n; ++k) {
        c[k] /= pivots[k];
        for (int i = k + 1; i < n; ++i)
            c[i] -= a[i][k] * c[k];
    }
    double *x = sol.data();
    for (int i = n - 1; i >= 0; --i) {
        double s = c[i];
        for (int j = i + 1; j < n; ++j)
            s -= a[i][j] * x[j];
        x[i] = s; // unit diagonal after the scaling
    }
    for (int i = 0; i < n; ++i)
        c[factorPerm[i]] = x[i];
    return 0;
}

double *mat_solver::bvector()
{
    if (mat == nullptr || mat->n < 1)
        return nullptr;
    double *copy = new double[mat->n];
    for (int i = 0; i < mat->n; ++i)
        copy[i] = mat->b[i];
    return copy;
}

double *mat_solver::gjpivot_b()
{
    return mat ? mat->b : nullptr;
}

std::string mat_solver::error_msg()
{
    return message;
}

void mat_solver::printMat(int n, double **a, double *b, std::string title)
{
    qDebug() << "MS PRINT: [ " << title.c_str() << " ]";
    for (int i = 0; i < n; ++i)
        qDebug() << "    b " << i << ". " << b[i];
    std::printf("----- %s \n", title.c_str());
    for (int i = 0; i < n; ++i) {
        std::printf(" row %2d : ", i);
        for (int j = 0; j < n; ++j)
            std::printf(" %12lg ", a[i][j]);
        std::printf(" : %12lg", a[i][n]);
        std::printf(" : b %12lg \n", b[i]);
    }
}

int mat_solver::ludcmp(double **am, int nm, int *indxm, double *dm, double *vvm)
{
    a = am;
    n = nm;
    indx = indxm;
    d = dm;
    vv = vvm;
    *d = 1.0;
    bool zeroRow = false;
    for (int i = 0; i < n; ++i) {
        double big = 0.0;
        for (int j = 0; j < n; ++j)
            big = std::max(big, std::fabs(a[i][j]));
        if (big == 0.0)
            zeroRow = true;
        else
            vv[i] = 1.0 / big;
    }
    if (zeroRow)
        return 1;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < j; ++i) {
            double sum = a[i][j];
            for (int k = 0; k < i; ++k)
                sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
        }
        double big = 0.0;
        int imax = j;
        for (int i = j; i < n; ++i) {
            double sum = a[i][j];
            for (int k = 0; k < j; ++k)
                sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
            const double scaled = vv[i] * std::fabs(sum);
            if (scaled >= big) {
                big = scaled;
                imax = i;
            }
        }
        if (j != imax) {
            std::swap(a[imax], a[j]);
            *d = -(*d);
            vv[imax] = vv[j];
        }
        indx[j] = imax;
        if (a[j][j] == 0.0)
            a[j][j] = 1e-20;
        if (j != n - 1) {
            const double f = 1.0 / a[j][j];
            for (int i = j + 1; i < n; ++i)
                a[i][j] *= f;
        }
    }
    return 0;
}

double *mat_solver::lubksb()
{
    if (a == nullptr || b == nullptr || indx == nullptr)
        return b;
    int ii = -1;
    for (int i = 0; i < n; ++i) {
        const int ip = indx[i];
        double sum = b[ip];
        b[ip] = b[i];
        if (ii >= 0) {
            for (int j = ii; j < i; ++j)
                sum -= a[i][j] * b[j];
        } else if (sum != 0.0) {
            ii = i;
        }
        b[i] = sum;
    }
    for (int i = n - 1; i >= 0; --i) {
        double sum = b[i];
        for (int j = i + 1; j < n; ++j)
            sum -= a[i][j] * b[j];
        b[i] = sum / a[i][i];
    }
    return b;
}
