#include "sim0D.h"

#include "mat_solver.h"
#include "records.h"
#include "sim_rxn_prop.h"
#include "sim_system.h"

#include <algorithm>
#include <cmath>

// The linear system of one Newton step, solved densely or, when the mass-action
// rows allow it, reduced to the composition sets first.

namespace {

/// v / d. For d = 1 or -1 the product gives the very same double (a NaN too), and
/// does not hold up the reactions after it as long as a division does: nearly every
/// reaction holds the species it defines once.
inline double quotientOf(double v, double d)
{
    return (d == 1.0 || d == -1.0) ? v * d : v / d;
}

} // namespace

int sim0D::solve_step(std::vector<double> &dx)
{
    if (stepSolver == step_solver::reduced && sys().reducible) {
        const int status = solve_step_reduced(dx);
        if (status != 2)
            return status;
    }
    return solve_step_full(dx);
}

// Coefficients taken from the last state leave out that they move with the ionic
// strength: where a fixed activity or a mineral makes the ionic strength feed on
// itself, such steps swing about the state or run away from it. Each row that holds
// an activity changes with ln I by u (sum of nu d ln gamma / d ln I), and ln I with
// ln m_k by v_k = z_k^2 m_k / 2I: the full Jacobian is J + u v^T, whose step follows
// from two solves of J (Sherman-Morrison). When the second solve fails, or the
// update is near singular, the plain step stands.
int sim0D::solve_step_with_coefficients(pt_rxn_DH *dh, std::vector<double> &dx)
{
    const int n = simmodel->nspecies;
    const int nf = simmodel->nrxnsFast;
    const double I = dh->ionicstrength;
    if (simctrl->activitymethod == 0 || !(I > 0.0) || !std::isfinite(I))
        return solve_step(dx);
    std::vector<double> &slope = slopeLnI;
    sim_rxn_prop::lngamma_slopes(simctrl->activitymethod, simmodel->species, sys().dhGroups(), n, I,
                                 simwater->TC, slope, groupSlopes);
    if (simctrl->idxH2O >= 0 && simctrl->idxH2O < n)
        slope[size_t(simctrl->idxH2O)] = 0.0; // water keeps the coefficient of its own model
    std::vector<double> &u = rowSlope;
    u.assign(size_t(n), 0.0);
    auto rxnSlope = [&](const pt_rxn &rx) {
        double sum = 0.0;
        for (int j : rx.nonzero)
            sum += rx.stoich[j] * slope[size_t(j)];
        return sum;
    };
    for (int i = 0; i < nf && i < n; ++i)
        u[size_t(i)] = rxnSlope(simmodel->rxnsFast[i]);
    for (int s = 0; s < simwater->nsets && nf + s < n; ++s) {
        const pt_compset &set = simwater->compsets[s];
        if ((water->chargebalance && s == cbSetIdx) || (water->alkSet && s == alkSetIdx))
            continue;
        if (set.swapOn)
            u[size_t(nf + s)] = rxnSlope(simmodel->rxnsConstraint[set.swapIdx]);
        else if (set.activityRow)
            u[size_t(nf + s)] = slope[size_t(set.spIdx[0])];
    }
    reducedSolved = false;
    const int status = solve_step(dx);
    if (status != 0)
        return status;
    std::vector<double> &y = slopeStep;
    if (reducedSolved) {
        // The reduced system's elimination is kept: only its right-hand side is new.
        if (solve_reduced_again(u.data(), y) != 0)
            return 0;
    } else {
        if (rowsDirty && sim0D_spcn_jacobianMatrix(dh) != 0)
            return 0;
        std::copy(u.begin(), u.end(), nummat->b);
        if (solve_step(y) != 0)
            return 0;
    }
    // Species below the concentration floor may be held there by the step: their
    // part of the ionic strength is taken as it stands.
    const int *const defined = sys().definingRxn.data();
    double vx = 0.0, vy = 0.0;
    for (int k = 0; k < n; ++k) {
        const double z = simmodel->species[size_t(k)].charge;
        if (z == 0.0 || (rxnC->molal[size_t(k)] < csolvcmin && defined[k] >= 0))
            continue;
        const double v = 0.5 * z * z * rxnC->molal[size_t(k)] / I;
        vx += v * dx[size_t(k)];
        vy += v * y[size_t(k)];
    }
    const double denom = 1.0 + vy;
    if (!(std::fabs(denom) > 1e-8) || !std::isfinite(vx / denom))
        return 0;
    const double f = vx / denom;
    for (int k = 0; k < n; ++k)
        dx[size_t(k)] -= y[size_t(k)] * f;
    return 0;
}

int sim0D::solve_step_full(std::vector<double> &dx)
{
    const int status = solver.driver(nummat);
    rowsDirty = true; // eliminated in place, rows swapped
    if (status != 0)
        return 1;
    double *b = solver.bvector();
    dx.assign(b, b + nummat->n);
    delete[] b;
    return 0;
}

// Each fast reaction defines one species (the species named like it): its row
// gives that species' correction from the others. Taking the reactions in an
// order where each needs only species already expressed, every correction
// becomes c_s + sum_p T_sp dx_p over the species no reaction defines (one per
// set row). Substituting into the set rows leaves a dense system of the sets'
// size. The elimination is exact: the step equals that of the full system.
//
// The fast rows hold only stoichiometric coefficients, the same for every water:
// how each species' correction depends on the primary corrections (T) is worked
// out once per chemical system, kept sparse, and each step only carries its
// residuals through.
void sim0D::build_reduction_map()
{
    sim_system &s = *building;
    s.reducible = false;
    const int n = s.nspecies;
    const int nf = s.nrxnsFast;
    // Needs every fast reaction to define a species of its own, in an order.
    if (!s.rxnsDefineDistinct || !s.releaseOrdered)
        return;
    s.primaryOf.assign(n, -1);
    s.primarySpecies.clear();
    for (int j = 0; j < n; ++j)
        if (s.definingRxn[j] < 0) {
            s.primaryOf[j] = int(s.primarySpecies.size());
            s.primarySpecies.push_back(j);
        }
    const int np = int(s.primarySpecies.size());
    if (np != n - nf || np == 0)
        return;
    std::vector<double> T(size_t(n) * np, 0.0); // row s: d(dx_s)/d(dx_p)
    for (int p = 0; p < np; ++p)
        T[size_t(s.primarySpecies[p]) * np + p] = 1.0;
    for (int i : s.releaseOrder) {
        const pt_rxn &rx = s.rxnsFast[i];
        const int own = rx.ownIdx;
        const double inv = 1.0 / rx.stoich[own];
        double *Ts = &T[size_t(own) * np];
        for (int j : rx.nonzero) {
            if (j == own)
                continue;
            const double *Tj = &T[size_t(j) * np];
            for (int p = 0; p < np; ++p)
                Ts[p] -= rx.stoich[j] * Tj[p];
        }
        for (int p = 0; p < np; ++p)
            Ts[p] *= inv;
    }
    s.redTstart.assign(n + 1, 0);
    s.redTcol.clear();
    s.redTval.clear();
    for (int j = 0; j < n; ++j) {
        s.redTstart[j] = int(s.redTcol.size());
        for (int p = 0; p < np; ++p)
            if (T[size_t(j) * np + p] != 0.0) {
                s.redTcol.push_back(p);
                s.redTval.push_back(T[size_t(j) * np + p]);
            }
    }
    s.redTstart[n] = int(s.redTcol.size());
    s.reducible = true;
}

// The run's part of the reduction: its work arrays and the reduced system.
void sim0D::prepare_reduction()
{
    const sim_system &s = sys();
    setColsReady = false;
    if (!s.reducible)
        return;
    redC.assign(s.nspecies, 0.0);
    pt_numeric_mat::giveBack(pt_numeric_mat::use::reduced, std::unique_ptr<pt_numeric_mat>(redMat),
                             false);
    redMat = pt_numeric_mat::take(pt_numeric_mat::use::reduced, int(s.primarySpecies.size()))
                 .release();
}

// Depth-first order of the fast reactions of the system being prepared: each after
// the reactions that define the species it holds. False when the reactions form a
// cycle.
bool sim0D::order_fast_reactions(const std::vector<int> &definedBy, std::vector<int> &order) const
{
    const sim_system &s = *building;
    const int nf = s.nrxnsFast;
    order.clear();
    std::vector<int> mark(nf, 0); // 0 new, 1 in progress, 2 done
    std::vector<std::pair<int, size_t>> stack;
    for (int start = 0; start < nf; ++start) {
        if (mark[start] != 0)
            continue;
        stack.push_back({start, 0});
        mark[start] = 1;
        while (!stack.empty()) {
            auto &[i, next] = stack.back();
            const std::vector<int32_t> &nz = s.rxnsFast[i].nonzero;
            if (next < nz.size()) {
                const int j = nz[next++];
                const int dep = definedBy[j];
                if (dep < 0 || dep == i)
                    continue;
                if (mark[dep] == 1)
                    return false;
                if (mark[dep] == 0) {
                    mark[dep] = 1;
                    stack.push_back({dep, 0});
                }
            } else {
                mark[i] = 2;
                order.push_back(i);
                stack.pop_back();
            }
        }
    }
    return true;
}

// Columns of each set row. A set row's entries are non-zero wherever its species
// are present (every molality is above 0 at the start), so the columns seen in the
// first assembly are the row's columns at every later state of the run.
void sim0D::build_set_columns()
{
    const int n = simmodel->nspecies;
    const int nf = simmodel->nrxnsFast;
    const int np = int(sys().primarySpecies.size());
    setColStart.assign(np + 1, 0);
    setCols.resize(size_t(np) * size_t(n));
    int found = 0;
    for (int k = 0; k < np; ++k) {
        setColStart[k] = found;
        const double *row = nummat->rows[nf + k];
        // Without a branch: most entries are zero, in no foreseeable pattern.
        for (int j = 0; j < n; ++j) {
            setCols[size_t(found)] = j;
            found += row[j] != 0.0 ? 1 : 0;
        }
    }
    setColStart[np] = found;
    setCols.resize(size_t(found));
    setColsReady = true;
}

int sim0D::solve_step_reduced(std::vector<double> &dx)
{
    const sim_system &s = sys();
    const int n = simmodel->nspecies;
    const int nf = simmodel->nrxnsFast;
    const int np = int(s.primarySpecies.size());
    if (!setColsReady)
        build_set_columns();
    // Constant part of each correction: the primaries' is 0, each defined species'
    // follows from its reaction's residual and the species before it.
    std::fill(redC.begin(), redC.end(), 0.0);
    for (int i : s.releaseOrder) {
        const pt_rxn &rx = s.rxnsFast[i];
        const int own = rx.ownIdx;
        const double *row = nummat->rows[i];
        double c = nummat->b[i];
        for (int j : rx.nonzero)
            if (j != own)
                c -= row[j] * redC[j];
        redC[own] = quotientOf(c, row[own]);
    }
    const int *Tstart = s.redTstart.data();
    const int *Tcol = s.redTcol.data();
    const double *Tval = s.redTval.data();
    for (int k = 0; k < np; ++k) {
        const double *row = nummat->rows[nf + k];
        double *red = redMat->rows[k];
        std::fill(red, red + np + 1, 0.0);
        double rhs = nummat->b[nf + k];
        for (int c = setColStart[k]; c < setColStart[k + 1]; ++c) {
            const int j = setCols[c];
            const double a = row[j];
            rhs -= a * redC[j];
            for (int t = Tstart[j]; t < Tstart[j + 1]; ++t)
                red[Tcol[t]] += a * Tval[t];
        }
        redMat->b[k] = rhs;
        redMat->perm[k] = k;
    }
    if (redSolver.driver(redMat) != 0)
        return 1;
    dx.resize(n);
    for (int j = 0; j < n; ++j) {
        double v = redC[j];
        for (int t = Tstart[j]; t < Tstart[j + 1]; ++t)
            v += Tval[t] * redMat->b[Tcol[t]];
        dx[j] = v;
    }
    reducedSolved = true;
    return 0;
}

// The last reduced system solved again for the rows' right-hand side rhs (nspecies
// entries): the rows are those of the last assembly, the elimination the solver kept.
int sim0D::solve_reduced_again(const double *rhs, std::vector<double> &y)
{
    const sim_system &s = sys();
    const int n = simmodel->nspecies;
    const int nf = simmodel->nrxnsFast;
    const int np = int(s.primarySpecies.size());
    std::vector<double> &c = redC;
    std::fill(c.begin(), c.end(), 0.0);
    for (int i : s.releaseOrder) {
        const pt_rxn &rx = s.rxnsFast[i];
        const int own = rx.ownIdx;
        const double *row = nummat->rows[i];
        double v = rhs[i];
        for (int j : rx.nonzero)
            if (j != own)
                v -= row[j] * c[j];
        c[own] = quotientOf(v, row[own]);
    }
    std::vector<double> &r = redRhs;
    r.assign(size_t(np), 0.0);
    for (int k = 0; k < np; ++k) {
        const double *row = nummat->rows[nf + k];
        double v = rhs[nf + k];
        for (int q = setColStart[k]; q < setColStart[k + 1]; ++q)
            v -= row[setCols[q]] * c[setCols[q]];
        r[size_t(k)] = v;
    }
    if (redSolver.resolve(r.data()) != 0)
        return 1;
    const int *Tstart = s.redTstart.data();
    const int *Tcol = s.redTcol.data();
    const double *Tval = s.redTval.data();
    y.resize(n);
    for (int j = 0; j < n; ++j) {
        double v = c[j];
        for (int t = Tstart[j]; t < Tstart[j + 1]; ++t)
            v += Tval[t] * r[size_t(Tcol[t])];
        y[j] = v;
    }
    return 0;
}
