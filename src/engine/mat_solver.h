#pragma once

#include "solver_records.h"

#include <string>
#include <vector>

/// Dense linear solver of the Newton step: Gauss-Jordan elimination with complete
/// pivoting (row and column interchanges). An LU pair (Crout, scaled partial
/// pivoting) is kept beside it.
class mat_solver
{
public:
    mat_solver();
    ~mat_solver();
    mat_solver(const mat_solver &) = delete;
    mat_solver &operator=(const mat_solver &) = delete;

    /// Solves the system in place (solution in m->b); 0 solved, 1 zero pivot or empty system.
    int driver(pt_numeric_mat *m);
    /// Solves a . x = b for n rows of n+1 doubles; perm records the column interchanges
    /// and must hold the identity on entry. 0 solved (solution in b), 1 zero pivot.
    int gjpivot(int n, double **a, int *perm, double *b);
    /// Solves the last system solved by gjpivot again for the right-hand side c (n
    /// entries), in place, from the elimination it kept. 0 solved, 1 nothing kept.
    int resolve(double *c);
    /// A new copy of the solution of the last driver call; the caller releases it.
    double *bvector();
    /// The solution array of the last driver call itself (not a copy).
    double *gjpivot_b();
    /// Error text (kept empty).
    std::string error_msg();
    /// Writes the system to the debug log and standard output.
    void printMat(int n, double **a, double *b, std::string title);
    /// LU decomposition in place; 0 done, 1 a row is entirely zero.
    int ludcmp(double **a, int n, int *indx, double *d, double *vv);
    /// Substitution with the last decomposition; returns the stored b overwritten by x.
    double *lubksb();

private:
    int n = 0; ///< size held for the LU routines
    double **a = nullptr; ///< rows held for the LU routines
    double *b = nullptr; ///< right-hand side for lubksb
    int *indx = nullptr; ///< row interchanges of ludcmp
    double *d = nullptr; ///< sign of the row permutation of ludcmp
    double *vv = nullptr; ///< row scale factors of ludcmp
    pt_numeric_mat *mat = nullptr; ///< system of the last driver call (not owned)
    std::string message; ///< error text
    std::vector<double> sol; ///< gjpivot's solution in column order
    std::vector<int> rowSwap; ///< row taken as pivot row at each elimination step
    std::vector<double> pivots; ///< pivot of each elimination step
    std::vector<double> rowBig; ///< each row's largest magnitude right of the last pivot
    double **factorRows = nullptr; ///< rows of the last elimination (not owned)
    int *factorPerm = nullptr; ///< its column interchanges (not owned)
    int factorN = 0; ///< its size; 0 when none is kept
};
