#include "screen_info.h"

#include "settings_keys.h"
#include "ui_screen_info.h"

#include <QDebug>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStyle>
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
    if (screen)
        set_availableGeometry(screen->availableGeometry());
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
    scrAvailable = scrGeometry;
}

void screen_info::set_availableGeometry(const QRect &geometry)
{
    scrAvailable = geometry.isValid() ? geometry : scrGeometry;
}

QRect screen_info::fit_frame(const QRect &available, const QRect &frame)
{
    QRect r(frame.topLeft(), frame.size().boundedTo(available.size()).expandedTo(QSize(0, 0)));
    r.moveLeft(
        qBound(available.left(), r.left(), available.left() + available.width() - r.width()));
    r.moveTop(qBound(available.top(), r.top(), available.top() + available.height() - r.height()));
    return r;
}

QMargins screen_info::frame_margins(const QWidget *w)
{
    if (w->isVisible() && w->frameGeometry() != w->geometry()) {
        const QRect f = w->frameGeometry();
        const QRect g = w->geometry();
        return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                        f.bottom() - g.bottom());
    }
    if (w->isVisible())
        return QMargins();
    // Not shown yet: the window manager's frame is unknown, so the style's stands in.
    const int border = w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
    const int title = w->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, w);
    return QMargins(border, title + border, border, border);
}

void screen_info::shrink_toRoom(QWidget *w, const QMargins &m) const
{
    const QSize room(scrAvailable.width() - m.left() - m.right(),
                     scrAvailable.height() - m.top() - m.bottom());
    if (w->width() > room.width() || w->height() > room.height())
        w->resize(w->size().boundedTo(room).expandedTo(w->minimumSize()));
}

void screen_info::keep_onScreen(QWidget *w) const
{
    if (!w || !w->isWindow())
        return;
    const QMargins m = frame_margins(w);
    shrink_toRoom(w, m);
    // A window's position is that of its frame.
    const QRect frame(w->pos(), w->size().grownBy(m));
    const QRect fitted = fit_frame(scrAvailable, frame);
    if (fitted.topLeft() != frame.topLeft())
        w->move(fitted.topLeft());
}

void screen_info::keep_restoredOnScreen(QWidget *w) const
{
    if (!w->isWindow())
        return;
    const QMargins m = frame_margins(w);
    shrink_toRoom(w, m);
    // A restored geometry places the contents and the frame goes around them, while
    // move() places the frame: moving a window not yet shown to the place of its
    // contents would shift it by its border at every opening. So the frame is fitted
    // around the contents and the contents are moved. Its title bar restoreGeometry
    // has already brought below the top of the screen.
    const QRect contents = w->geometry();
    const QRect frame = contents.marginsAdded(QMargins(m.left(), 0, m.right(), m.bottom()));
    const QRect fitted = fit_frame(scrAvailable, frame);
    if (fitted.topLeft() != frame.topLeft())
        w->setGeometry(contents.translated(fitted.topLeft() - frame.topLeft()));
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
    if (!w)
        return;
    if (w->x() >= 10 && w->y() >= 10) {
        keep_restoredOnScreen(w);
        return;
    }
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
    keep_onScreen(w);
}
