#include "solver_records.h"

#include <algorithm>

pt_numeric_mat::pt_numeric_mat(int size)
    : n(size > 0 ? size : 0)
{
    perm = new int32_t[n > 0 ? n : 1]();
    x = new double[n > 0 ? n : 1]();
    b = new double[n > 0 ? n : 1]();
    rows = new double *[n > 0 ? n : 1]();
    block = new double[size_t(n) * (n + 1) + 1]();
    for (int i = 0; i < n; ++i)
        rows[i] = block + size_t(i) * (n + 1);
}

pt_numeric_mat::~pt_numeric_mat()
{
    delete[] block;
    delete[] rows;
    delete[] b;
    delete[] x;
    delete[] perm;
}

void pt_numeric_mat::clearVectors()
{
    std::fill(perm, perm + n, 0);
    std::fill(x, x + n, 0.0);
    std::fill(b, b + n, 0.0);
}

void pt_numeric_mat::clearRows(int first)
{
    for (int i = std::max(first, 0); i < n; ++i)
        std::fill(rows[i], rows[i] + n + 1, 0.0);
}

void pt_numeric_mat::clear()
{
    clearVectors();
    for (int i = 0; i < n; ++i)
        rows[i] = block + size_t(i) * (n + 1);
    std::fill(block, block + size_t(n) * (n + 1), 0.0);
}

pt_results::~pt_results()
{
    delete tempRec;
    delete[] waterProps;
}

sim_model::sim_model()
    : results(new pt_results)
{ }

sim_model::~sim_model()
{
    delete results;
    delete[] dxLast;
}
