#pragma once

#include "test_env.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QString>

/// Files the configuration tests write and compare.
namespace support_files {

/// A path for `name` in the test's own scratch folder `folder` (created).
inline QString scratch(const QString &folder, const QString &name)
{
    const QString dir = vek7TestScratchDir() + QLatin1Char('/') + folder;
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + name;
}

/// The whole file, or nothing when it cannot be opened.
inline QByteArray slurp(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// The text of a saved configuration with the header's "date" blanked: it is the
/// time of writing and is never read back.
inline QByteArray withoutDate(const QByteArray &bytes)
{
    static const QRegularExpression date(QStringLiteral("\"date\": \"[^\"]*\""));
    return QString::fromUtf8(bytes).replace(date, QStringLiteral("\"date\": \"\"")).toUtf8();
}

} // namespace support_files
