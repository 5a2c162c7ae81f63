// Build-time generator of the reference database: vek7_dbgen <data0 file> <database file>.
#include "dbparse_writer.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: vek7_dbgen <data0 file> <database file>\n");
        return 2;
    }
    dbparse_counts counts;
    QStringList messages;
    const int rc = dbparse_convert(args[1], args[2], &counts, &messages);
    for (const QString &m : messages)
        std::fprintf(stderr, "vek7_dbgen: %s\n", qPrintable(m));
    if (rc != 0)
        return 1;
    std::printf("vek7_dbgen: wrote %s\n", qPrintable(args[2]));
    for (const QString &line : counts.summary())
        std::printf("  %s\n", qPrintable(line));
    return 0;
}
