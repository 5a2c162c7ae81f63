// Speciation runs from the workspace: a water entered as a user enters it, the
// refusals that keep an earlier result, two waters side by side, swap reactions
// and the waters of a saved and reopened file.

#include "copy_struct.h"
#include "sbatch.h"
#include "setup.h"
#include "support_setup.h"
#include "test_env.h"
#include "test_press.h"
#include "test_ui.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

namespace {

/// The file's bytes without the header's date of saving, which names the second.
QByteArray withoutSaveDate(QByteArray bytes)
{
    const qsizetype header = bytes.indexOf("\"header\"");
    const qsizetype date = bytes.indexOf("\"date\":", header);
    if (header >= 0 && date >= 0)
        bytes.remove(date, bytes.indexOf('\n', date) - date);
    return bytes;
}

one_water *waterNamed(workspace_fixture &f, const QString &name)
{
    const int k = f.batch->find_idxBatch_water(name);
    return k >= 0 ? f.sd()->waters.at(k) : nullptr;
}

} // namespace

class tst_setup_run : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietDebug(); }
    void j13_enteredAsUserRunsToReference();
    void refusedRuns_keepEarlierResult_data();
    void refusedRuns_keepEarlierResult();
    void failedRun_storedAsNotConverged_data();
    void failedRun_storedAsNotConverged();
    void twoWaters_runOnB_leavesA();
    void swapReaction_survivesReopen_andIsRemoved();
    void defaultWater_calciteForC_runs();
    void reopenedFile_everyWaterRuns_andSavesIdentically();
    void viewResult_opensOneWindow();
    void noWater_runRefused();
    void storedValue_refusedAsItsField_data();
    void storedValue_refusedAsItsField();
};

void tst_setup_run::j13_enteredAsUserRunsToReference()
{
    workspace_fixture f;
    enterJ13(f, scratch("j13.jsdb"));
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    const one_water *w = waterNamed(f, "water-default");
    QVERIFY(w && w->results && w->results->converged);
    QVERIFY(qAbs(w->results->ionicstrength / 0.00351 - 1.0) < 0.01);
    QVERIFY(qAbs(w->results->alkCarb / 0.002135 - 1.0) < 0.02);
    QVERIFY(qAbs(w->pHspcn - 7.41) < 1e-6);
    // Element results carry each element's own ppm, whatever the list order.
    for (const one_waterResult_element *e : w->results->soln_elem) {
        const int k = f.batch->find_idxBatch_element(e->element);
        QVERIFY(k >= 0);
        QCOMPARE(e->cppm, e->cmolal * f.sd()->elements.at(k)->cvtmtoppm);
    }
    QVERIFY(f.messages().contains(">> Speciation completed"));
}

void tst_setup_run::refusedRuns_keepEarlierResult_data()
{
    QTest::addColumn<double>("TC");
    QTest::addColumn<int>("itmax");
    QTest::addColumn<QString>("steps"); // what the user sets beforehand
    QTest::addColumn<QString>("line");
    QTest::newRow("0.5 C") << 0.5 << 31 << ""
                           << "temperature: current value is less than 1 degrees C";
    QTest::newRow("310 C") << 310.0 << 31 << ""
                           << "temperature: current value is greater than 300";
    QTest::newRow("NaN") << std::nan("") << 31 << ""
                         << "temperature: current value [ nan ] refused: not a finite number";
    QTest::newRow("engine refuses") << 25.0 << 0 << ""
                                    << "Speciation refused";
    QTest::newRow("a reaction gone") << 25.0 << 31 << "drop"
                                     << "incomplete system. no. solute: ";
    QTest::newRow("swap and alkalinity")
        << 25.0 << 31 << "swap alkalinity"
        << "C element composition condition cannot uses both swap reaction and alkalinity";
    QTest::newRow("charge balance and alkalinity")
        << 25.0 << 31 << "balance alkalinity"
        << "C is used for both charge balance and alkalinity";
}

void tst_setup_run::refusedRuns_keepEarlierResult()
{
    QFETCH(double, TC);
    QFETCH(int, itmax);
    QFETCH(QString, steps);
    QFETCH(QString, line);
    workspace_fixture f;
    enterJ13(f, scratch("refused.jsdb"));
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    one_water *w = waterNamed(f, "water-default");
    const one_water_result *before = w->results;
    const double pH = w->pHspcn;
    w->TC = TC;
    f.sd()->ctrlset->csolvitmax = itmax;
    if (steps.contains("drop")) // as a file edited by hand may hold it
        f.sd()->rxnsAqueous.removeLast();
    if (steps.contains("swap"))
        QVERIFY(chooseItem(elementCombo(f, "C", 2), "Calcite"));
    if (steps.contains("balance")) {
        showTab(f.w, 2);
        pressIndicator(f.w->findChild<QAbstractButton *>("checkBox_chargeBalance"));
        QVERIFY(chooseItem(f, "comboBox_chargeBalance", "HCO3-"));
        showTab(f.w, 1);
    }
    if (steps.contains("alkalinity")) {
        pressIndicator(f.w->findChild<QAbstractButton *>("checkBox_alkalinity"));
        pressIndicator(f.w->findChild<QAbstractButton *>("radioButton_alkalinityCarb"));
    }
    QCOMPARE(pressRun(f), QStringLiteral("Config ERR"));
    QVERIFY2(f.messages().contains(line), qPrintable(f.messages().right(600)));
    QCOMPARE(w->results, before);
    QCOMPARE(w->pHspcn, pH);
}

void tst_setup_run::failedRun_storedAsNotConverged_data()
{
    // clang-format off
    addTextRows({"cause", "reason"}, {
        {"one iteration", "one iteration", "error : speciation model, no convergence after "},
        // The engine's reason stands before its count, whose figures read as converged.
        {"unmet balance", "unmet balance", "error : the charge balance cannot be met on [ Cl ]: its ions are anions"}});
    // clang-format on
}

void tst_setup_run::failedRun_storedAsNotConverged()
{
    QFETCH(QString, cause);
    QFETCH(QString, reason);
    workspace_fixture f;
    enterJ13(f, scratch("failed.jsdb"));
    if (cause == "one iteration") {
        f.sd()->ctrlset->csolvitmax = 1;
    } else {
        QVERIFY(chooseItem(elementCombo(f, "C", 2), "Calcite"));
        showTab(f.w, 2);
        pressIndicator(f.w->findChild<QAbstractButton *>("checkBox_chargeBalance"));
        QVERIFY(chooseItem(f, "comboBox_chargeBalance", "Cl-"));
        showTab(f.w, 1);
    }
    QCOMPARE(pressRun(f), QStringLiteral("   CVG ERR"));
    const one_water *w = waterNamed(f, "water-default");
    QVERIFY(w->results && !w->results->converged);
    QVERIFY(f.messages().contains(">> #### Failed to converge"));
    // The whole reason can be read, however long, and Run does not move for it.
    const auto *line = f.w->findChild<QLabel *>("label_spcnReason");
    QVERIFY2(reasonRead(line).startsWith(reason), qPrintable(reasonRead(line)));
    QVERIFY(fitsItsRoom(line));
    // A count past the limit says what it holds.
    const int limit = f.sd()->ctrlset->csolvitmax;
    if (w->results->loops > limit)
        QVERIFY(f.messages().contains(QString("the count passes the limit of %1 ").arg(limit)));
}

void tst_setup_run::twoWaters_runOnB_leavesA()
{
    workspace_fixture f;
    enterJ13(f, scratch("two.jsdb"));
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    one_water *a = waterNamed(f, "water-default");
    const one_water_result *resultA = a->results;
    const double ionicA = resultA->ionicstrength;
    QVERIFY(chooseItem(f, "comboBox_concnUnits", "Molar"));
    QTableWidget *solutes = waterTable(f, "tableWidgetWaters_solutes");
    QVERIFY(!tableColumn(solutes, 1).join("").isEmpty());

    const bool unsaved = f.w->unsaved_changes();
    QVERIFY(chooseItem(f, "comboBox_waters", "B"));
    one_water *b = waterNamed(f, "B");
    QCOMPARE(f.sd()->waters.at(f.sd()->currentWater), b);
    QCOMPARE(f.w->unsaved_changes(), unsaved);
    QCOMPARE(f.w->findChild<QLineEdit *>("lineEdit_spcnStat")->text(), QString());
    // B has no result: its result cells stay empty, none invented.
    QCOMPARE(tableColumn(solutes, 1).join(""), QString());
    // B's rows show B's amounts in B's own unit, and an amount typed lands in B.
    QVERIFY(f.w->findChild<QComboBox *>("comboBox_elementUnits")->currentText() == "molal");
    QVERIFY(chooseItem(f, "comboBox_elementUnits", "ppm"));
    QTableWidget *t = waterTable(f, "tableWidgetWaters_elements");
    QVERIFY(typeAmount(t, elementRow(f, "Na"), "10"));
    const int kNa = f.w->find_idxElement_waterComp(f.batch->find_idxBatch_water("B"), "Na");
    QCOMPARE(b->composition.at(kNa)->ppm, 10.0);

    b->TC = 150.0;
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    QVERIFY(b->results && b->results->TC == 150.0);
    // Reactions known at 25 C only are left out at 150 C, and the pane says so.
    QVERIFY(f.w->findChild<QTextEdit *>("textEdit_Messages")
                ->toPlainText()
                .contains("reactions left out at 150 C"));
    QCOMPARE(a->results, resultA);
    QCOMPARE(a->results->ionicstrength, ionicA);
    QCOMPARE(a->TC, 25.0);
}

void tst_setup_run::swapReaction_survivesReopen_andIsRemoved()
{
    const QString path = scratch("swap.jsdb");
    {
        workspace_fixture f;
        enterJ13(f, path);
        QComboBox *caOption = elementCombo(f, "Ca", 2);
        QVERIFY(caOption && caOption->findText("Calcite") > 0 && chooseItem(caOption, "Calcite"));
        // One reaction replaces one condition only.
        QComboBox *cOption = elementCombo(f, "C", 2);
        QVERIFY(cOption->findText("Calcite") > 0 && chooseItem(cOption, "Calcite"));
        QCOMPARE(cOption->currentIndex(), 0);
        QVERIFY(f.messages().contains("for swap option, reaction [ Calcite ] already in use"));
        QCOMPARE(f.save(), 0);
    }
    workspace_fixture f;
    QVERIFY(f.enterOpen(path));
    showWaterPage(f);
    QVERIFY(chooseItem(f, "comboBox_waters", "water-default"));
    QComboBox *caOption = elementCombo(f, "Ca", 2);
    QCOMPARE(caOption->currentText(), QStringLiteral("Calcite"));
    one_water *w = f.sd()->waters.at(f.sd()->currentWater);
    QCOMPARE(w->rxnsConstraint.size(), 1);
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    caOption->setCurrentIndex(0);
    QVERIFY(w->rxnsConstraint.isEmpty());
    QCOMPARE(w->nrxnsConstraint, 0);
    const int kCa = f.w->find_idxElement_waterComp(f.sd()->currentWater, "Ca");
    QCOMPARE(w->composition.at(kCa)->swaprxn, QString());
}

// A new configuration of C and Ca: its default water with calcite fixing C at the
// default pH has a state (at a high ionic strength), and the run finds it.
void tst_setup_run::defaultWater_calciteForC_runs()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("calcite.jsdb")));
    f.addElementDirect("C");
    f.addElementDirect("Ca");
    showWaterPage(f);
    auto *cOption = qobject_cast<QComboBox *>(
        waterTable(f, "tableWidgetWaters_elements")->cellWidget(elementRow(f, "C"), 2));
    QVERIFY(cOption && cOption->findText("Calcite") > 0);
    cOption->setCurrentIndex(cOption->findText("Calcite"));
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    const one_water *w = f.sd()->waters.at(f.sd()->currentWater);
    QVERIFY(w->results && w->results->converged);
}

void tst_setup_run::reopenedFile_everyWaterRuns_andSavesIdentically()
{
    const QString first = scratch("reopen1.jsdb");
    {
        workspace_fixture f;
        enterJ13(f, first);
        QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
        QCOMPARE(f.save(), 0);
    }
    {
        // A water never shown is made ready by the run itself.
        workspace_fixture f;
        QVERIFY(f.enterOpen(first));
        QCOMPARE(f.w->setup_simulation(f.batch->find_idxBatch_water("B")), 0);
    }
    QByteArray saved;
    {
        workspace_fixture f;
        QVERIFY(f.enterOpen(first));
        showWaterPage(f);
        for (const QString &name : {QStringLiteral("water-default"), QStringLiteral("B")}) {
            QVERIFY(chooseItem(f, "comboBox_waters", name));
            QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
        }
        QCOMPARE(f.save(), 0);
        QFile file(first);
        QVERIFY(file.open(QIODevice::ReadOnly));
        saved = file.readAll();
    }
    workspace_fixture f;
    QVERIFY(f.enterOpen(first));
    QCOMPARE(f.save(), 0);
    QFile file(first);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray again = file.readAll();
    QCOMPARE(withoutSaveDate(again), withoutSaveDate(saved));
}

void tst_setup_run::viewResult_opensOneWindow()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("view.jsdb")));
    showWaterPage(f);
    auto *view = f.w->findChild<QPushButton *>("pushButton_viewResult");
    QString text;
    onNextModal([&](QWidget *box) {
        text = static_cast<QMessageBox *>(box)->text();
        static_cast<QMessageBox *>(box)->accept();
    });
    QTest::mouseClick(view, Qt::LeftButton);
    QCOMPARE(text, QStringLiteral("No results are available for review"));
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    // Minerals of an element added after the run: the result cannot judge them.
    showTab(f.w, 0);
    pickElement(f, "ca", "Ca");
    showTab(f.w, 1);
    QTest::mouseClick(view, Qt::LeftButton);
    QTest::mouseClick(view, Qt::LeftButton);
    QList<QWidget *> shown;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->windowTitle() == QStringLiteral("Speciation Result") && top->isVisible())
            shown << top;
    QCOMPARE(shown.size(), 1);
    QTabBar *tabs = shown.first()->findChild<QTabBar *>();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(3).center());
    const auto *minerals = shown.first()->findChild<QTableWidget *>("tableWidget_minerals");
    QVERIFY(minerals->isVisible() && tableColumn(minerals, 2).contains("n/a (run again)"));
}

void tst_setup_run::noWater_runRefused()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("nowater.jsdb")));
    showWaterPage(f);
    f.sd()->currentWater = 7;
    pressRun(f);
    QVERIFY(f.messages().contains("##  speciation: no water is selected"));
    QTest::mouseClick(f.w->findChild<QPushButton *>("pushButton_viewResult"), Qt::LeftButton);
    QVERIFY(f.messages().contains("##  view result: no water is selected"));
}

void tst_setup_run::storedValue_refusedAsItsField_data()
{
    // A file edited by hand holds each value in turn: refused as its field refuses it
    // typed, with its reason. "H": the [H+] amount, or the one behind a pH.
    // clang-format off
    addTextRows({"stored", "typeH", "values", "field", "reasons"}, {
        {"accepted", "densitymass", "pH", "1 54.9", "", "|"},
        {"temperature", "TC", "H", "nan inf 1e999 1e-320 0 -5 301", "temperature", "not a finite number|not a finite number|not a finite number|too small to hold all its digits|less than 1 degrees C|less than 1 degrees C|greater than 300 degrees C"},
        {"density, [H+]", "densitymass", "H", "nan inf 1e999 1e-320 0 -1 60", "water mass density", "not a finite number|not a finite number|not a finite number|too small to hold all its digits|not greater than 0 g/cc|not greater than 0 g/cc|must be less than 55"},
        {"density, pH", "densitymass", "pH", "nan inf 1e999 1e-320 0 -1 60", "water mass density", "not a finite number|not a finite number|not a finite number|too small to hold all its digits|not greater than 0 g/cc|not greater than 0 g/cc|must be less than 55"},
        {"element", "C", "H", "nan inf 1e-320 0 -1", "[ C ]", "not a finite number|not a finite number|too small to hold all its digits|must be greater than 0|must be greater than 0"},
        {"[H+]", "H", "H", "nan inf 1e-320 0 1000", "[ H ]", "not a finite number|not a finite number|too small to hold all its digits|at least 1e-16: [H+] must give a pH from -2 to 16|at most 100: [H+] must give a pH from -2 to 16"},
        {"pH", "H", "pH", "1e-17 1000", "pH", "at most 16|at least -2"},
        {"behind the pH", "H", "pH", "nan inf 1e-320 0", "[ H ]", "not a finite number|not a finite number|too small to hold all its digits|at least 1e-16"},
        {"alkalinity", "alk", "H", "nan inf 1e-320 0 -1", "alkalinity", "not a finite number|not a finite number|too small to hold all its digits|must be greater than zero|must be greater than zero"},
        {"O2(g) fugacity", "O2(g)", "H", "nan inf 1e999 1e-320 0 -1", "[ O2g ]", "not a finite number|not a finite number|not a finite number|too small to hold all its digits|is 0 (an amount must be greater than 0)|is -1 (an amount must be greater than 0)"}});
    // clang-format on
}

void tst_setup_run::storedValue_refusedAsItsField()
{
    QFETCH(QString, stored);
    QFETCH(QString, typeH);
    QFETCH(QString, values);
    QFETCH(QString, field);
    QFETCH(QString, reasons);
    const QString path = scratch("stored.jsdb");
    QByteArray saved;
    {
        // A new water of Fe with its pair (so O2(g)) and C, the value marked.
        workspace_fixture f;
        BoxCatcher boxes;
        QVERIFY(f.enterNew(path, true));
        pickElement(f, "fe", "Fe", true);
        f.addElementDirect("C");
        showWaterPage(f);
        one_water *w = currentWater(f);
        const double mark = 7.77777; // its text in the file becomes each value
        w->typeH = typeH == "pH" ? global::pH : global::H;
        w->alkSet = stored == "alk";
        w->alkmolal = w->alkMolar = w->alkSet ? mark : 0.0;
        w->TC = stored == "TC" ? mark : w->TC;
        w->densitymass = stored == "densitymass" ? mark : w->densitymass;
        for (one_elementComp *e : {entryOf(f, "C"), entryOf(f, "H"), w->redoxO2g})
            if (e->element == stored)
                e->molal = e->Molar = e->ppm = mark;
        QCOMPARE(f.save(), 0);
        saved = savedBytes(path);
    }
    const QStringList texts = values.split(' '), why = reasons.split('|');
    for (qsizetype k = 0; k < texts.size(); ++k) {
        QFile file(path);
        const QByteArray value = '"' + texts.at(k).toUtf8() + '"';
        QVERIFY(file.open(QIODevice::WriteOnly)
                && file.write(QByteArray(saved).replace("\"7.77777\"", value)));
        file.close();
        workspace_fixture f;
        BoxCatcher boxes;
        QVERIFY(f.enterOpen(path));
        showWaterPage(f);
        const QString status = pressRun(f);
        const QRegularExpression told(QRegularExpression::escape(field) + ".*"
                                      + QRegularExpression::escape(why.at(k)));
        QVERIFY2(why.at(k).isEmpty() ? status == "     DONE"
                                     : status != "     DONE" && f.messages().contains(told),
                 qPrintable(texts.at(k) + ": " + status + "\n" + f.messages().right(500)));
    }
}

QTEST_MAIN(tst_setup_run)
#include "tst_setup_run.moc"
