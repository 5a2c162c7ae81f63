#include "thermo.h"

#include "records.h"

#include <QDebug>

#include <cmath>

namespace {

// EQ3/6 data0 (1996 release): grid temperatures and the tabulated Debye-Hueckel
// A, B and B-dot, with the degree-7 fits through them (T in degrees Celsius).
const double gridTC[8] = {0.01, 25.0, 60.0, 100.0, 150.0, 200.0, 250.0, 300.0};
const double gridA[8] = {0.4939, 0.5114, 0.5465, 0.5995, 0.6855, 0.7994, 0.9593, 1.218};
const double gridB[8] = {0.3253, 0.3288, 0.3346, 0.3421, 0.3525, 0.3639, 0.3766, 0.3925};
const double gridBdot[8] = {0.0394, 0.041, 0.0438, 0.046, 0.047, 0.047, 0.034, 0.0};

const double fitA[8]
    = {0.493894475990494,    0.000552337013387924, 6.39369025442344e-06,  -2.10553069416984e-08,
       7.55667998164976e-11, 7.86207975159314e-14, -1.10637539892099e-15, 2.53714510221952e-18};
const double fitB[8]
    = {0.325298745635324,    0.00012542968109955,   6.78531742241474e-07, -4.33596736242584e-09,
       2.56558310311852e-11, -8.99139990397001e-14, 1.47721517100764e-16, -5.22843513248335e-20};
const double fitBdot[8]
    = {0.0393993685285575,    6.31524599296867e-05, -5.31953176745855e-07, 3.53432659237501e-08,
       -6.05555951257854e-10, 4.2817606312762e-12,  -1.35667862791248e-14, 1.56642641432456e-17};

} // namespace

thermo::thermo()
    : bdotProps(set_DebyeHuckel_coeffsEQ36())
{ }

thermo::~thermo()
{
    delete bdotProps;
}

one_bdot_properties *thermo::set_DebyeHuckel_coeffsEQ36()
{
    auto *rec = new one_bdot_properties;
    for (int i = 0; i < 8; ++i) {
        rec->TC.append(gridTC[i]);
        rec->DHa.append(gridA[i]);
        rec->DHb.append(gridB[i]);
        rec->DHbdot.append(gridBdot[i]);
        rec->adh.append(fitA[i]);
        rec->bdh.append(fitB[i]);
        rec->bdot.append(fitBdot[i]);
    }
    return rec;
}

double thermo::polynom8(const QList<double> &c, double T)
{
    double p = 1.0;
    double s = 0.0;
    const int nc = c.size() < 8 ? int(c.size()) : 8;
    for (int i = 0; i < nc; ++i) {
        s = std::fma(c[i], p, s);
        p *= T;
    }
    return s;
}

double thermo::DebyeHuckel_coefA(QList<double>, double T)
{
    return polynom8(bdotProps->adh, T);
}

double thermo::DebyeHuckel_coefB(QList<double>, double T)
{
    return polynom8(bdotProps->bdh, T);
}

double thermo::DebyeHuckel_bDot(QList<double>, double T)
{
    return polynom8(bdotProps->bdot, T);
}

double thermo::eqklog10(const one_rxn_eqk *eqk, double T)
{
    if (eqk == nullptr || eqk->type_eqn != 0) {
        qDebug() << "PR: ####  unknown equilibrium constant equation form";
        return 0.0;
    }
    if (eqk->coeff.isEmpty())
        return 0.0;
    double s = eqk->coeff[0];
    for (int i = 1; i < eqk->coeff.size(); ++i) {
        const double e = i < eqk->quotient.size() ? eqk->quotient[i] : double(i);
        s = std::fma(eqk->coeff[i], std::pow(T, e), s);
    }
    return s;
}

double thermo::activityCoef_waterEQ36(QList<double> c, double T)
{
    double p = 1.0;
    double s = 0.0;
    for (double ci : c) {
        s += ci * p;
        p *= T;
    }
    return s;
}

double thermo::ionic_strength_soln(int n, QList<double> m, QList<double> z)
{
    double I = 0.0;
    for (int i = 0; i < n && i < m.size() && i < z.size(); ++i)
        I += 0.5 * m[i] * z[i] * z[i];
    return I;
}

void thermo::set_activityCoef_waterEQ36() { }
