// The gas picker driven as a user drives it, on the generated reference
// database: which gases it offers, the search, the data of a clicked gas, the
// O2(g) note, a gas reaction without gas data, Select and Cancel.
#include "setup_add_gas.h"
#include "support_pickers.h"
#include "test_env.h"
#include "test_ui.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTextEdit>
#include <QtTest>

#include <memory>

using namespace pickers_support;

namespace {

struct picker_view
{
    QTableWidget *table;
    QLineEdit *search;
    QLineEdit *gas;
    QLineEdit *molwt;
    QTextEdit *description;
    QPushButton *select;
    QPushButton *cancel;
};

picker_view viewOf(QDialog *d)
{
    return {d->findChild<QTableWidget *>("tableWidget_gases"),
            d->findChild<QLineEdit *>("lineEdit_search"),
            d->findChild<QLineEdit *>("lineEdit_element"),
            d->findChild<QLineEdit *>("lineEdit_molwt"),
            d->findChild<QTextEdit *>("textEdit_description"),
            d->findChild<QPushButton *>("pushButton_select"),
            d->findChild<QPushButton *>("pushButton_cancel")};
}

/// Types `key` into the search field and clicks the row of `name`.
void pick(const picker_view &v, const QString &key, const QString &name)
{
    v.search->clear();
    QTest::keyClicks(v.search, key);
    const int row = rowOf(v.table, name);
    QVERIFY2(row >= 0, qPrintable(name));
    clickCell(v.table, row);
}

} // namespace

class tst_pickers_gas : public QObject
{
    Q_OBJECT

private:
    dbdata *db = nullptr;

    struct opened
    {
        std::unique_ptr<sbatch> batch;
        std::unique_ptr<setup_add_gas> dialog;
        picker_view v;
    };

    opened open(bool redox, const QStringList &gases = QStringList())
    {
        opened o;
        o.batch = makeBatch(db, redox, {"H", "O", "C"}, gases);
        o.dialog = std::make_unique<setup_add_gas>(o.batch.get(), db);
        o.dialog->setWindowTitle("Gases Browser");
        o.v = viewOf(o.dialog.get());
        o.dialog->show();
        if (!QTest::qWaitForWindowExposed(o.dialog.get()))
            qWarning() << "gas picker not exposed";
        return o;
    }

    QStringList gasReactionNames() const
    {
        QStringList out;
        for (const one_rxn *r : db->sdata->rxnsGas)
            out << r->name;
        return out;
    }

private slots:
    void initTestCase()
    {
        db = pickersDatabase();
        QVERIFY(db);
        QVERIFY(db->sdata->rxnsGas.size() > 50);
    }

    void cleanupTestCase() { releasePickersDatabase(); }

    void init() { QSettings().clear(); }

    void form()
    {
        SlotWarningGuard watch;
        opened o = open(false);
        QVERIFY2(watch.warnings().isEmpty(), qPrintable(watch.warnings().join('\n')));
        const picker_view &v = o.v;
        QVERIFY(v.table && v.search && v.gas && v.molwt && v.description && v.select && v.cancel);
        QCOMPARE(o.dialog->findChild<QLabel *>("label_dialog")->text(), QString("Gases List"));
        QCOMPARE(o.dialog->findChild<QLabel *>("label_search")->text(), QString("Search"));
        QCOMPARE(o.dialog->findChild<QLabel *>("label_element")->text(), QString("Gas"));
        QCOMPARE(o.dialog->findChild<QLabel *>("label_description")->text(),
                 QString("Additional Data"));
        QCOMPARE(v.table->horizontalHeaderItem(0)->text(), QString("gases"));
        QCOMPARE(v.cancel->toolTip(), QString("Close this window without \nselecting a gas"));
        QVERIFY(v.description->isReadOnly());
        QVERIFY(!v.select->isEnabled());
        QVERIFY(!v.select->autoDefault() && !v.cancel->autoDefault());
        QVERIFY(!o.dialog->gas_selected());
    }

    void offersOnlyGasesNotInTheBatch_data()
    {
        QTest::addColumn<QStringList>("inBatch");
        QTest::newRow("none") << QStringList();
        QTest::newRow("CO2(g) and O2(g)") << QStringList({"CO2(g)", "O2(g)"});
    }

    void offersOnlyGasesNotInTheBatch()
    {
        QFETCH(QStringList, inBatch);
        opened o = open(false, inBatch);
        QStringList want = gasReactionNames();
        for (const QString &g : inBatch)
            want.removeAll(g);
        QCOMPARE(columnTexts(o.v.table), want);
    }

    void batchGasOfOtherCaseHidesTheReaction()
    {
        // A gas written "co2(G)" in the configuration is the database's CO2(g).
        opened o = open(false);
        auto *renamed = o.batch->sdata->own(new one_gas);
        renamed->name = "co2(G)";
        o.batch->sdata->gases.append(renamed);
        o.batch->sdata->ngases = 1;
        setup_add_gas picker(o.batch.get(), db);
        const QStringList shown = columnTexts(viewOf(&picker).table);
        QVERIFY(!shown.contains("CO2(g)"));
        QCOMPARE(shown.size(), db->sdata->rxnsGas.size() - 1);
    }

    void search_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("lower finds upper") << "co2";
        QTest::newRow("mixed") << "Xe";
        QTest::newRow("upper finds mixed") << "KRYPTON";
        QTest::newRow("no match") << "zzz";
    }

    void search()
    {
        QFETCH(QString, key);
        opened o = open(false, {"O2(g)"});
        QTest::keyClicks(o.v.search, key);
        QStringList want;
        for (const QString &n : gasReactionNames())
            if (n != "O2(g)" && n.contains(key, Qt::CaseInsensitive))
                want << n;
        QCOMPARE(columnTexts(o.v.table), want);
        QCOMPARE(want.isEmpty(), key == "zzz");
        o.v.search->clear();
        QCOMPARE(o.v.table->rowCount(), db->sdata->rxnsGas.size() - 1);
    }

    void clickShowsGasAndSelectReturnsIt()
    {
        auto batch = makeBatch(db, false, {"H", "O", "C"});
        setup_add_gas picker(batch.get(), db);
        const one_gas *co2 = db->sdata->gases.at(db->find_idxDB_gas("CO2(g)"));
        const one_rxn *rxn = db->sdata->rxnsGas.at(db->find_idxDB_rxn("CO2(g)", 6));
        QString name, molwt, description;
        const int result = execAnswered(&picker, [&](QDialog *d) {
            const picker_view v = viewOf(d);
            pick(v, "co2", "CO2(g)");
            name = v.gas->text();
            molwt = v.molwt->text();
            description = v.description->toPlainText();
            QTest::mouseClick(v.select, Qt::LeftButton);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(picker.gas_selected(), co2);
        QCOMPARE(name, QString("CO2(g)"));
        QCOMPARE(molwt, QString::number(co2->mol_wt, 'g', 6));
        QCOMPARE(description,
                 QStringList({"data tag : " + QString::number(co2->tag),
                              "molar volume : " + QString::number(co2->molar_volume, 'g', 6),
                              "fugacity coef. : " + QString::number(co2->fcoeff, 'g', 6), "",
                              rxn->expression})
                     .join('\n'));
        QVERIFY(QSettings().contains("GASES_LIST/geometry"));
    }

    void searchKeepsTheSelection()
    {
        opened o = open(false);
        pick(o.v, "co2", "CO2(g)");
        QTest::keyClicks(o.v.search, "zzz");
        QCOMPARE(o.v.table->rowCount(), 0);
        QVERIFY(o.v.select->isEnabled());
        QCOMPARE(o.v.gas->text(), QString("CO2(g)"));
        QCOMPARE(o.dialog->gas_selected()->name, QString("CO2(g)"));
    }

    void oxygenNote_data()
    {
        QTest::addColumn<bool>("redox");
        QTest::addColumn<QString>("gas");
        QTest::addColumn<bool>("note");
        QTest::newRow("H2(g), redox on") << true << "H2(g)" << true;
        QTest::newRow("H2(g), redox off") << false << "H2(g)" << false;
        QTest::newRow("O2(g) itself") << true << "O2(g)" << false;
        QTest::newRow("CO2(g) holds no O2(g)") << true << "CO2(g)" << false;
    }

    void oxygenNote()
    {
        QFETCH(bool, redox);
        QFETCH(QString, gas);
        QFETCH(bool, note);
        opened o = open(redox);
        pick(o.v, gas, gas);
        const QString text = o.v.description->toPlainText();
        QCOMPARE(text.contains("note O2(g) in reaction:"), note);
        if (note) {
            // The note alone is red; the reaction below it is in the usual colour.
            const QString html = o.v.description->toHtml();
            QVERIFY(html.contains("color:#ff0000;\">note O2(g) in reaction:"));
            QVERIFY(text.endsWith("note O2(g) in reaction:\n"
                                  + db->sdata->rxnsGas.at(db->find_idxDB_rxn(gas, 6))->expression));
            QCOMPARE(html.count("#ff0000"), 1);
        }
    }

    void gasWithoutDataKeepsTheEarlierChoice()
    {
        // Take H2(g)'s gas record out of the image for this test only.
        QList<one_gas *> &gases = db->sdata->gases;
        const int idx = db->find_idxDB_gas("H2(g)");
        QVERIFY(idx >= 0);
        one_gas *h2 = gases.takeAt(idx);
        opened o = open(false);
        pick(o.v, "co2", "CO2(g)");
        const QString before = o.v.description->toPlainText();
        pick(o.v, "h2", "H2(g)");
        gases.insert(idx, h2);

        QCOMPARE(o.v.description->toPlainText(),
                 before + "\n## ERROR: gas data for gas rxn [ H2(g) ] not found.");
        QCOMPARE(o.v.gas->text(), QString("CO2(g)"));
        QVERIFY(o.v.select->isEnabled());
        QTest::mouseClick(o.v.select, Qt::LeftButton);
        QCOMPARE(o.dialog->result(), int(QDialog::Accepted));
        QCOMPARE(o.dialog->gas_selected()->name, QString("CO2(g)"));
    }

    void gasWithoutDataFirstLeavesSelectOff()
    {
        QList<one_gas *> &gases = db->sdata->gases;
        const int idx = db->find_idxDB_gas("H2(g)");
        one_gas *h2 = gases.takeAt(idx);
        opened o = open(false);
        pick(o.v, "h2", "H2(g)");
        gases.insert(idx, h2);
        QVERIFY(!o.v.select->isEnabled());
        QVERIFY(!o.dialog->gas_selected());
        QVERIFY(o.v.gas->text().isEmpty());
    }

    void nothingToOffer()
    {
        QStringList all;
        for (const one_gas *g : db->sdata->gases)
            all << g->name;
        auto batch = makeBatch(db, false, {"H", "O"}, all);
        setup_add_gas picker(batch.get(), db);
        const int result = execAnswered(&picker, [](QDialog *d) {
            const picker_view v = viewOf(d);
            if (v.table->rowCount() == 0 && !v.select->isEnabled())
                QTest::mouseClick(v.cancel, Qt::LeftButton);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(!picker.gas_selected());
        QVERIFY(QSettings().contains("GASES_LIST/geometry"));
    }

    void geometryKeptOnlyThroughTheButtons()
    {
        {
            opened o = open(false);
            o.dialog->setGeometry(130, 150, 500, 560);
            o.dialog->close();
        }
        QVERIFY(QSettings().allKeys().isEmpty());
        {
            opened o = open(false);
            o.dialog->setGeometry(130, 150, 500, 560);
            QTest::mouseClick(o.v.cancel, Qt::LeftButton);
        }
        opened again = open(false);
        QCOMPARE(again.dialog->size(), QSize(500, 560));
    }
};

QTEST_MAIN(tst_pickers_gas)
#include "tst_pickers_gas.moc"
