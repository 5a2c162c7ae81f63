#include "export_file.h"

#include "return_codes.h"

#include <QSaveFile>

#include <cmath>

namespace export_file {

namespace {

using result_snapshot::num;

const char firstLine[] = "# vek.7 model setup and results";

/// Appends one section: its "# title" line, the header row and the rows.
void section(QString &out, const QString &title, const QStringList &header,
             const QList<text_row> &rows, QChar d)
{
    out += QStringLiteral("# ") + title + '\n';
    out += delimited_line(header, d) + '\n';
    for (const text_row &r : rows)
        out += delimited_line(r, d) + '\n';
}

QString notComputed(double v)
{
    return v == 0.0 ? QStringLiteral("not computed") : num(v);
}

QList<text_row> result_properties(const result_copy &r)
{
    return {
        {QStringLiteral("date"), r.date, QString()},
        {QStringLiteral("temperature"), num(r.TC), QStringLiteral("C")},
        {QStringLiteral("density"), num(r.density), QStringLiteral("g/cm3")},
        {QStringLiteral("pH"), num(r.pH), QString()},
        {QStringLiteral("pH scale"), r.pHscale, QString()},
        {QStringLiteral("activity of water"), num(r.waterActivity), QString()},
        {QStringLiteral("ionic strength"), num(r.ionicStrength), QStringLiteral("mol/kg water")},
        {QStringLiteral("net charge"), num(r.netCharge), QStringLiteral("eq/kg water")},
        {QStringLiteral("carbonate alkalinity"), num(r.alkCarb), QStringLiteral("eq/kg water")},
        {QStringLiteral("total dissolved solids"), num(r.tds), QStringLiteral("mg/kg water")},
        {QStringLiteral("conductivity"), notComputed(r.conduct), QString()},
        {QStringLiteral("dielectric constant"), notComputed(r.dielectConst), QString()},
        {QStringLiteral("iterations"), QString::number(r.loops), QString()},
        {QStringLiteral("convergence value"), num(r.cvgValue), QString()},
        {QStringLiteral("converged"), r.converged ? QStringLiteral("yes") : QStringLiteral("no"),
         QString()},
    };
}

QList<text_row> solute_rows(const result_copy &r)
{
    QList<text_row> rows;
    for (const result_calc::species_value &s : r.solutes) {
        const double ppm = result_calc::convert(s, result_calc::unit_ppm, r.density);
        rows << text_row {s.name,
                          num(s.molal),
                          num(result_calc::convert(s, result_calc::unit_Molar, r.density)),
                          std::isnan(ppm) ? QStringLiteral("n/a") : num(ppm),
                          num(s.gamma),
                          std::isfinite(result_calc::log10_activity(s.molal, s.gamma))
                              ? num(result_calc::log10_activity(s.molal, s.gamma))
                              : QStringLiteral("n/a")};
    }
    return rows;
}

QList<text_row> mineral_rows(const result_copy &r)
{
    QList<text_row> rows;
    const QString again = QStringLiteral("n/a (run again)");
    for (const result_calc::saturation &s : r.solids) {
        const QString na = s.missing.isEmpty() ? QStringLiteral("n/a") : again;
        rows << text_row {s.mineral,
                          s.hasLogK ? num(s.logK) : QStringLiteral("n/a"),
                          s.missing.isEmpty() ? num(s.logIAP) : again,
                          s.complete() ? num(s.SI) : na,
                          s.complete() ? num(s.ratio) : na,
                          s.expression};
    }
    return rows;
}

} // namespace

QString resolve_name(const QString &name, QChar *delimiter)
{
    if (name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive)) {
        *delimiter = QLatin1Char('\t');
        return name;
    }
    *delimiter = QLatin1Char(',');
    if (name.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return name;
    return name + QLatin1String(".csv");
}

QString delimited_line(const QStringList &fields, QChar delimiter)
{
    QStringList out;
    out.reserve(fields.size());
    for (const QString &f : fields) {
        if (f.contains(delimiter) || f.contains('"') || f.contains('\n') || f.contains('\r')) {
            QString q = f;
            q.replace(QLatin1String("\""), QLatin1String("\"\""));
            out << '"' + q + '"';
        } else {
            out << f;
        }
    }
    return out.join(delimiter);
}

QString file_text(const batch_copy &batch, const water_copy &w, const contents &what, QChar d)
{
    QString out = QLatin1String(firstLine) + '\n';
    if (what.setup) {
        section(out, QStringLiteral("setup"), {"item", "value"}, batch.setup, d);
        section(out, QStringLiteral("elements"),
                {"element", "basis species", "molecular weight (g/mol)"}, batch.elements, d);
        section(out, QStringLiteral("solutes"), {"solute", "charge", "molecular weight (g/mol)"},
                batch.solutes, d);
        section(out, QStringLiteral("gases"), {"gas", "molecular weight (g/mol)"}, batch.gases, d);
        section(out, QStringLiteral("reactions"),
                {"reaction", "kind", "log K at 25 C", "expression"}, batch.reactions, d);
    }
    if (what.composition) {
        section(out, QStringLiteral("water"), {"item", "value", "unit"}, w.conditions, d);
        section(out, QStringLiteral("water composition"),
                {"element", "species", "molal", "Molar", "ppm", "swap reaction"}, w.composition, d);
        section(out, QStringLiteral("gas conditions"), {"gas", "fugacity (atm)"}, w.gasConditions,
                d);
    }
    if (what.result && w.hasResult) {
        const result_copy &r = w.result;
        section(out, QStringLiteral("result"), {"property", "value", "unit"}, result_properties(r),
                d);
        section(out, QStringLiteral("result element totals"), {"element", "molal", "Molar", "ppm"},
                r.elementTotals, d);
        section(out, QStringLiteral("result solutes"),
                {"species", "molal", "Molar", "ppm", "activity coefficient", "log10 activity"},
                solute_rows(r), d);
        QList<text_row> gases;
        for (const result_calc::species_value &g : r.gases)
            gases << text_row {g.name, num(g.molal),
                               g.molal > 0.0 ? num(std::log10(g.molal)) : QStringLiteral("n/a")};
        section(out, QStringLiteral("result gases"), {"gas", "fugacity (atm)", "log10 fugacity"},
                gases, d);
        QList<text_row> minerals = mineral_rows(r);
        if (minerals.isEmpty() && !r.noSolids.isEmpty())
            minerals << text_row {r.noSolids};
        section(out, QStringLiteral("mineral saturation"),
                {"mineral", "log K", "log IAP", "SI", "IAP/K", "reaction"}, minerals, d);
    }
    return out;
}

int write(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return return_codes::failed;
    }
    if (file.write(data) != data.size()) {
        *error = file.errorString();
        file.cancelWriting();
        return return_codes::failed;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return return_codes::failed;
    }
    return return_codes::success;
}

} // namespace export_file
