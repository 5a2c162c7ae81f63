// The whole road a new user walks, on a real X server: first start with the
// database installed, an account made and used, the J-13 water entered through the
// pickers and run, its result viewed and exported, a seawater beside it, the two
// mixed, everything saved, the program quit and started again, and the saved
// configuration opened from the recent list just as it was left.
//
// Each step is one test function, run in order on the same windows; a step that
// fails skips the rest of the road.
#include "support_setup.h"
#include "support_shell.h"
#include "test_csv.h"
#include "test_press.h"

#include "app_folder.h"
#include "mainwindow.h"
#include "setup.h"
#include "simfile.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDebug>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

const QString user = QStringLiteral("geochem1");
const QString password = QStringLiteral("Tuff2Well13");

/// The seawater of the reference case (major ions): element totals in molal, pH and
/// the ionic strength found.
struct reference_water
{
    double pH = 0;
    QMap<QString, double> totals;
    double ionicStrength = 0; ///< of the case's result
};

reference_water seawater()
{
    reference_water sw;
    const QJsonObject all = referenceCase("eq3nr/swmaj");
    const QJsonObject in = all["inputs"].toObject();
    sw.ionicStrength = all["results"].toObject()["ionic_strength"].toDouble();
    sw.pH = in["pH_activity"].toDouble();
    const QJsonObject totals = in["element_totals_molal"].toObject();
    for (auto it = totals.begin(); it != totals.end(); ++it)
        sw.totals.insert(it.key(), it.value().toDouble());
    return sw;
}

/// The visible top-level window whose object name is `name`, or null.
QWidget *topLevel(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

template<class T>
T *child(QWidget *w, const char *name)
{
    return w ? w->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}

void click(QWidget *w, const char *name)
{
    QTest::mouseClick(child<QAbstractButton>(w, name), Qt::LeftButton);
}

/// Types `text` into field `name` of `w` over what it held.
void type(QWidget *w, const char *name, const QString &text)
{
    auto *field = child<QWidget>(w, name);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}

/// Cell texts of a table, row by row, "|" between cells.
QStringList rowsOf(const QTableWidget *t)
{
    QStringList rows;
    for (int r = 0; t && r < t->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < t->columnCount(); ++c)
            cells << (t->item(r, c) ? t->item(r, c)->text() : QString());
        rows << cells.join('|');
    }
    return rows;
}

/// The row of `t` whose first cell is `first`, as its cells; empty when absent.
QStringList rowNamed(const QTableWidget *t, const QString &first)
{
    for (const QString &row : rowsOf(t))
        if (row.section('|', 0, 0) == first)
            return row.split('|');
    return {};
}

/// True when texts `a` and `b` show the same value: equal, or numbers that agree
/// as closely as values recomputed from the six significant digits a configuration
/// file keeps can (or to the last decimal shown, for a value the viewer rounds).
bool sameValue(const QString &a, const QString &b)
{
    bool numA = false, numB = false;
    const double x = a.toDouble(&numA), y = b.toDouble(&numB);
    if (a == b || !numA || !numB)
        return a == b;
    const qsizetype point = a.indexOf('.');
    const bool plain = point >= 0 && !a.contains('e', Qt::CaseInsensitive);
    const double lastShown = plain ? std::pow(10.0, -double(a.size() - point - 1)) : 0.0;
    return qAbs(x - y) <= std::max(2e-5 * std::max(qAbs(x), qAbs(y)), lastShown * 1.01);
}

/// Empty when `now` shows what `saved` showed, cell by cell; otherwise the first
/// row that differs.
QString differs(const QStringList &saved, const QStringList &now)
{
    for (qsizetype i = 0; i < std::max(saved.size(), now.size()); ++i) {
        const QStringList a = saved.value(i).split('|'), b = now.value(i).split('|');
        bool same = a.size() == b.size();
        for (qsizetype c = 0; same && c < a.size(); ++c)
            same = sameValue(a.at(c), b.at(c));
        if (!same)
            return QStringLiteral("saved \"%1\", now \"%2\"").arg(saved.value(i), now.value(i));
    }
    return QString();
}

} // namespace

class tst_road_x11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void firstStart_installsTheDatabase();
    void account_createdThenLoggedIn();
    void speciationNew_loadsTheDatabase();
    void pickers_addJ13ElementsAndCarbonDioxide();
    void j13Water_runsToDone();
    void viewResult_showsIonicStrengthAndCalcite();
    void exportCsv_readsBack();
    void seawater_addedAsSecondWater_runs();
    void mix5050_savedAsModelWater();
    void save_thenQuit();
    void restart_openRecent_everythingAsSaved();

private:
    setup *workspace() const { return setupPage(win.get()); }
    /// Everything the user can see of each water: its amounts and conditions on
    /// the workspace and its result in the viewer.
    QMap<QString, QStringList> shownWaters();
    /// The visible results viewer, opened with View Result.
    QWidget *openViewer();

    std::unique_ptr<MainWindow> win;
    QString docs; ///< the user's folder for configurations and exports
    QString file; ///< the configuration made on the road
    QMap<QString, QStringList> beforeQuit; ///< shownWaters() when saved
    /// Answers any message box a step opens, so that none can hang the road;
    /// a step that met one fails.
    std::unique_ptr<BoxCatcher> boxes;
    bool broken = false; ///< a step failed: the rest of the road is skipped
};

void tst_road_x11::initTestCase()
{
    shellTestIdentity();
    quietDebug();
    QFile sheet(QStringLiteral(":/styleSheets/qss_primary_std.qss"));
    if (sheet.open(QIODevice::ReadOnly))
        qApp->setStyleSheet(QString::fromLatin1(sheet.readAll()));
    QSettings().clear();
    app_folder::set_path(freshFolder(QStringLiteral("app")));
    docs = freshFolder(QStringLiteral("docs"));
    file = docs + QStringLiteral("/road.jsdb");
}

void tst_road_x11::init()
{
    if (broken)
        QSKIP("an earlier step of the road failed");
    boxes = std::make_unique<BoxCatcher>();
}

void tst_road_x11::cleanup()
{
    if (boxes)
        QVERIFY2(boxes->texts.isEmpty(), qPrintable("unexpected: " + boxes->texts.join('\n')));
    boxes.reset();
    broken = broken || QTest::currentTestFailed();
}

void tst_road_x11::cleanupTestCase()
{
    win.reset();
}

void tst_road_x11::firstStart_installsTheDatabase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    SlotWarningGuard guard;
    win = std::make_unique<MainWindow>();
    win->show();
    QVERIFY(QTest::qWaitForWindowExposed(win.get()));
    QVERIFY2(guard.warnings().isEmpty(), qPrintable(guard.warnings().join('\n')));
    QString shown;
    ModalScript first;
    first.modal([&](QWidget *dialog) {
        shown = dialog->objectName();
        click(dialog, "pushButton_setDB");
        click(dialog, "pushButton_continue");
    });
    win->firstInstall_patch();
    QVERIFY(first.done());
    QCOMPARE(shown, QStringLiteral("install_check"));
    const QString reference = app_folder::path() + QStringLiteral("/DBSET/db-EQ3v1996.db");
    QVERIFY(QFileInfo(reference).isFile());
    QCOMPARE(QSettings().value("DB/file_DBTypes/1/file").toString(), reference);
}

void tst_road_x11::account_createdThenLoggedIn()
{
    QWidget *page = currentPage(win.get());
    click(page, "pushButton_loginCreate");
    pressIndicator(child<QAbstractButton>(page, "checkBox_loginEnabled"));
    type(page, "lineEdit_createUsername", user);
    type(page, "lineEdit_createPassword", password);
    type(page, "lineEdit_createPassword_verify", password);
    QTest::keyClicks(child<QTextEdit>(page, "textEdit_passwordClue"), "the well's rock");
    type(page, "lineEdit_securityQuestion", "Well?");
    type(page, "lineEdit_securityQAnswer", "J-13");
    click(page, "pushButton_createSave");
    QCOMPARE(QSettings().value("LOGIN/username").toString(), user);
    QCOMPARE(child<QAbstractButton>(page, "pushButton_Login")->text(), QStringLiteral("Login"));

    type(page, "lineEdit_username", user);
    type(page, "lineEdit_password", password);
    click(page, "pushButton_Login");
    QTRY_COMPARE(currentPage(win.get())->objectName(), QStringLiteral("page_mainWindow"));
    QVERIFY(button(win.get(), "pushButton_Speciation")->isEnabled());
}

void tst_road_x11::speciationNew_loadsTheDatabase()
{
    click(win.get(), "pushButton_Speciation");
    simfile *sf = simfilePage(win.get());
    QTRY_COMPARE(currentPage(win.get()), sf);
    ModalScript create;
    create.file(docs + QStringLiteral("/road"));
    click(sf, "pushButton_New");
    QTRY_VERIFY(create.done());
    QTRY_VERIFY(QFileInfo(file).isFile());
    click(sf, "pushButton_Load");
    QTRY_COMPARE(currentPage(win.get()), workspace());
    const QString summary = paneLines(workspace()).join('\n');
    QVERIFY2(summary.contains(QStringLiteral("no. elements 81")), qPrintable(summary.left(400)));
}

void tst_road_x11::pickers_addJ13ElementsAndCarbonDioxide()
{
    for (const auto &e : j13)
        pickElement(workspace(), e.first, e.first);
    const QStringList tree = elementTree(workspace());
    for (const auto &e : j13)
        QVERIFY2(tree.count(e.first) == 1, qPrintable(e.first + ": " + tree.join(',')));
    pickGas(workspace(), QStringLiteral("CO2"), QStringLiteral("CO2(g)"));
    QVERIFY(tableColumn(child<QTableWidget>(workspace(), "tableWidget_gases"), 0)
                .contains(QStringLiteral("CO2(g)")));
}

void tst_road_x11::j13Water_runsToDone()
{
    typeJ13(workspace());
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(pressRun(workspace()), QStringLiteral("     DONE"));
}

QWidget *tst_road_x11::openViewer()
{
    // A water without a result gets a box instead, and no viewer.
    const qsizetype before = boxes->texts.size();
    click(workspace(), "pushButton_viewResult");
    if (boxes->texts.size() > before) {
        qWarning() << "View Result:" << boxes->texts.takeLast();
        return nullptr;
    }
    QWidget *viewer = topLevel(QStringLiteral("viewResult_spcn"));
    if (viewer && !QTest::qWaitForWindowExposed(viewer))
        return nullptr;
    return viewer;
}

void tst_road_x11::viewResult_showsIonicStrengthAndCalcite()
{
    QWidget *viewer = openViewer();
    QVERIFY(viewer);
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Speciation Result"));
    const QStringList ionic
        = rowNamed(child<QTableWidget>(viewer, "tableWidget_properties"), "Ionic strength");
    QVERIFY2(qAbs(ionic.value(1).toDouble() / 0.00351 - 1.0) < 0.01, qPrintable(ionic.join(' ')));
    // mineral | log K | log IAP | SI | IAP/K
    const QStringList calcite
        = rowNamed(child<QTableWidget>(viewer, "tableWidget_minerals"), QStringLiteral("Calcite"));
    bool number = false;
    calcite.value(3).toDouble(&number);
    QVERIFY2(number, qPrintable(calcite.join(' ')));
}

void tst_road_x11::exportCsv_readsBack()
{
    findAction(workspace(), QStringLiteral("Export Data"))->trigger();
    QWidget *dialog = topLevel(QStringLiteral("export_data"));
    QVERIFY(dialog);
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    const QString csv = docs + QStringLiteral("/j13.csv");
    ModalScript choose;
    choose.file(csv);
    click(dialog, "pushButton_browse");
    QTRY_VERIFY(choose.done());
    QTRY_COMPARE(child<QLineEdit>(dialog, "lineEdit_file")->text(), csv);
    click(dialog, "pushButton_export");
    QTRY_VERIFY(child<QTextEdit>(dialog, "textEdit_messages")->toPlainText().contains("Exported"));
    click(dialog, "pushButton_close");

    const QList<QStringList> rows = parseDelimited(fileBytes(csv), ',');
    QVERIFY(!rows.isEmpty());
    QCOMPARE(rows.first().value(0), QStringLiteral("# vek.7 model setup and results"));
    // The file holds what the viewer shows.
    QWidget *viewer = openViewer();
    QVERIFY(viewer);
    const QStringList ionic
        = rowNamed(child<QTableWidget>(viewer, "tableWidget_properties"), "Ionic strength");
    const QStringList calcite
        = rowNamed(child<QTableWidget>(viewer, "tableWidget_minerals"), QStringLiteral("Calcite"));
    const qsizetype minerals = rows.indexOf(QStringList {"# mineral saturation"});
    QVERIFY(minerals > 0);
    bool ionicFound = false, calciteFound = false;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QStringList &r = rows.at(i);
        if (r.value(0) == QLatin1String("ionic strength")) {
            ionicFound = true;
            QVERIFY(qAbs(r.value(1).toDouble() / ionic.value(1).toDouble() - 1.0) < 1e-6);
        }
        if (i > minerals && r.value(0) == QLatin1String("Calcite")) {
            calciteFound = true;
            QVERIFY2(qAbs(r.value(3).toDouble() - calcite.value(3).toDouble()) < 1e-4,
                     qPrintable(r.join(' ')));
        }
    }
    QVERIFY(ionicFound && calciteFound);
}

void tst_road_x11::seawater_addedAsSecondWater_runs()
{
    setup *su = workspace();
    ModalScript manager;
    manager.modal([](QWidget *mgr) {
        click(mgr, "pushButton_add");
        type(mgr, "lineEdit_waterName", QStringLiteral("seawater"));
        click(mgr, "pushButton_saveName");
        click(mgr, "pushButton_save");
    });
    click(su, "pushButton_waterMgr");
    QTRY_VERIFY(manager.done());
    QVERIFY(chooseItem(su, QStringLiteral("comboBox_waters"), QStringLiteral("seawater")));

    const reference_water sw = seawater();
    QVERIFY(!sw.totals.isEmpty());
    QVERIFY(chooseItem(su, QStringLiteral("comboBox_elementUnits"), QStringLiteral("molal")));
    QVERIFY(typeAmount(waterTable(su, QStringLiteral("tableWidgetWaters_element_H")), 0,
                       QString::number(sw.pH)));
    // A water holds every element of the system: those seawater of major ions
    // lacks get a trace.
    QTableWidget *t = waterTable(su, QStringLiteral("tableWidgetWaters_elements"));
    for (const auto &e : j13) {
        const QString amount = QString::number(sw.totals.value(e.first, 1e-12), 'e', 8);
        QVERIFY2(typeAmount(t, elementRow(su, e.first), amount), qPrintable(e.first));
    }
    QCOMPARE(pressRun(su), QStringLiteral("     DONE"));
    QWidget *viewer = openViewer();
    QVERIFY(viewer);
    const QStringList ionic
        = rowNamed(child<QTableWidget>(viewer, "tableWidget_properties"), "Ionic strength");
    QCOMPARE(child<QLabel>(viewer, "label_water")->text(), QStringLiteral("Water: seawater"));
    QVERIFY2(qAbs(ionic.value(1).toDouble() / sw.ionicStrength - 1.0) < 0.01,
             qPrintable(ionic.join(' ')));
}

void tst_road_x11::mix5050_savedAsModelWater()
{
    setup *su = workspace();
    click(su, "pushButton_SUMixing");
    QWidget *mixing = topLevel(QStringLiteral("model_mixing"));
    QVERIFY(mixing);
    QVERIFY(QTest::qWaitForWindowExposed(mixing));
    child<QComboBox>(mixing, "comboBox_water1")->setCurrentText(QStringLiteral("water-default"));
    child<QComboBox>(mixing, "comboBox_water2")->setCurrentText(QStringLiteral("seawater"));
    type(mixing, "doubleSpinBox_volume1", QStringLiteral("50"));
    QTest::keyClick(child<QWidget>(mixing, "doubleSpinBox_volume1"), Qt::Key_Return);
    QCOMPARE(child<QDoubleSpinBox>(mixing, "doubleSpinBox_volume2")->value(), 50.0);
    click(mixing, "pushButton_run");
    QTRY_VERIFY(child<QTextEdit>(mixing, "textEdit_messages")
                    ->toPlainText()
                    .contains(">> model water: 50 % [ water-default ] + 50 % [ seawater ]"));

    ModalScript naming;
    naming.modal([](QWidget *dialog) {
        type(dialog, "lineEdit_name", QStringLiteral("mix 50/50"));
        click(dialog, "pushButton_save");
    });
    click(mixing, "pushButton_save");
    QTRY_VERIFY(naming.done());
    auto *waters = child<QComboBox>(su, "comboBox_waters");
    QTRY_VERIFY(waters->findText(QStringLiteral("mix 50/50")) >= 0);
    click(mixing, "pushButton_close");
    QTRY_VERIFY(!mixing->isVisible());
}

QMap<QString, QStringList> tst_road_x11::shownWaters()
{
    setup *su = workspace();
    QMap<QString, QStringList> shown;
    showWaterPage(su);
    auto *waters = child<QComboBox>(su, "comboBox_waters");
    for (int i = 0; i < waters->count(); ++i) {
        const QString name = waters->itemText(i);
        chooseItem(su, QStringLiteral("comboBox_waters"), name);
        QStringList &seen = shown[name];
        for (const char *table : {"tableWidgetWaters_element_H", "tableWidgetWaters_elements",
                                  "tableWidgetWaters_gases"})
            seen << rowsOf(child<QTableWidget>(su, table));
        for (const char *field : {"lineEdit_temperature", "lineEdit_massDensity"})
            seen << child<QLineEdit>(su, field)->text();
        for (const char *combo : {"comboBox_acSolutes", "comboBox_acWater"})
            seen << child<QComboBox>(su, combo)->currentText();
        QWidget *viewer = openViewer();
        if (!viewer)
            continue;
        seen << child<QLabel>(viewer, "label_water")->text();
        // The system lists its species in the order they were added, the file in
        // its own: the user sorts by name to compare.
        for (const auto &[combo, item] : {std::pair("comboBox_sortSolutes", "alphabetical"),
                                          std::pair("comboBox_sortMinerals", "name")}) {
            auto *sort = child<QComboBox>(viewer, combo);
            sort->setCurrentIndex(sort->findText(QLatin1String(item)));
        }
        for (const char *table : {"tableWidget_properties", "tableWidget_solutes"})
            seen << rowsOf(child<QTableWidget>(viewer, table));
        // Mineral, log K, log IAP and SI; IAP/K is 10^SI, magnifying its last digit.
        for (const QString &row : rowsOf(child<QTableWidget>(viewer, "tableWidget_minerals")))
            seen << row.section('|', 0, 3);
        // A configuration file does not keep the run's last convergence sum.
        seen.removeIf([](const QString &row) { return row.startsWith("Convergence value|"); });
    }
    return shown;
}

void tst_road_x11::save_thenQuit()
{
    beforeQuit = shownWaters();
    QCOMPARE(beforeQuit.keys(), QStringList({"mix 50/50", "seawater", "water-default"}));
    for (const QStringList &seen : std::as_const(beforeQuit))
        QVERIFY(seen.contains("Converged|yes|"));
    click(workspace(), "pushButton_Save");
    QTRY_VERIFY(!workspace()->unsaved_changes());
    const QJsonObject waters = QJsonDocument::fromJson(fileBytes(file))
                                   .object()["waters"]
                                   .toObject()["allwaters"]
                                   .toObject();
    QCOMPARE(waters.keys(), beforeQuit.keys());

    findAction(workspace(), QStringLiteral("Quit"))->trigger();
    QTRY_VERIFY(!win->isVisible());
    win.reset();
}

void tst_road_x11::restart_openRecent_everythingAsSaved()
{
    win = std::make_unique<MainWindow>();
    win->show();
    QVERIFY(QTest::qWaitForWindowExposed(win.get()));
    win->firstInstall_patch(); // installed already: no question

    QWidget *page = currentPage(win.get());
    QCOMPARE(child<QAbstractButton>(page, "pushButton_Login")->text(), QStringLiteral("Login"));
    type(page, "lineEdit_username", user);
    type(page, "lineEdit_password", password);
    click(page, "pushButton_Login");
    QTRY_COMPARE(currentPage(win.get())->objectName(), QStringLiteral("page_mainWindow"));

    click(win.get(), "pushButton_Speciation");
    simfile *sf = simfilePage(win.get());
    QTRY_COMPARE(currentPage(win.get()), sf);
    QAction *recent = findAction(sf, QFileInfo(file).fileName());
    QVERIFY(recent && recent->isVisible());
    recent->trigger();
    click(sf, "pushButton_Load");
    QTRY_COMPARE(currentPage(win.get()), workspace());
    QVERIFY(!workspace()->unsaved_changes());
    const QMap<QString, QStringList> now = shownWaters();
    QCOMPARE(now.keys(), beforeQuit.keys());
    for (auto it = beforeQuit.begin(); it != beforeQuit.end(); ++it) {
        const QString why = differs(it.value(), now.value(it.key()));
        QVERIFY2(why.isEmpty(), qPrintable(it.key() + QStringLiteral(": ") + why));
    }
}

QTEST_MAIN(tst_road_x11)
#include "tst_road_x11.moc"
