#include "solver_records.h"

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
