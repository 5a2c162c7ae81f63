// Every test executable starts headless, with its settings store and home for
// temporary files in a fresh folder, so no test reads or writes the user's settings.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string g_settingsDir;

void removeSettingsDir()
{
    if (!g_settingsDir.empty())
        QDir(QString::fromStdString(g_settingsDir)).removeRecursively();
}

struct TestEnvironment
{
    TestEnvironment()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        std::string tmpl = QDir::tempPath().toStdString() + "/vek7-test-XXXXXX";
        if (char *dir = mkdtemp(tmpl.data())) {
            g_settingsDir = dir;
            qputenv("XDG_CONFIG_HOME", QByteArray(dir) + "/config");
            qputenv("XDG_DATA_HOME", QByteArray(dir) + "/data");
            qputenv("XDG_CACHE_HOME", QByteArray(dir) + "/cache");
            std::atexit(removeSettingsDir);
        }
    }
};

const TestEnvironment g_environment;

} // namespace

/// Folder that holds this test run's redirected settings and scratch files.
QString vek7TestScratchDir()
{
    return QString::fromStdString(g_settingsDir);
}

QString copyGeneratedDb(const QString &dir)
{
    // The compiled-in copy is what the program installs; the build's file is the fallback.
    QString src = QStringLiteral(":/thermo/db-EQ3v1996.db");
    if (!QFileInfo::exists(src))
        src = QStringLiteral(VEK7_GENERATED_DB);
    if (!QFileInfo::exists(src))
        return QString();
    QDir().mkpath(dir);
    const QString dst = QDir(dir).filePath(QStringLiteral("db-EQ3v1996.db"));
    QFile::remove(dst);
    return QFile::copy(src, dst) ? dst : QString();
}
