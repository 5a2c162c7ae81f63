#pragma once

#include <QList>

struct one_bdot_properties;
struct one_rxn_eqk;

/// Temperature functions of the built-in EQ3/6 Debye-Hueckel data and of log K
/// polynomials. Temperatures in degrees Celsius.
class thermo
{
public:
    thermo();
    ~thermo();
    thermo(const thermo &) = delete;
    thermo &operator=(const thermo &) = delete;

    /// A new record with the EQ3/6 (data0, 1996) grid and polynomial fits of A, B and
    /// B-dot; the caller owns it.
    static one_bdot_properties *set_DebyeHuckel_coeffsEQ36();
    /// Debye-Hueckel A at T, kg^0.5 mol^-0.5 (the list argument is not used).
    double DebyeHuckel_coefA(QList<double> unused, double T);
    /// Debye-Hueckel B at T, kg^0.5 mol^-0.5 Angstrom^-1 (the list argument is not used).
    double DebyeHuckel_coefB(QList<double> unused, double T);
    /// B-dot at T, kg/mol (the list argument is not used).
    double DebyeHuckel_bDot(QList<double> unused, double T);
    /// log10 K at T of a polynomial-form constant; 0.0 for another form.
    double eqklog10(const one_rxn_eqk *eqk, double T);
    /// Polynomial sum of c at T; 0.0 for an empty list.
    double activityCoef_waterEQ36(QList<double> c, double T);
    /// Ionic strength of the first n entries, mol/kg; 0.0 for n < 1.
    double ionic_strength_soln(int n, QList<double> m, QList<double> z);
    /// Does nothing.
    void set_activityCoef_waterEQ36();

    /// Degree-7 polynomial of the eight coefficients c at T.
    static double polynom8(const QList<double> &c, double T);

private:
    one_bdot_properties *bdotProps = nullptr; ///< owned: the built-in record
};
