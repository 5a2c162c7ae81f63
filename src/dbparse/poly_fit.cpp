#include "poly_fit.h"

#include <cmath>
#include <vector>

QList<double> poly_fit::interpolate(const QList<double> &x, const QList<double> &y)
{
    const int n = int(x.size());
    if (n == 0 || y.size() != x.size())
        return {};
    // Bjorck-Pereyra: Newton divided differences, then expansion into powers of T.
    // Extended precision keeps the coefficients of the degree-7 fits of log K tables
    // (values up to ~1e3, T up to 300) exact to the last bits of a double.
    std::vector<long double> a(y.begin(), y.end());
    std::vector<long double> t(x.begin(), x.end());
    for (int k = 0; k < n - 1; ++k)
        for (int j = n - 1; j > k; --j)
            a[j] = (a[j] - a[j - 1]) / (t[j] - t[j - k - 1]);
    for (int k = n - 2; k >= 0; --k)
        for (int j = k; j < n - 1; ++j)
            a[j] -= t[k] * a[j + 1];
    QList<double> c;
    c.reserve(n);
    for (long double v : a)
        c.append(double(v));
    return c;
}

double poly_fit::evaluate(const QList<double> &c, double T)
{
    if (c.isEmpty())
        return 0.0;
    double s = c[0];
    for (int i = 1; i < c.size(); ++i)
        s = std::fma(c[i], std::pow(T, double(i)), s);
    return s;
}
