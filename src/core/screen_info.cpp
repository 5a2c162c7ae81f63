#include "screen_info.h"

#include "settings_keys.h"
#include "ui_screen_info.h"

#include <QDebug>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QSysInfo>

screen_info::screen_info(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::screen_info)
{
    ui->setupUi(this);
    kernelType = QSysInfo::kernelType();
    kernelVersion = QSysInfo::kernelVersion();
    cpuArchitecture = QSysInfo::currentCpuArchitecture();
    productType = QSysInfo::productType();
    productVersion = QSysInfo::productVersion();
    productName = QSysInfo::prettyProductName();
    hostName = QSysInfo::machineHostName();

    screen = QGuiApplication::primaryScreen();
    set_screenGeometry(screen ? screen->geometry() : fallbackGeometry());
}

screen_info::~screen_info()
{
    delete ui;
}

void screen_info::set_screenGeometry(const QRect &geometry)
{
    scrGeometry = geometry.isValid() ? geometry : fallbackGeometry();
    scrWidth = scrGeometry.right() - scrGeometry.left() + 1;
    scrHeight = scrGeometry.bottom() - scrGeometry.top() + 1;
}

int screen_info::size_width() const
{
    return scrWidth;
}

int screen_info::size_height() const
{
    return scrHeight;
}

int screen_info::window_main_width() const
{
    return qMin(scrWidth, mainWidthMax);
}

int screen_info::window_main_height() const
{
    return qMin(scrHeight, mainHeightMax);
}

void screen_info::readSpcnKey(const char *key) const
{
    QSettings settings;
    settings.beginGroup(settings_keys::groupSpcn);
    settings.value(key).toInt();
}

int screen_info::simfile_width() const
{
    readSpcnKey(settings_keys::keyWidth);
    return 850;
}

int screen_info::simfile_height() const
{
    readSpcnKey(settings_keys::keyHeight);
    return 600;
}

int screen_info::setup_width() const
{
    readSpcnKey(settings_keys::keyWidth);
    return 1000;
}

int screen_info::setup_height() const
{
    readSpcnKey(settings_keys::keyHeight);
    return 1000;
}

int screen_info::login_width() const
{
    return 580;
}

int screen_info::login_height() const
{
    return 680;
}

int screen_info::mainMenu_width() const
{
    return 700;
}

int screen_info::mainMenu_height() const
{
    return 540;
}

void screen_info::generalInfo() { }

void screen_info::platformInfo()
{
    qDebug() << " -----  OS DETAILS  -----";
    qDebug() << "          kernel type [" << kernelType << "]";
    qDebug() << "       kernel version [" << kernelVersion << "]";
    qDebug() << "  OS CPU architecture [" << cpuArchitecture << "]";
    qDebug() << "         product type [" << productType << "]";
    qDebug() << "      product version [" << productVersion << "]";
    qDebug() << "         product name [" << productName << "]";
    qDebug() << "            host name [" << hostName << "]";
    qDebug() << " ------------------------";
}

void screen_info::scrPosition_center(QWidget *w)
{
    if (!w || (w->x() >= 10 && w->y() >= 10))
        return;
    int x = scrWidth / 2 - w->width() / 2;
    int y = scrHeight / 3 - w->height() / 2;
    // Keep the whole window on the screen; a window larger than the screen
    // keeps its top-left corner on it, so its title bar stays reachable.
    x = qMax(0, qMin(x, scrWidth - w->width()));
    y = qMax(0, qMin(y, scrHeight - w->height()));
    x += scrGeometry.left();
    y += scrGeometry.top();
    qDebug() << "SI: moving window to x" << x << ", y" << y;
    w->move(x, y);
}
