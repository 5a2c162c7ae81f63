#pragma once

// A large configuration for the benchmarks: 20 waters, each with a result of 300
// species, 300 aqueous species with their reactions and 30 elements of made-up
// names (the file stands on its own: it is opened without the database).

#include "records.h"
#include "sbatch.h"

#include <QString>

#include <cmath>

namespace bench_config {

constexpr int nWaters = 20;
constexpr int nSpecies = 300;
constexpr int nRxns = 300;

inline one_comp_elements *composition(int i)
{
    auto *c = new one_comp_elements;
    c->element = {QStringLiteral("E%1").arg(i % 30), QStringLiteral("O"), QStringLiteral("H")};
    c->stoich = {1, 3, 1};
    c->element_id = {i % 30, 1, 2};
    c->ncomp = 3;
    return c;
}

/// Fills `b` with the large configuration, to be saved as `file`.
inline void populate(sbatch &b, const QString &file)
{
    sim_data *sd = b.sdata;
    b.simData_init(sd);
    sd->file = file;
    for (int i = 0; i < 30; ++i) {
        auto *el = sd->own(new one_element);
        el->name = QStringLiteral("E%1").arg(i);
        el->mol_wt = 10.0 + i * 1.37;
        el->basis_name = QStringLiteral("E%1+").arg(i);
        sd->elements << el;
    }
    for (int i = 0; i < nSpecies; ++i) {
        auto *s = sd->own(new one_solute);
        s->name = QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0'));
        s->charge = i % 5 - 2;
        s->mol_wt = 50.0 + i * 0.731;
        s->DHazero = 4.0;
        s->type = global::aqueous;
        s->composition = composition(i);
        sd->solutes << s;
    }
    for (int i = 0; i < nRxns; ++i) {
        auto *r = sd->own(new one_rxn);
        r->name = QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0'));
        r->type = global::aqueous;
        r->composition = new one_comp_solutes;
        r->composition->solute = {r->name, QStringLiteral("S001"), QStringLiteral("S002")};
        r->composition->stoich = {-1, 1, 2};
        r->composition->solute_id = {i, 1, 2};
        r->composition->ncomp = 3;
        r->eqk = new one_rxn_eqk;
        for (int k = 0; k < 8; ++k) {
            r->eqk->order_idx << k;
            r->eqk->coeff << (k % 2 ? -1.0 : 1.0) * 12.345678901234567 / std::pow(100.0, k);
            r->eqk->quotient << k;
            r->eqk->eqkLog10 << -3.5 + 0.1 * k;
            r->eqk->temperature << 25.0 * k;
        }
        r->eqk->nterms = 8;
        sd->rxnsAqueous << r;
    }
    sd->nrxnsAqueous = nRxns;

    sd->waters.clear();
    for (int w = 0; w < nWaters; ++w) {
        one_water *water = sd->own(b.simData_init_water());
        water->name = QStringLiteral("water %1").arg(w);
        for (int i = 0; i < 30; ++i) {
            auto *c = new one_elementComp;
            c->element = QStringLiteral("E%1").arg(i);
            c->solute = c->element;
            c->molal = 1e-3 * (i + 1);
            water->composition << c;
        }
        auto *res = new one_water_result;
        res->TC = 25;
        res->converged = true;
        for (int i = 0; i < nSpecies; ++i) {
            auto *s = new one_waterResult_solute;
            s->solute = QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0'));
            s->cmolal = 1.2345678e-6 * (i + 1);
            s->cMolar = 1.2e-6 * (i + 1);
            s->gamma = 0.876543;
            res->soln_aq << s;
        }
        water->results = res;
        sd->waters << water;
    }
    sd->nwaters = nWaters;
}
} // namespace bench_config
