// Every window of the program, page by page: texts whole under the font of the run,
// with and without the program's style sheet, usable on a laptop's screen, and the
// room of a larger window going to its panes.
// A window added to the program is added here with one row.
#include "support_shell.h"

#include "config_settings.h"
#include "dbmanager.h"
#include "dbparse_driver.h"
#include "dbviewer.h"
#include "doc_about.h"
#include "doc_redoxQG.h"
#include "install_check.h"
#include "mainwindow.h"
#include "manage_account.h"
#include "model_mixing.h"
#include "pdfWindow.h"
#include "records.h"
#include "sbatch.h"
#include "setup.h"
#include "setup_add_element.h"
#include "setup_add_gas.h"
#include "simfile.h"
#include "spcn_mix_result.h"
#include "test_layout.h"
#include "viewResult_spcn.h"
#include "water_manager.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QTest>

#include <functional>
#include <memory>

namespace {

/// A window brought up as a user reaches it, and what keeps it alive.
struct Opened
{
    std::shared_ptr<QWidget> owner; ///< deletes the window (or the main window showing it)
    QWidget *window = nullptr; ///< the window to look at
};
using Opener = std::function<Opened()>;

template<class W, class... Args>
Opener alone(Args... args)
{
    return [=] {
        auto w = std::make_shared<W>(args...);
        return Opened {w, w.get()};
    };
}

/// The main window, taken from its login page to the page `go` leads to.
Opener mainWindow(const std::function<void(MainWindow *)> &go)
{
    return [go] {
        auto win = std::make_shared<MainWindow>();
        win->show();
        go(win.get());
        return Opened {win, win.get()};
    };
}

void mainMenu(MainWindow *win)
{
    pressStart(win);
}

void configurationFile(MainWindow *win)
{
    pressStart(win);
    button(win, QStringLiteral("pushButton_Speciation"))->click();
}

/// Speciation -> New -> Load: the workspace on a new configuration.
void workspace(MainWindow *win)
{
    configurationFile(win);
    simfile *sf = simfilePage(win);
    ModalScript script;
    script.file(freshFolder(QStringLiteral("windows")) + QStringLiteral("/layout"));
    button(sf, QStringLiteral("pushButton_New"))->click();
    waitFor([&] { return script.done(); });
    button(sf, QStringLiteral("pushButton_Load"))->click();
}

/// The result window shown on one water, then given more with longer names and
/// wider numbers, as after further runs.
Opened resultFilledTwice()
{
    auto v = std::make_shared<viewResult_spcn>();
    sbatch batch;
    for (const QString &name : {"sea", "brine 1 evaporated to halite", "brine 2 evaporated"}) {
        one_water *w = batch.sdata->own(new one_water);
        w->name = name;
        w->results = new one_water_result;
        w->results->resultpH = name == "sea" ? 8.2 : 11.2345;
        w->results->TC = name == "sea" ? 25.0 : -3.74159;
        batch.sdata->waters << w;
        v->update_ui_result(&batch, 0);
        v->show(); // filled, then filled again while shown
    }
    return {v, v.get()};
}

/// Visible panes (tables, trees, text panes) of `window` and their total area.
qint64 paneArea(QWidget *window)
{
    qint64 area = 0;
    for (QAbstractScrollArea *pane : window->findChildren<QAbstractScrollArea *>())
        if (!qobject_cast<QScrollArea *>(pane) && pane->isVisibleTo(window)
            && pane->window() == window)
            area += qint64(pane->width()) * pane->height();
    return area;
}

/// The style sheet the program applies to itself at start.
QString programStyleSheet()
{
    QFile sheet(QStringLiteral(":/styleSheets/qss_primary_std.qss"));
    return sheet.open(QIODevice::ReadOnly) ? QString::fromLatin1(sheet.readAll()) : QString();
}

} // namespace

Q_DECLARE_METATYPE(Opener)

class tst_windows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void texts_whole_data() { windows(true); }
    void texts_whole();
    void laptopScreen_everyControlReached_data() { windows(true); }
    void laptopScreen_everyControlReached();
    void enlarging_givesRoomToPanes_data() { windows(); }
    void enlarging_givesRoomToPanes();

private:
    /// The table of windows: one row each, brought up as a user reaches it; with
    /// `alsoStyled`, each once more under the program's style sheet.
    static void windows(bool alsoStyled = false);
    /// Brings up the row's window, shown and laid out, styled as the row says.
    static Opened open();
};

void tst_windows::windows(bool alsoStyled)
{
    QTest::addColumn<Opener>("opener");
    QTest::addColumn<bool>("styled");
    const auto row = [alsoStyled](const char *name, const Opener &opener) {
        QTest::newRow(name) << opener << false;
        if (alsoStyled)
            QTest::addRow("%s, style sheet", name) << opener << true;
    };
    row("login page", mainWindow([](MainWindow *) {}));
    row("main menu", mainWindow(mainMenu));
    row("configuration file", mainWindow(configurationFile));
    row("setup workspace", mainWindow(workspace));
    row("element picker", alone<setup_add_element>(nullptr, nullptr));
    row("gas picker", alone<setup_add_gas>(nullptr, nullptr));
    row("water set manager", alone<water_manager>(nullptr, nullptr));
    row("mixing and titration", alone<model_mixing>(nullptr));
    row("model water name", alone<spcn_mix_result>(QStringList(), QString("mix 1"), nullptr));
    row("account settings", alone<manage_account>());
    row("control parameters", alone<config_settings>());
    row("installation check", alone<install_check>());
    row("database manager", alone<dbmanager>());
    row("database parser", alone<dbparse_driver>());
    row("database viewer", alone<dbviewer>());
    row("about", alone<doc_about>());
    row("redox quick guide", alone<doc_redoxQG>());
    row("user guide", Opener([] {
            auto w = std::make_shared<pdfWindow>();
            w->set_identifier(QStringLiteral("userguide"));
            return Opened {w, w.get()};
        }));
    row("speciation result", alone<viewResult_spcn>());
    row("speciation result, filled twice", resultFilledTwice);
}

Opened tst_windows::open()
{
    QFETCH(Opener, opener);
    QFETCH(bool, styled);
    if (styled)
        qApp->setStyleSheet(programStyleSheet());
    Opened o = opener();
    o.window->show();
    if (!QTest::qWaitForWindowExposed(o.window))
        qWarning("window not exposed");
    return o;
}

void tst_windows::initTestCase()
{
    shellTestIdentity();
    QVERIFY2(!programStyleSheet().isEmpty(), "the program's style sheet is not compiled in");
    // A run meant for one font must have it: else the check proves nothing.
    const QString sans = qEnvironmentVariable("VEK7_TEST_SANS");
    if (!sans.isEmpty())
        QVERIFY2(QFontInfo(QApplication::font()).family().startsWith(sans),
                 qPrintable(QFontInfo(QApplication::font()).family() + " is not " + sans));
}

void tst_windows::init()
{
    QSettings().clear();
    installedProgram();
}

void tst_windows::cleanup()
{
    qApp->setStyleSheet(QString());
}

void tst_windows::texts_whole()
{
    const Opened o = open();
    const QStringList cut = cutOffTexts(o.window);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
}

void tst_windows::laptopScreen_everyControlReached()
{
    const Opened o = open();
    const QRect room = o.window->screen()->availableGeometry();
    QCOMPARE(room.size(), QSize(1366, 768));
    QVERIFY2(room.contains(o.window->frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(o.window->x())
                            .arg(o.window->y())
                            .arg(o.window->frameGeometry().width())
                            .arg(o.window->frameGeometry().height())));
    const QStringList lost = unreachableControls(o.window);
    QVERIFY2(lost.isEmpty(), qPrintable(lost.join(QStringLiteral(", "))));
}

void tst_windows::enlarging_givesRoomToPanes()
{
    const Opened o = open();
    const qint64 before = paneArea(o.window);
    if (before == 0)
        QSKIP("no pane to grow");
    o.window->resize(o.window->size() + QSize(200, 150));
    QVERIFY(QTest::qWaitFor([&] { return paneArea(o.window) > before; }));
}

QTEST_MAIN(tst_windows)
#include "tst_windows.moc"
