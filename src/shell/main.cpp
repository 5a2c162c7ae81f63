#include <QApplication>

int main(int argc, char *argv[])
{
    // The organisation and application names fix where every setting is stored.
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Tarlow");
    QCoreApplication::setOrganizationDomain("tarlow.example");
    QCoreApplication::setApplicationName("vek7");

    // The main window arrives with the application shell; until then the
    // program starts, settles its identity and leaves cleanly.
    return 0;
}
