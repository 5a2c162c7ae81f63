#include "solver_records.h"

#include <algorithm>
#include <cassert>

pt_numeric_mat::pt_numeric_mat(int size)
    : n(size > 0 ? size : 0)
    , room(n)
{
    perm = new int32_t[n > 0 ? n : 1]();
    x = new double[n > 0 ? n : 1]();
    b = new double[n > 0 ? n : 1]();
    rows = new double *[n > 0 ? n : 1]();
    block = new double[size_t(n) * (n + 1) + 1]();
    layRows(n);
}

void pt_numeric_mat::layRows(int size)
{
    n = size;
    for (int i = 0; i < n; ++i)
        rows[i] = block + size_t(i) * (n + 1);
}

namespace {

/// The matrices the thread's last run gave back, by use, every entry zero.
struct spare_matrices
{
    std::unique_ptr<pt_numeric_mat> kept[2];
    ~spare_matrices();
};

/// Set once the thread's spares are gone (a run ended after them at the thread's
/// exit takes and gives back no storage).
thread_local bool sparesGone = false;
thread_local spare_matrices spares;

spare_matrices::~spare_matrices()
{
    sparesGone = true;
}

std::unique_ptr<pt_numeric_mat> *spare(pt_numeric_mat::use u)
{
    if (sparesGone)
        return nullptr;
    return &spares.kept[u == pt_numeric_mat::use::step ? 0 : 1];
}

} // namespace

std::unique_ptr<pt_numeric_mat> pt_numeric_mat::take(use u, int size)
{
    size = std::max(size, 0);
    std::unique_ptr<pt_numeric_mat> *kept = spare(u);
    std::unique_ptr<pt_numeric_mat> m = kept != nullptr ? std::move(*kept) : nullptr;
    if (m == nullptr || m->room < size)
        return std::make_unique<pt_numeric_mat>(size);
    // The storage is zero throughout: any size within it gives zero rows.
    assert(std::all_of(m->block, m->block + size_t(m->room) * (m->room + 1),
                       [](double v) { return v == 0.0; }));
    m->layRows(size);
    m->clearVectors();
    return m;
}

void pt_numeric_mat::giveBack(use u, std::unique_ptr<pt_numeric_mat> m, bool zero)
{
    std::unique_ptr<pt_numeric_mat> *kept = spare(u);
    if (m == nullptr || kept == nullptr)
        return;
    if (!zero)
        std::fill(m->block, m->block + size_t(m->n) * (m->n + 1), 0.0);
    if (*kept == nullptr || (*kept)->room <= m->room)
        *kept = std::move(m);
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
