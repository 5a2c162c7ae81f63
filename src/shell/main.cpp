#include "mainwindow.h"

#include <QApplication>
#include <QDebug>
#include <QFile>

int main(int argc, char *argv[])
{
    // The organisation and application names fix where every setting is stored.
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Tarlow");
    QCoreApplication::setOrganizationDomain("tarlow.example");
    QCoreApplication::setApplicationName("vek7");

    int rc = 0;
    {
        MainWindow window;
        const QString sheetPath = QStringLiteral(":/styleSheets/qss_primary_std.qss");
        QFile sheet(sheetPath);
        if (sheet.exists() && sheet.open(QIODevice::ReadOnly))
            app.setStyleSheet(QString::fromLatin1(sheet.readAll()));
        else
            qDebug().noquote() << "MAIN: could not locate stylesheet file [ " + sheetPath + " ]";

        window.setWindowTitle(QStringLiteral("Main Window"));
        window.show();
        window.firstInstall_patch();
        rc = app.exec();
    }
    return rc;
}
