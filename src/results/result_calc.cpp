#include "result_calc.h"

#include "records.h"
#include "sim0D.h"
#include "thermo.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace result_calc {

namespace {

const double notANumber = std::numeric_limits<double>::quiet_NaN();

/// Sorts 0..n-1 stably by `before`; NaN keys (per `isNaN`) go last.
template<class Before, class IsNaN>
QList<int> stable_order(int n, Before before, IsNaN isNaN)
{
    QList<int> idx(n);
    std::iota(idx.begin(), idx.end(), 0);
    std::stable_sort(idx.begin(), idx.end(), [&](int a, int b) {
        if (isNaN(a) != isNaN(b))
            return !isNaN(a);
        if (isNaN(a))
            return false;
        return before(a, b);
    });
    return idx;
}

} // namespace

QStringList unit_names()
{
    return {QStringLiteral("molal"), QStringLiteral("Molar"), QStringLiteral("ppm")};
}

double convert(const species_value &s, int u, double density)
{
    switch (u) {
    case unit_Molar:
        return s.molal * density;
    case unit_ppm:
        return s.molWt > 0.0 ? s.molal * s.molWt * 1000.0 : notANumber;
    default:
        return s.molal;
    }
}

QList<int> sort_species(const QList<species_value> &list, int order, int u, double density)
{
    const int n = int(list.size());
    if (order == order_alphabetical)
        return stable_order(
            n,
            [&](int a, int b) {
                return QString::compare(list[a].name, list[b].name, Qt::CaseInsensitive) < 0;
            },
            [](int) { return false; });
    if (order == order_concentration) {
        QList<double> c(n);
        for (int i = 0; i < n; ++i)
            c[i] = convert(list[i], u, density);
        return stable_order(
            n, [&](int a, int b) { return c[a] > c[b]; }, [&](int i) { return std::isnan(c[i]); });
    }
    return stable_order(
        n, [](int, int) { return false; }, [](int) { return false; });
}

bool eqkLog10_at(thermo &th, const one_rxn_eqk *eqk, double T, double *logK)
{
    if (eqk == nullptr || eqk->coeff.isEmpty() || eqk->type_eqn != 0)
        return false;
    // The engine's own rule, so the viewer never shows a mineral the run would not use.
    double at = T;
    if (!sim0D::logKTemperature(eqk, T, &at))
        return false;
    const double value = th.eqklog10(eqk, at);
    if (!std::isfinite(value))
        return false;
    *logK = value;
    return true;
}

double log10_activity(double molal, double gamma)
{
    if (!(molal > 0.0 && gamma > 0.0 && std::isfinite(molal) && std::isfinite(gamma)))
        return std::numeric_limits<double>::quiet_NaN();
    return std::log10(molal) + std::log10(gamma);
}

QHash<QString, double> log10_activities(const QList<species_value> &solutes,
                                        const QList<species_value> &gases, const QString &waterName)
{
    QHash<QString, double> a;
    for (const species_value &s : solutes) {
        const double act
            = s.name == waterName ? log10_activity(1.0, s.gamma) : log10_activity(s.molal, s.gamma);
        if (std::isfinite(act) && !a.contains(s.name))
            a.insert(s.name, act);
    }
    for (const species_value &g : gases) {
        const double f = g.molal * (g.gamma > 0.0 ? g.gamma : 1.0);
        if (f > 0.0 && std::isfinite(f) && !a.contains(g.name))
            a.insert(g.name, std::log10(f));
    }
    return a;
}

saturation solid_saturation(thermo &th, const one_rxn *r, const QHash<QString, double> &log10a,
                            double T)
{
    saturation s;
    if (r == nullptr)
        return s;
    s.mineral = r->name;
    s.expression = r->expression;
    s.hasLogK = eqkLog10_at(th, r->eqk, T, &s.logK);
    if (r->composition == nullptr || r->composition->solute.isEmpty()) {
        s.missing << r->name;
        return s;
    }
    const one_comp_solutes *c = r->composition;
    for (int k = 0; k < c->solute.size() && k < c->stoich.size(); ++k) {
        const QString &name = c->solute.at(k);
        if (name == r->name)
            continue; // the pure solid, at unit activity
        const auto it = log10a.constFind(name);
        if (it == log10a.constEnd())
            s.missing << name;
        else
            s.logIAP += c->stoich.at(k) * it.value();
    }
    if (s.complete()) {
        s.SI = s.logIAP - s.logK;
        s.ratio = std::pow(10.0, s.SI);
    }
    return s;
}

QList<int> sort_minerals(const QList<saturation> &list, int order)
{
    const int n = int(list.size());
    if (order == mineral_name)
        return stable_order(
            n,
            [&](int a, int b) {
                return QString::compare(list[a].mineral, list[b].mineral, Qt::CaseInsensitive) < 0;
            },
            [](int) { return false; });
    if (order == mineral_SI)
        return stable_order(
            n, [&](int a, int b) { return list[a].SI > list[b].SI; },
            [&](int i) { return !list[i].complete(); });
    return stable_order(
        n, [](int, int) { return false; }, [](int) { return false; });
}

} // namespace result_calc
