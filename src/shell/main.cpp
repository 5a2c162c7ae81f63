#include "program_run.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The organisation and application names fix where every setting is stored.
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Tarlow");
    QCoreApplication::setOrganizationDomain("tarlow.example");
    QCoreApplication::setApplicationName("vek7");
    return program_run(app);
}
