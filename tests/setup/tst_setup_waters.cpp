// The water composition pages: the rows built for a water, the amounts shown in
// each unit, the validated amount editor and the refusal of anything but a finite
// number, waters of one name in two letter cases, and the charge-balance check.

#include "copy_struct.h"
#include "sbatch.h"
#include "setup.h"
#include "support_setup.h"
#include "test_env.h"
#include "test_press.h"
#include "waterComp_subs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleValidator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

#include <cmath>

namespace {

double ppmFactor(workspace_fixture &f, const QString &element)
{
    return f.sd()->elements.at(f.batch->find_idxBatch_element(element))->cvtmtoppm;
}

} // namespace

class tst_setup_waters : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietDebug(); }
    void elementRows_sortedWithoutH();
    void unitsCycled_showStoredAmounts_changeNothing();
    void typedValues_onlyFiniteNumbers_data();
    void typedValues_onlyFiniteNumbers();
    void watersNamedInTwoCases_bothKept();
    void chargeBalanceCheck_readsWaterChoice_data();
    void chargeBalanceCheck_readsWaterChoice();
    void substituteDialog_headingsAndButtons();
    void hydrogenInPpm_shownWithoutErrorLine();
    void deletedElement_clearsConditionsNeedingIt_data();
    void deletedElement_clearsConditionsNeedingIt();
    void conditionFromFile_namedByCheck_data();
    void conditionFromFile_namedByCheck();
    void reopen_cleanStatus_savedUnitAndMarker();
    void reopen_paneShowsNewestLine();
};

void tst_setup_waters::elementRows_sortedWithoutH()
{
    workspace_fixture f;
    enterFour(f, "rows.jsdb");
    QTableWidget *t = waterTable(f, "tableWidgetWaters_elements");
    QCOMPARE(tableColumn(t, 3), QStringList({"C", "Ca", "Cl", "Na", "O"}));
    // Oxygen's amount is fixed and it has no options.
    QVERIFY(!typeAmount(t, elementRow(f, "O"), "5"));
    QCOMPARE(elementCombo(f, "O", 2)->count(), 0);
    // A new entry's amounts all follow from its molality.
    const one_elementComp *na = entryOf(f, "Na");
    QCOMPARE(na->Molar, na->molal * 1.1);
    QCOMPARE(na->ppm, na->molal * ppmFactor(f, "Na"));
    QCOMPARE(f.w->find_idxElement_waterComp(f.sd()->currentWater, QString()), -9);
}

void tst_setup_waters::unitsCycled_showStoredAmounts_changeNothing()
{
    workspace_fixture f;
    enterFour(f, "units.jsdb");
    QTableWidget *t = waterTable(f, "tableWidgetWaters_elements");
    QTableWidget *th = waterTable(f, "tableWidgetWaters_element_H");
    QVERIFY(chooseItem(f, "comboBox_elementUnits", "molal"));
    QVERIFY(typeAmount(th, 0, "7"));
    const one_elementComp *h = entryOf(f, "H");
    QCOMPARE(h->Molar, 1e-7);
    QCOMPARE(h->molal, 1e-7 / 1.1);
    QCOMPARE(f.sd()->waters.first()->pHcomp, 7.0);

    QVERIFY(chooseItem(f, "comboBox_elementUnits", "ppm"));
    QVERIFY(!th->isEnabled());
    QVERIFY(typeAmount(t, elementRow(f, "Na"), "45.8"));
    const one_elementComp *na = entryOf(f, "Na");
    QCOMPARE(na->ppm, 45.8);
    QCOMPARE(na->molal, 45.8 / ppmFactor(f, "Na"));
    QCOMPARE(na->Molar, na->molal * 1.1);

    const double stored[] = {na->molal, na->Molar, na->ppm, h->molal, h->Molar};
    for (const char *unit : {"molal", "Molar", "ppm", "molal"}) {
        QVERIFY(chooseItem(f, "comboBox_elementUnits", unit));
        const double expected = QString(unit) == "molal" ? na->molal
            : QString(unit) == "Molar"                   ? na->Molar
                                                         : na->ppm;
        QCOMPARE(amountShown(t, elementRow(f, "Na")), expected);
    }
    const double after[] = {na->molal, na->Molar, na->ppm, h->molal, h->Molar};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(after[i], stored[i]);
    // pH shown as pH whatever the unit.
    QCOMPARE(amountShown(th, 0), 7.0);
}

void tst_setup_waters::typedValues_onlyFiniteNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("throughEditor");
    for (const char *text : {"nan", "inf", "1e309", "abc", "0,5"}) {
        QTest::newRow(text) << QString(text) << false;
        QTest::newRow(qPrintable(QString(text) + " typed")) << QString(text) << true;
    }
}

void tst_setup_waters::typedValues_onlyFiniteNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, throughEditor);
    workspace_fixture f;
    enterFour(f, "finite.jsdb");
    QTableWidget *t = waterTable(f, "tableWidgetWaters_elements");
    QTableWidget *th = waterTable(f, "tableWidgetWaters_element_H");
    QVERIFY(chooseItem(f, "comboBox_elementUnits", "molal"));
    QVERIFY(typeAmount(t, elementRow(f, "Ca"), "0.002"));
    QVERIFY(typeAmount(th, 0, "7.5"));
    const one_elementComp *ca = entryOf(f, "Ca");
    const one_elementComp *h = entryOf(f, "H");
    const double before[] = {ca->molal, ca->Molar, ca->ppm, h->molal, h->Molar};
    for (QTableWidget *table : {t, th}) {
        const int row = table == t ? elementRow(f, "Ca") : 0;
        if (throughEditor)
            QVERIFY(typeAmount(table, row, text));
        else
            table->item(row, 1)->setText(text);
        // The cell shows the stored value again, as a double the editor serves.
        QCOMPARE(table->item(row, 1)->data(Qt::EditRole).typeId(), int(QMetaType::Double));
    }
    const double after[] = {ca->molal, ca->Molar, ca->ppm, h->molal, h->Molar};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(after[i], before[i]);
    QCOMPARE(amountShown(t, elementRow(f, "Ca")), 0.002);
    QCOMPARE(amountShown(th, 0), 7.5);
}

void tst_setup_waters::watersNamedInTwoCases_bothKept()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("cases.jsdb"), false, true, [](sim_data *cfg) {
        copy_struct cpy;
        one_water *twin = cfg->own(cpy.copy_water(cfg->waters.first()));
        twin->name = QStringLiteral("WATER-DEFAULT");
        cfg->waters.append(twin);
    }));
    QCOMPARE(f.sd()->waters.size(), 2);
    QCOMPARE(f.sd()->waters.at(1)->name, QStringLiteral("WATER-DEFAULT (2)"));
    QVERIFY(f.messages().contains("renamed [ WATER-DEFAULT (2) ]"));
}

void tst_setup_waters::chargeBalanceCheck_readsWaterChoice_data()
{
    QTest::addColumn<QString>("solute");
    QTest::addColumn<bool>("refused");
    QTest::newRow("chosen") << "Na+" << false;
    QTest::newRow("none chosen") << "" << true;
    QTest::newRow("not in system") << "Mg++" << true;
}

void tst_setup_waters::chargeBalanceCheck_readsWaterChoice()
{
    QFETCH(QString, solute);
    QFETCH(bool, refused);
    workspace_fixture f;
    enterFour(f, "charge.jsdb");
    one_water *w = f.sd()->waters.first();
    w->chargebalance = true;
    w->chargebalanceSolute = solute;
    w->chargebalanceElem = QStringLiteral("Na");
    f.w->check_dataConsistency(0);
    QCOMPARE(f.messages().contains("charge balance: solute has not been selected"), refused);
}

void tst_setup_waters::substituteDialog_headingsAndButtons()
{
    waterComp_subs d;
    auto *type = d.findChild<QLabel *>("label_type");
    d.compOption_setup(1, "Ca", nullptr, nullptr);
    QCOMPARE(type->text(), QStringLiteral("reaction for Ca"));
    d.compOption_setup(2, "Ca", nullptr, nullptr);
    QCOMPARE(type->text(), QStringLiteral("gas for Ca"));
    d.setup_table_swapO2g();
    QCOMPARE(type->text(), QStringLiteral("reaction for Ca"));
    QCOMPARE(d.retrieve_rxnSwap(), 10);
    QCOMPARE(d.retrieve_gasSwap(), 5);
    for (const char *button : {"pushButton_Save", "pushButton_Cancel"}) {
        d.show();
        QTest::mouseClick(d.findChild<QPushButton *>(button), Qt::LeftButton);
        QCOMPARE(d.result(),
                 QString(button) == "pushButton_Save" ? int(QDialog::Accepted)
                                                      : int(QDialog::Rejected));
    }
}

void tst_setup_waters::hydrogenInPpm_shownWithoutErrorLine()
{
    workspace_fixture f;
    enterFour(f, "h-ppm.jsdb");
    QTableWidget *th = waterTable(f, "tableWidgetWaters_element_H");
    QVERIFY(chooseItem(f, "comboBox_elementUnits", "molal"));
    qobject_cast<QComboBox *>(th->cellWidget(0, 0))->setCurrentIndex(0); // [H+]
    QVERIFY(typeAmount(th, 0, "2e-7"));
    QVERIFY(chooseItem(f, "comboBox_elementUnits", "ppm"));
    showWaterPage(f); // rebuilt, as on every return to the tab
    QCOMPARE(amountShown(th, 0), 2e-7 * ppmFactor(f, "H"));
    QVERIFY2(!f.messages().contains("unknown elemental composition"), qPrintable(f.messages()));
}

void tst_setup_waters::deletedElement_clearsConditionsNeedingIt_data()
{
    QTest::addColumn<int>("column"); // of C's row; -1 the charge-balance list
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cleared");
    QTest::newRow("swap of C") << 2 << "Calcite"
                               << "C: swap reaction [ Calcite ] cleared";
    QTest::newRow("species of C") << 0 << "CaHCO3+"
                                  << "C: species [ CaHCO3+ ] cleared";
    QTest::newRow("charge balance") << -1 << "Ca++"
                                    << "Ca: charge balance on [ Ca++ ] cleared";
}

void tst_setup_waters::deletedElement_clearsConditionsNeedingIt()
{
    QFETCH(int, column);
    QFETCH(QString, name);
    QFETCH(QString, cleared);
    workspace_fixture f;
    const QString path = scratch(QString("del-%1.jsdb").arg(column));
    QVERIFY(f.enterNew(path));
    f.addElementDirect("C");
    f.addElementDirect("Ca");
    showWaterPage(f);
    auto *combo = column >= 0 ? elementCombo(f, "C", column)
                              : f.w->findChild<QComboBox *>("comboBox_chargeBalance");
    if (column < 0)
        pressIndicator(f.w->findChild<QCheckBox *>("checkBox_chargeBalance"));
    QVERIFY(combo->findText(name) > 0 && chooseItem(combo, name));

    QVERIFY(f.clickDeleteElement("Ca"));
    QVERIFY2(f.messages().contains("##  water [ water-default ] element " + cleared)
                 && f.messages().contains("(unsaved)"),
             qPrintable(f.messages()));
    showWaterPage(f);
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    QCOMPARE(f.save(), 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly) && !file.readAll().contains(name.toUtf8()));
}

void tst_setup_waters::conditionFromFile_namedByCheck_data()
{
    QTest::addColumn<QString>("mineral");
    QTest::addColumn<QString>("named");
    QTest::newRow("calcite, no calcium") << "Calcite"
                                         << "swap reaction [ Calcite ] of [ C ] needs Ca++";
    QTest::newRow("not in the database") << "Unobtainite"
                                         << "##  swap reaction [ Unobtainite ] not in database.";
}

void tst_setup_waters::conditionFromFile_namedByCheck()
{
    QFETCH(QString, mineral);
    QFETCH(QString, named);
    // A configuration whose water asks C to follow a mineral the system cannot serve.
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("calcite-file.jsdb"), false, true, [&mineral](sim_data *cfg) {
        one_elementComp *c = sbatch().setup_one_elementComp("C");
        c->swaprxn = mineral;
        cfg->waters.first()->composition << c;
    }));
    f.addElementDirect("C");
    showWaterPage(f);
    // The row shows what the water holds, so the user can choose something else.
    QComboBox *option = elementCombo(f, "C", 2);
    QCOMPARE(option->currentText(), mineral);
    QVERIFY(pickItem(option, " swap options") && pickItem(option, mineral));
    QCOMPARE(pressRun(f), QString("Config ERR"));
    QVERIFY2(f.messages().contains(named), qPrintable(f.messages()));
    option->setCurrentIndex(0);
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
}

void tst_setup_waters::reopen_cleanStatus_savedUnitAndMarker()
{
    workspace_fixture f;
    enterFour(f, "reopen.jsdb");
    QTableWidget *t = waterTable(f, "tableWidgetWaters_elements");
    QVERIFY(chooseItem(f, "comboBox_elementUnits", "ppm"));
    QVERIFY(typeAmount(t, elementRow(f, "Cl"), "7.14"));
    pressIndicator(f.w->findChild<QCheckBox *>("checkBox_chargeBalance"));
    QVERIFY(chooseItem(f, "comboBox_chargeBalance", "Cl-"));
    QVERIFY(chooseItem(elementCombo(f, "Cl", 2), "Halite"));
    QCOMPARE(pressRun(f), QString("Config ERR"));
    QCOMPARE(f.save(), 0);

    QVERIFY(f.enterAgain(scratch("reopen.jsdb"), true));
    showWaterPage(f);
    auto *status = f.w->findChild<QLineEdit *>("lineEdit_spcnStat");
    QVERIFY(status->text().isEmpty() && status->styleSheet() == "background-color: #bbb;");
    QVERIFY(f.w->findChild<QLabel *>("label_spcnReason")->text().isEmpty());
    QVERIFY2(!f.messages().contains("ERROR"), qPrintable(f.messages()));
    QCOMPARE(f.w->findChild<QComboBox *>("comboBox_elementUnits")->currentText(), QString("ppm"));
    QCOMPARE(amountShown(t, elementRow(f, "Cl")), 7.14);
    QCOMPARE(t->item(elementRow(f, "Cl"), 1)->foreground().color(), QColor(Qt::red));
    QCOMPARE(t->item(elementRow(f, "Na"), 1)->foreground().color(), QColor(Qt::black));
}

void tst_setup_waters::reopen_paneShowsNewestLine()
{
    // A configuration with a file's worth of lines, built while the page is away.
    workspace_fixture f;
    f.w->resize(1000, 1000);
    QVERIFY(f.enterNew(scratch("pane.jsdb"), false, true, [](sim_data *cfg) {
        for (int i = 0; i < 30; ++i) {
            one_water *twin = cfg->own(copy_struct().copy_water(cfg->waters.first()));
            twin->name = QStringLiteral("WATER-default");
            cfg->waters.append(twin);
        }
    }));
    f.w->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.w));
    QScrollBar *bar = f.w->findChild<QTextEdit *>("textEdit_Messages")->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0 && bar->value() == bar->maximum());
    f.w->resize(1000, 700);
    QTRY_COMPARE(bar->value(), bar->maximum());
}

QTEST_MAIN(tst_setup_waters)
#include "tst_setup_waters.moc"
