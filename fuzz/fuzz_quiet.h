#pragma once

// Set-up shared by the fuzz targets: the code under test logs a line for nearly
// every malformed value, which would drown the fuzzer's own output and slow it
// down; settings and scratch files go to a private temporary folder.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdlib>

namespace fuzz_quiet {

inline void dropMessage(QtMsgType type, const QMessageLogContext &, const QString &)
{
    if (type == QtFatalMsg)
        std::abort();
}

/// Silences Qt's log, points the settings store at a private folder and returns
/// a scratch folder that lives as long as the process.
inline QString init()
{
    // A memory file system where there is one: the database writer syncs its file.
    const QString base
        = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir scratch(base + QStringLiteral("/vek7-fuzz-XXXXXX"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.path() + QStringLiteral("/config")));
    qputenv("HOME", QFile::encodeName(scratch.path()));
    QCoreApplication::setOrganizationName(QStringLiteral("vek7-fuzz"));
    QCoreApplication::setApplicationName(QStringLiteral("vek7-fuzz"));
    qInstallMessageHandler(dropMessage);
    return scratch.path();
}

} // namespace fuzz_quiet
