// Screen geometry, fixed page sizes, the centring rule and the platform block.
#include "screen_info.h"
#include "test_ui.h"

#include <QApplication>
#include <QSettings>
#include <QtTest>

class tst_core_screen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void center_data();
    void center();
    void fitFrame_data();
    void fitFrame();
    void keepOnScreen_titleBarAndSize();
    void mainWindowLimits_data();
    void mainWindowLimits();
    void fixedSizesIgnoreSettings();
    void invalidGeometryFallsBack();
    void platformBlock();
};

void tst_core_screen::initTestCase()
{
    QCoreApplication::setOrganizationName("Tarlow");
    QCoreApplication::setApplicationName("vek7");
}

void tst_core_screen::center_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<QPoint>("expected");
    QTest::addColumn<bool>("moved");

    const QRect wide(0, 0, 1440, 900);
    QTest::newRow("800x600 on 1440x900")
        << wide << QSize(800, 600) << QPoint(0, 0) << QPoint(320, 0) << true;
    QTest::newRow("x below 10 moves")
        << wide << QSize(400, 300) << QPoint(9, 200) << QPoint(520, 150) << true;
    QTest::newRow("y below 10 moves")
        << wide << QSize(400, 300) << QPoint(200, 9) << QPoint(520, 150) << true;
    QTest::newRow("placed window stays")
        << wide << QSize(400, 300) << QPoint(10, 10) << QPoint(10, 10) << false;
    QTest::newRow("negative position moves")
        << wide << QSize(400, 300) << QPoint(-50, -50) << QPoint(520, 150) << true;
    // Taller than a third of the screen allows: the top edge stays on screen.
    QTest::newRow("setup page on 1024x768")
        << QRect(0, 0, 1024, 768) << QSize(1000, 1000) << QPoint(0, 0) << QPoint(12, 0) << true;
    QTest::newRow("tall window") << QRect(0, 0, 1280, 800) << QSize(580, 700) << QPoint(0, 0)
                                 << QPoint(350, 0) << true;
    QTest::newRow("wider than screen")
        << QRect(0, 0, 800, 600) << QSize(1000, 400) << QPoint(0, 0) << QPoint(0, 0) << true;
    QTest::newRow("larger both ways")
        << QRect(0, 0, 640, 480) << QSize(1000, 1000) << QPoint(5, 5) << QPoint(0, 0) << true;
    QTest::newRow("odd sizes truncate")
        << QRect(0, 0, 1001, 901) << QSize(301, 201) << QPoint(0, 0) << QPoint(350, 200) << true;
    QTest::newRow("screen not at origin")
        << QRect(100, 50, 1440, 900) << QSize(800, 600) << QPoint(0, 0) << QPoint(420, 50) << true;
}

void tst_core_screen::center()
{
    QFETCH(QRect, screen);
    QFETCH(QSize, window);
    QFETCH(QPoint, start);
    QFETCH(QPoint, expected);
    QFETCH(bool, moved);

    screen_info si;
    si.set_screenGeometry(screen);
    QWidget w;
    w.resize(window);
    w.move(start);
    MessageCapture log;
    si.scrPosition_center(&w);
    QCOMPARE(w.pos(), expected);
    const QStringList lines = log.take();
    if (!moved) {
        QCOMPARE(lines, QStringList());
    } else {
        QCOMPARE(
            lines,
            QStringList {
                QString("SI: moving window to x %1 , y %2").arg(expected.x()).arg(expected.y())});
    }
}

void tst_core_screen::fitFrame_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("expected");

    // A 1000 x 1000 window centred a third down a 1600 x 1200 screen starts above it.
    QTest::newRow("title bar above the screen")
        << QRect(0, 0, 1600, 1200) << QRect(300, -130, 1000, 1030) << QRect(300, 0, 1000, 1030);
    QTest::newRow("laptop screen shrinks it")
        << QRect(0, 0, 1366, 768) << QRect(183, -20, 1000, 1030) << QRect(183, 0, 1000, 768);
    QTest::newRow("panel along the top")
        << QRect(0, 32, 1366, 736) << QRect(10, 0, 580, 710) << QRect(10, 32, 580, 710);
    QTest::newRow("off the right and bottom")
        << QRect(0, 0, 1366, 768) << QRect(1000, 600, 580, 400) << QRect(786, 368, 580, 400);
    QTest::newRow("second screen")
        << QRect(1920, 0, 1280, 1024) << QRect(100, 100, 800, 600) << QRect(1920, 100, 800, 600);
    QTest::newRow("inside stays") << QRect(0, 0, 1366, 768) << QRect(20, 30, 700, 540)
                                  << QRect(20, 30, 700, 540);
}

void tst_core_screen::fitFrame()
{
    QFETCH(QRect, available);
    QFETCH(QRect, frame);
    QFETCH(QRect, expected);
    QCOMPARE(screen_info::fit_frame(available, frame), expected);
}

void tst_core_screen::keepOnScreen_titleBarAndSize()
{
    screen_info si;
    si.set_screenGeometry(QRect(0, 0, 1366, 768));
    QWidget w;
    w.resize(1000, 1000);
    w.move(183, 0);
    si.keep_onScreen(&w);
    // Not shown, the frame the window manager will add is counted too.
    const QMargins m = screen_info::frame_margins(&w);
    QVERIFY(m.top() > 0);
    QVERIFY(QRect(0, 0, 1366, 768).contains(QRect(w.pos(), w.size().grownBy(m))));
    QCOMPARE(w.width(), 1000);
}

void tst_core_screen::mainWindowLimits_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("1440x900") << QRect(0, 0, 1440, 900) << 1024 << 900;
    QTest::newRow("portrait 800x1400") << QRect(0, 0, 800, 1400) << 800 << 1280;
    QTest::newRow("exact limits") << QRect(0, 0, 1024, 1280) << 1024 << 1280;
}

void tst_core_screen::mainWindowLimits()
{
    QFETCH(QRect, screen);
    QFETCH(int, width);
    QFETCH(int, height);
    screen_info si;
    si.set_screenGeometry(screen);
    QCOMPARE(si.size_width(), screen.width());
    QCOMPARE(si.size_height(), screen.height());
    QCOMPARE(si.window_main_width(), width);
    QCOMPARE(si.window_main_height(), height);
}

void tst_core_screen::fixedSizesIgnoreSettings()
{
    QSettings settings;
    settings.setValue("SPCN/width", 123);
    settings.setValue("SPCN/height", 45);
    settings.sync();
    screen_info si;
    QCOMPARE(si.simfile_width(), 850);
    QCOMPARE(si.simfile_height(), 600);
    QCOMPARE(si.setup_width(), 1000);
    QCOMPARE(si.setup_height(), 1000);
    QCOMPARE(si.login_width(), 580);
    QCOMPARE(si.login_height(), 680);
    QCOMPARE(si.mainMenu_width(), 700);
    QCOMPARE(si.mainMenu_height(), 540);
    // Reading them changes nothing stored.
    QCOMPARE(settings.value("SPCN/width").toInt(), 123);
}

void tst_core_screen::invalidGeometryFallsBack()
{
    screen_info si;
    si.set_screenGeometry(QRect());
    QCOMPARE(si.screenGeometry(), screen_info::fallbackGeometry());
    QVERIFY(si.size_width() > 0 && si.size_height() > 0);
    QWidget w;
    w.resize(300, 200);
    si.scrPosition_center(&w);
    QVERIFY(w.x() >= 0 && w.y() >= 0);
}

void tst_core_screen::platformBlock()
{
    screen_info si;
    MessageCapture log;
    si.platformInfo();
    const QStringList lines = log.take();
    QCOMPARE(lines.size(), 9);
    QCOMPARE(lines.first(), QString(" -----  OS DETAILS  -----"));
    QCOMPARE(lines.at(1), "          kernel type [ \"" + QSysInfo::kernelType() + "\" ]");
    QCOMPARE(lines.at(4), "         product type [ \"" + QSysInfo::productType() + "\" ]");
    QVERIFY(lines.at(7).startsWith("            host name [ "));
    QCOMPARE(lines.last(), QString(" ------------------------"));
}

QTEST_MAIN(tst_core_screen)
#include "tst_core_screen.moc"
