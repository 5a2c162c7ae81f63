#include "program_run.h"

#include "mainwindow.h"
#include "wheel_guard.h"

#include <QApplication>
#include <QDebug>
#include <QFile>

int program_run(QApplication &app)
{
    // Before any window: boxes lose the wheel's focus when they are first polished.
    wheel_guard::guardApplication();
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
    return app.exec();
}
