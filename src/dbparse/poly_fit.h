#pragma once

#include <QList>

/// Polynomials in T (degC) through tabulated points, as the reference database stores
/// them: log K(T) = c0 + c1 T + ... + c(n-1) T^(n-1).
class poly_fit
{
public:
    /// Coefficients c0 ... c(n-1) of the polynomial of degree n-1 through the n points
    /// (x[i], y[i]); the x must be distinct. One point gives a constant. Empty for n = 0.
    static QList<double> interpolate(const QList<double> &x, const QList<double> &y);

    /// Value at T of the polynomial with coefficients `c`, summed in the order the
    /// speciation engine uses: c0, then c(i) * T^i for increasing i.
    static double evaluate(const QList<double> &c, double T);
};
