#pragma once

#include "data0_records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

/// Reader of EQ3/6 data0 text files of the 1996 format ("data0.com.V8.R6" and its
/// sister data sets): miscellaneous parameters, bdot parameters, elements, basis,
/// auxiliary basis and aqueous species, solids, liquids and gases. Solid solutions and
/// references are skipped (solid solutions are counted).
///
/// A file that deviates from the format is refused: the result is 1 and `messages`
/// receives lines naming the offending line of the file; `out` is then incomplete and
/// must not be written anywhere.
class data0_reader
{
public:
    /// Reads the file at `path` into `out`; 0 on success, 1 on failure.
    int read_file(const QString &path, data0_file *out, QStringList *messages);

    /// Reads data0 text already in memory; `source` names it in messages.
    int read_text(const QByteArray &text, const QString &source, data0_file *out,
                  QStringList *messages);
};
