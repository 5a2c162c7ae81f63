#pragma once

// The export file: delimited text of a configuration's setup and one water's
// composition and result. The first line is "# vek.7 model setup and results";
// each section is a "# <section>" line, a header row and its rows. Fields are
// quoted as RFC 4180 asks (a field holding the delimiter, a quote or a line
// break is put in quotes, with quotes doubled).

#include "result_snapshot.h"

#include <QByteArray>
#include <QChar>
#include <QString>

namespace export_file {

/// What an export writes.
struct contents
{
    bool setup = true; ///< configuration, control parameters, species and reactions
    bool composition = true; ///< the water's conditions and composition
    bool result = true; ///< the water's speciation result and mineral saturation
};

/// The file name that will be written for `name` and its delimiter: ".csv" takes
/// a comma, ".txt" a tab (either in any letter case); any other name gets ".csv"
/// appended.
QString resolve_name(const QString &name, QChar *delimiter);

/// One line of fields joined by `delimiter`, quoted where needed, without a line end.
QString delimited_line(const QStringList &fields, QChar delimiter);

/// The whole file for water `w` of `batch`, lines ended by "\n".
QString file_text(const batch_copy &batch, const water_copy &w, const contents &what,
                  QChar delimiter);

/// Writes `data` to `path` through a QSaveFile: the file appears whole or not
/// at all, and an existing file stays as it was on failure. 0 on success; 1 with
/// the reason in `error` otherwise.
int write(const QString &path, const QByteArray &data, QString *error);

} // namespace export_file
