// The results viewer and the export dialog, on seawater speciated by the engine or
// entered through the workspace, and both windows across the main window's Close,
// Open and Load.

#include "app_folder.h"
#include "copy_struct.h"
#include "export_data.h"
#include "global.h"
#include "jsdbfile_mgr.h"
#include "mainwindow.h"
#include "result_calc.h"
#include "sbatch.h"
#include "setup.h"
#include "simfile.h"
#include "support_chemsys.h"
#include "support_results.h"
#include "support_setup.h"
#include "support_shell.h"
#include "test_env.h"
#include "test_layout.h"
#include "test_ui.h"
#include "thermo.h"
#include "viewResult_spcn.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

#include <cmath>

namespace {

template<class T>
T *child(QWidget *w, const char *name)
{
    return w->findChild<T *>(QLatin1String(name));
}

/// The row of table `t` whose column 0 shows `name`, as texts; empty when absent.
QStringList rowOf(QTableWidget *t, const QString &name)
{
    const int r = int(tableColumn(t, 0).indexOf(name));
    QStringList row;
    for (int c = 0; r >= 0 && c < t->columnCount(); ++c)
        row << t->item(r, c)->text();
    return row;
}

/// Types `name` into the export dialog's file field and presses Export.
void exportTo(QWidget *dialog, const QString &name)
{
    child<QLineEdit>(dialog, "lineEdit_file")->setText(name);
    QTest::mouseClick(child<QPushButton>(dialog, "pushButton_export"), Qt::LeftButton);
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// The results viewer shown on screen, or null.
viewResult_spcn *shownViewer()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *v = qobject_cast<viewResult_spcn *>(w); v && v->isVisible())
            return v;
    return nullptr;
}

/// Widths of every column of every table of `w`, in one list.
QList<int> columnWidths(QWidget *w)
{
    QList<int> widths;
    for (const QTableWidget *t : w->findChildren<QTableWidget *>())
        for (int c = 0; c < t->columnCount(); ++c)
            widths << t->columnWidth(c);
    return widths;
}

/// Drags the right edge of column `section` of `t`'s header by `dx` pixels.
void dragColumnEdge(QTableWidget *t, int section, int dx)
{
    QHeaderView *h = t->horizontalHeader();
    const QPoint from(h->sectionViewportPosition(section) + h->sectionSize(section) - 1,
                      h->height() / 2);
    const QPoint to = from + QPoint(dx, 0);
    QTest::mousePress(h->viewport(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, h->viewport()->mapToGlobal(to), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h->viewport(), &move);
    QTest::mouseRelease(h->viewport(), Qt::LeftButton, {}, to);
}

} // namespace

class tst_results : public QObject
{
    Q_OBJECT

    std::unique_ptr<sbatch> sea; ///< seawater at 25 C

private slots:
    void initTestCase()
    {
        quietDebug();
        shellTestIdentity();
        QString msg;
        sea = seawaterBatch(25.0, &msg);
        QVERIFY2(sea, qPrintable(msg));
    }

    void windows_connectEverySlotAndFit()
    {
        SlotWarningGuard guard;
        {
            viewResult_spcn v;
            export_data e;
            v.update_ui_result(sea.get(), 0);
            e.setup_water(sea.get(), 0);
            for (QWidget *w : {static_cast<QWidget *>(&v), static_cast<QWidget *>(&e)}) {
                w->show();
                QVERIFY(w->width() <= 1366 && w->height() <= 740);
                for (QWidget *c : w->findChildren<QWidget *>()) {
                    const bool texted = qobject_cast<QLabel *>(c) || qobject_cast<QPushButton *>(c)
                        || qobject_cast<QCheckBox *>(c);
                    if (texted && c->isVisible())
                        QVERIFY2(c->sizeHint().width() <= c->width(), qPrintable(c->objectName()));
                }
            }
        }
        QVERIFY2(guard.warnings().isEmpty(), qPrintable(guard.warnings().join('\n')));
    }

    void logK_followsTheDataRule_data()
    {
        QTest::addColumn<QList<double>>("temperatures"); // tabulated points
        QTest::addColumn<QList<double>>("values"); // 500 marks a gap
        QTest::addColumn<double>("T");
        QTest::addColumn<double>("evaluatedAt"); // NaN: no log K

        const double none = std::nan("");
        const QList<double> grid {0.01, 25, 60, 100, 150, 200, 250, 300};
        const QList<double> only25 {500, -2, 500, 500, 500, 500, 500, 500};
        const QList<double> to100 {-1, -2, -3, -4, 500, 500, 500, 500};
        QTest::newRow("25 C only, at 60 C") << grid << only25 << 60.0 << 25.0;
        QTest::newRow("25 C only, at 100 C") << grid << only25 << 100.0 << none;
        QTest::newRow("25 C only, at 150 C") << grid << only25 << 150.0 << none;
        QTest::newRow("to 100 C, at 100 C") << grid << to100 << 100.0 << 100.0;
        QTest::newRow("to 100 C, at 150 C") << grid << to100 << 150.0 << none;
        QTest::newRow("no table") << QList<double>() << QList<double>() << 200.0 << 200.0;
    }

    void logK_followsTheDataRule()
    {
        QFETCH(QList<double>, temperatures);
        QFETCH(QList<double>, values);
        QFETCH(double, T);
        QFETCH(double, evaluatedAt);
        one_rxn_eqk k;
        k.coeff = {-2.0, 0.01, -1e-4};
        k.quotient = {0, 1, 2};
        k.temperature = temperatures;
        k.eqkLog10 = values;
        thermo th;
        double logK = 0.0;
        const bool known = result_calc::eqkLog10_at(th, &k, T, &logK);
        QCOMPARE(known, !std::isnan(evaluatedAt));
        if (known)
            QCOMPARE(logK, th.eqklog10(&k, evaluatedAt));
    }

    void seawater_enteredInWorkspace_saturationMatchesReference()
    {
        const QJsonObject ref = chemsys_readCase("swmaj");
        const QJsonObject in = ref.value("inputs").toObject();
        const QJsonObject totals = in.value("element_totals_molal").toObject();
        QVERIFY(!totals.isEmpty());
        workspace_fixture f;
        QVERIFY(f.enterNew(scratch("swmaj.jsdb")));
        QList<QPair<QString, QString>> typed;
        for (auto it = totals.begin(); it != totals.end(); ++it) {
            pickElement(f, it.key(), it.key());
            typed << qMakePair(it.key(), QString::number(it.value().toDouble(), 'g', 9));
        }
        typeWater(f.w, QString::number(in.value("pH_activity").toDouble()), "molal", typed);
        QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
        QTest::mouseClick(child<QPushButton>(f.w, "pushButton_viewResult"), Qt::LeftButton);
        viewResult_spcn *v = shownViewer();
        QVERIFY(v);
        auto *t = child<QTableWidget>(v, "tableWidget_minerals");
        const QJsonObject saturation
            = ref.value("results").toObject().value("saturation").toObject();
        const QStringList majors {"Calcite", "Aragonite", "Dolomite", "Magnesite",
                                  "Gypsum",  "Anhydrite", "Halite"};
        QStringList figures, beyond;
        int compared = 0;
        for (int r = 0; r < t->rowCount(); ++r) {
            const QString name = t->item(r, 0)->text();
            if (!saturation.contains(name))
                continue;
            bool ok = false;
            const double si = t->item(r, 3)->text().toDouble(&ok);
            QVERIFY2(ok, qPrintable(name + ": " + t->item(r, 3)->text()));
            const double d = si - saturation.value(name).toDouble();
            figures << QStringLiteral("%1 %2 (%3)").arg(name).arg(si, 0, 'f', 3).arg(d, 0, 'f', 3);
            ++compared;
            if (std::fabs(d) > (majors.contains(name) ? 0.03 : 0.05))
                beyond << name;
        }
        qInfo().noquote() << "SI, difference from the reference:" << figures.join("; ");
        for (const QString &m : majors)
            QVERIFY2(!rowOf(t, m).isEmpty(), qPrintable(m));
        QVERIFY(compared > majors.size());
        QVERIFY2(beyond.isEmpty(), qPrintable(beyond.join(", ")));
        // a mixing model's water names no minerals: the system's are shown
        viewResult_spcn mixed;
        one_water *w = f.sd()->waters.at(f.sd()->currentWater);
        const QList<one_waterResult_rxn *> names = std::exchange(w->results->solids, {});
        mixed.update_ui_resultMixedWater(f.batch, w);
        w->results->solids = names;
        QCOMPARE(child<QTableWidget>(&mixed, "tableWidget_minerals")->rowCount(),
                 int(f.sd()->rxnsSolid.size()));
    }

    void viewer_logKAtTemperature_data()
    {
        QTest::addColumn<double>("TC");
        QTest::newRow("60 C") << 60.0;
        QTest::newRow("150 C") << 150.0;
    }

    void viewer_logKAtTemperature()
    {
        QFETCH(double, TC);
        QString msg;
        std::unique_ptr<sbatch> b = seawaterBatch(TC, &msg);
        QVERIFY2(b, qPrintable(msg));
        // a mineral tabulated at 25 C only, and one over the whole grid
        const one_rxn *only25 = nullptr, *calcite = nullptr;
        for (const one_rxn *r : std::as_const(b->sdata->rxnsSolid)) {
            const QList<double> &k = r->eqk->eqkLog10;
            if (!only25 && k.count(500.0) == k.size() - 1
                && k.value(r->eqk->temperature.indexOf(25.0)) != 500.0)
                only25 = r;
            if (r->name == "Calcite")
                calcite = r;
        }
        QVERIFY(only25 && calcite);
        viewResult_spcn v;
        v.update_ui_result(b.get(), 0);
        auto *t = child<QTableWidget>(&v, "tableWidget_minerals");
        const int at = int(calcite->eqk->temperature.indexOf(TC));
        QVERIFY(at >= 0);
        QVERIFY(std::fabs(rowOf(t, "Calcite").value(1).toDouble() - calcite->eqk->eqkLog10.at(at))
                < 0.01);
        const QStringList row = rowOf(t, only25->name);
        if (TC < 100.0) {
            const double at25 = only25->eqk->eqkLog10.at(only25->eqk->temperature.indexOf(25.0));
            QVERIFY(std::fabs(row.value(1).toDouble() - at25) < 0.001);
        } else {
            QCOMPARE(row.mid(1, 1), QStringList {"n/a"});
            QCOMPARE(row.mid(3), QStringList({"n/a", "n/a"}));
        }
    }

    void viewer_solutesSortAndUnits()
    {
        viewResult_spcn v;
        v.update_ui_result(sea.get(), 0);
        auto *t = child<QTableWidget>(&v, "tableWidget_solutes");
        auto *unit = child<QComboBox>(&v, "comboBox_unitSolutes");
        auto *sort = child<QComboBox>(&v, "comboBox_sortSolutes");
        const double molal = rowOf(t, "Na+").value(1).toDouble();
        sort->setCurrentIndex(result_calc::order_concentration);
        for (int u = 0; u < 3; ++u) {
            unit->setCurrentIndex(u);
            QCOMPARE(t->horizontalHeaderItem(1)->text(), unit->currentText());
            QCOMPARE(QStringList({t->item(0, 0)->text(), t->item(1, 0)->text()}),
                     QStringList({"Cl-", "Na+"}));
        }
        QVERIFY(std::fabs(rowOf(t, "Na+").value(1).toDouble() / (molal * 22.99 * 1000) - 1) < 1e-4);
        unit->setCurrentIndex(result_calc::unit_Molar);
        QVERIFY(std::fabs(rowOf(t, "Na+").value(1).toDouble() / (molal * 1.02336) - 1) < 1e-5);
        sort->setCurrentIndex(result_calc::order_alphabetical);
        const QStringList names = tableColumn(t, 0);
        for (int i = 1; i < names.size(); ++i)
            QVERIFY(names[i - 1].compare(names[i], Qt::CaseInsensitive) <= 0);
        QVERIFY(!names.contains("H2O"));
        auto *props = child<QTableWidget>(&v, "tableWidget_properties");
        QCOMPARE(rowOf(props, "Conductivity").value(1), QString("not computed"));
        QCOMPARE(rowOf(props, "Dielectric constant").value(1), QString("not computed"));
        QCOMPARE(rowOf(props, "Total dissolved solids").value(2), QString("mg/kg of water"));
    }

    void viewer_columnsWholeAndKeptAsLeft_data()
    {
        QTest::addColumn<QString>("name"); // of the water shown first
        QTest::addColumn<int>("count"); // waters in the list
        QTest::addColumn<QStringList>("beyond"); // tables with columns past their view
        QTest::newRow("short name") << "seawater" << 2 << QStringList();
        QTest::newRow("60-character name") // the list scrolls, the values stay in view
            << "Atlantic seawater sampled at 30 m depth off the Azores, 2019" << 2
            << QStringList {"tableWidget_waters"};
        QTest::newRow("5 waters") << "seawater" << 5 << QStringList();
    }

    void viewer_columnsWholeAndKeptAsLeft()
    {
        QFETCH(QString, name);
        QFETCH(int, count);
        QFETCH(QStringList, beyond);
        QSettings().remove("viewspcn"); // the window at its default size
        QString msg;
        std::unique_ptr<sbatch> b = seawaterBatch(25.0, &msg);
        QVERIFY2(b, qPrintable(msg));
        b->sdata->waters.first()->name = name;
        for (int i = 1; i < count; ++i) {
            one_water *w = b->sdata->own(copy_struct().copy_water(b->sdata->waters.first()));
            w->name = i == 1 ? "seawater, second sample" : QStringLiteral("seawater %1").arg(i + 1);
            b->sdata->waters << w;
        }
        const one_water *second = b->sdata->waters.at(1);
        viewResult_spcn v;
        v.update_ui_result(b.get(), 0);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        const auto hidden = [&v] {
            QStringList cut;
            forEachTabPage(&v, [&v, &cut] {
                for (const QTableWidget *t : v.findChildren<QTableWidget *>())
                    if (t->isVisible() && t->horizontalHeader()->length() > t->viewport()->width())
                        cut << t->objectName();
            });
            cut.removeDuplicates();
            return cut;
        };
        QTRY_COMPARE(hidden(), beyond);
        QCOMPARE(child<QTableWidget>(&v, "tableWidget_properties")->item(0, 1)->toolTip(), name);
        // the same waters given again change no width
        auto *waters = child<QTableWidget>(&v, "tableWidget_waters");
        const QList<int> fitted = columnWidths(&v) << waters->width();
        for (int i = 0; i < 3; ++i)
            v.update_ui_result(b.get(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(columnWidths(&v) << waters->width(), fitted);

        // Widths the user sets stay through another water, sort order, unit and a
        // minimise; the list pane fits again the list given next.
        dragColumnEdge(waters, 0, 30);
        child<QTabWidget>(&v, "tabWidget_result")->setCurrentIndex(1);
        dragColumnEdge(child<QTableWidget>(&v, "tableWidget_solutes"), 0, 40);
        QSplitterHandle *bar = child<QSplitter>(&v, "splitter")->handle(1);
        QTest::mousePress(bar, Qt::LeftButton, {}, bar->rect().center());
        QTest::mouseMove(bar, bar->rect().center() - QPoint(40, 0));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->rect().center());
        const QList<int> left = columnWidths(&v) << waters->width();
        QVERIFY(waters->columnWidth(0) > 30);
        QTest::mouseClick(waters->viewport(), Qt::LeftButton, {},
                          waters->visualItemRect(waters->item(1, 0)).center());
        QCOMPARE(child<QLabel>(&v, "label_water")->text(), "Water: " + second->name);
        for (const char *combo : {"comboBox_sortSolutes", "comboBox_unitSolutes",
                                  "comboBox_sortGases", "comboBox_sortMinerals"})
            child<QComboBox>(&v, combo)->setCurrentIndex(2);
        v.showMinimized();
        v.showNormal();
        QCOMPARE(columnWidths(&v) << waters->width(), left);
        v.update_ui_result(b.get(), 0);
        QTRY_VERIFY(waters->width() > left.last());
    }

    void export_fileBytes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QChar>("delimiter");
        QTest::newRow("csv") << "sea.csv"
                             << "sea.csv" << QChar(',');
        QTest::newRow("txt") << "sea.TXT"
                             << "sea.TXT" << QChar('\t');
        QTest::newRow("other") << "sea.dat"
                               << "sea.dat.csv" << QChar(',');
    }

    void export_fileBytes()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QChar, delimiter);
        // an O2(g) condition, exported from the configuration saved and read back
        one_water *w = sea->sdata->waters.first();
        w->redoxO2g->molal = 0.21;
        w->stag_O2g = true;
        sea->sdata->file = scratch("sea.jsdb");
        jsdbfile_mgr file;
        QCOMPARE(file.jsdbfile_json_save(sea.get()), 0);
        w->stag_O2g = false;
        QVERIFY(file.jsdbfile_json_read(sea->sdata->file) != 2);
        sbatch read;
        std::swap(read.sdata, file.sdata);
        // a reaction whose text holds the delimiters, a quote and a line break
        auto *odd = read.sdata->own(new one_rxn);
        odd->name = "Odd";
        odd->expression = "Odd = A, B\t\"C\"\nD";
        read.sdata->rxnsSolid << odd;
        auto *e = new export_data;
        e->setup_water(&read, 0);
        exportTo(e, scratch(typed));
        QVERIFY(child<QTextEdit>(e, "textEdit_messages")->toPlainText().contains("Exported"));
        e->close();

        const QByteArray bytes = bytesOf(scratch(written));
        QVERIFY(bytes.startsWith("# vek.7 model setup and results\n"));
        const QList<QStringList> rows = parseDelimited(bytes, delimiter);
        QStringList sections;
        for (int i = 0; i < rows.size(); ++i)
            if (rows[i].value(0).startsWith("# ")) {
                sections << rows[i].value(0);
                QVERIFY(i == 0
                        || (i + 1 < rows.size() && rows[i + 1].size() > 1)); // a header follows
            }
        QCOMPARE(
            sections,
            QStringList({"# vek.7 model setup and results", "# setup", "# elements", "# solutes",
                         "# gases", "# reactions", "# water", "# water composition",
                         "# gas conditions", "# result", "# result element totals",
                         "# result solutes", "# result gases", "# mineral saturation"}));
        QVERIFY(rows.contains(QStringList({"Odd", "solid", "n/a", "Odd = A, B\t\"C\"\nD"})));
        QCOMPARE(rows.at(rows.indexOf({"# gas conditions"}) + 2), QStringList({"O2(g)", "0.21"}));
        QVERIFY(rows.contains(QStringList({"temperature", "25", "C"})));
        QVERIFY(rows.contains(QStringList({"program version", global().version_simulator()})));
        // this batch names no database file; the one of a loaded configuration is read below
        QVERIFY(rows.contains(QStringList({"database version", "n/a (no database file)"})));
        const auto na = std::find_if(rows.begin() + rows.indexOf({"# result solutes"}), rows.end(),
                                     [](const QStringList &r) { return r.value(0) == "Na+"; });
        QVERIFY(na != rows.end() && na->size() == 6);
        QCOMPARE(na->at(1), QString::number(na->at(1).toDouble(), 'g', 6));
    }

    // A highly charged ion far down under a small gamma has an activity below every
    // double; the viewer and the export still give its log, not "n/a" or "-inf".
    void tinyActivity_shownByItsLog()
    {
        one_water_result *r = sea->sdata->waters.first()->results;
        auto so4
            = std::find_if(r->soln_aq.begin(), r->soln_aq.end(),
                           [](const one_waterResult_solute *s) { return s->solute == "SO4--"; });
        QVERIFY(so4 != r->soln_aq.end());
        const double keptMolal = (*so4)->cmolal, keptGamma = (*so4)->gamma;
        (*so4)->cmolal = 1e-250;
        (*so4)->gamma = 1e-80;
        viewResult_spcn v;
        v.update_ui_result(sea.get(), 0);
        const QString shown
            = rowOf(child<QTableWidget>(&v, "tableWidget_solutes"), "SO4--").value(3);
        auto *e = new export_data;
        e->setup_water(sea.get(), 0);
        exportTo(e, scratch("tiny.csv"));
        e->close();
        (*so4)->cmolal = keptMolal;
        (*so4)->gamma = keptGamma;
        QCOMPARE(shown, QString("-330.0000"));
        const QList<QStringList> rows = parseDelimited(bytesOf(scratch("tiny.csv")), ',');
        const auto row = std::find_if(rows.begin() + rows.indexOf({"# result solutes"}), rows.end(),
                                      [](const QStringList &x) { return x.value(0) == "SO4--"; });
        QVERIFY(row != rows.end());
        QCOMPARE(row->value(5), QString("-330"));
    }

    void export_failuresWriteNothing()
    {
        auto *e = new export_data;
        e->setup_water(sea.get(), 0);
        auto *messages = child<QTextEdit>(e, "textEdit_messages");
        QFile mine(scratch("mine.csv"));
        QVERIFY(mine.open(QIODevice::WriteOnly) && mine.write("mine") == 4);
        mine.close();
        const QStringList before = QDir(vek7TestScratchDir()).entryList(QDir::Files);

        exportTo(e, scratch("no-such-folder/out.csv"));
        QVERIFY(messages->toPlainText().contains("Export failed, nothing written"));
        QVERIFY(!QFile::exists(scratch("no-such-folder/out.csv")));

        // Browse cancelled keeps the name; Export with no name asks, and a cancel writes nothing.
        child<QLineEdit>(e, "lineEdit_file")->clear();
        int dialogs = 0;
        auto cancel = [&dialogs](QWidget *d) {
            ++dialogs;
            static_cast<QDialog *>(d)->reject();
        };
        onNextModal(cancel);
        QTest::mouseClick(child<QPushButton>(e, "pushButton_browse"), Qt::LeftButton);
        QVERIFY(child<QLineEdit>(e, "lineEdit_file")->text().isEmpty());
        onNextModal(cancel);
        QTest::mouseClick(child<QPushButton>(e, "pushButton_export"), Qt::LeftButton);
        // a typed name of an existing file asks first; No keeps the file
        onNextModal(cancel);
        exportTo(e, scratch("mine"));
        QCOMPARE(bytesOf(scratch("mine.csv")), QByteArray("mine"));
        QCOMPARE(dialogs, 3);
        QVERIFY(messages->toPlainText().contains("Export cancelled: nothing written."));
        QCOMPARE(QDir(vek7TestScratchDir()).entryList(QDir::Files), before);
        e->close();
    }

    void windows_outliveTheirBatch()
    {
        QString msg;
        std::unique_ptr<sbatch> b = seawaterBatch(25.0, &msg);
        QVERIFY2(b, qPrintable(msg));
        one_water *second = b->sdata->own(new one_water);
        second->name = "without result";
        b->sdata->waters << second;
        // a species the result lacks, as after the system changed since the run
        QList<one_waterResult_solute *> &aq = b->sdata->waters.at(0)->results->soln_aq;
        for (int i = 0; i < aq.size(); ++i)
            if (aq.at(i)->solute == "HCO3-")
                delete aq.takeAt(i);
        viewResult_spcn v, noDb;
        v.update_ui_result(b.get(), 0);
        b->sdata->ctrlset->dbaccess = false;
        noDb.update_ui_result(b.get(), 0);
        QPointer<export_data> e = new export_data;
        e->setup_water(b.get(), 1);
        b.reset(); // as Close -> Open -> Load frees the batch

        child<QComboBox>(&v, "comboBox_sortMinerals")->setCurrentIndex(result_calc::mineral_SI);
        child<QComboBox>(&v, "comboBox_unitSolutes")->setCurrentIndex(result_calc::unit_ppm);
        QCOMPARE(child<QTableWidget>(&v, "tableWidget_waters")->rowCount(), 1);
        auto *minerals = child<QTableWidget>(&v, "tableWidget_minerals");
        QVERIFY(minerals->rowCount() > 2);
        QVERIFY(minerals->item(0, 3)->text().toDouble() >= minerals->item(1, 3)->text().toDouble());
        QCOMPARE(rowOf(minerals, "Calcite").mid(2), QStringList(3, "n/a (run again)"));
        QVERIFY(!rowOf(minerals, "Halite").value(3).startsWith("n/a"));
        QCOMPARE(child<QTableWidget>(&noDb, "tableWidget_minerals")->rowCount(), 0);
        QVERIFY(child<QLabel>(&noDb, "label_minerals")->text().startsWith("No mineral reactions"));
        auto *water = child<QComboBox>(e, "comboBox_water");
        QCOMPARE(water->currentText(), QString("without result"));
        water->setCurrentIndex(0);
        exportTo(e, scratch("after-free.csv"));
        const QList<QStringList> rows = parseDelimited(bytesOf(scratch("after-free.csv")), ',');
        QVERIFY(rows.contains(QStringList({"water", "seawater", ""})));
        QVERIFY(std::any_of(rows.begin(), rows.end(),
                            [](const QStringList &r) { return r.value(0) == "Calcite"; }));
        child<QPushButton>(e, "pushButton_close")->click();
        QTRY_VERIFY(e.isNull()); // the dialog deletes itself
    }

    void closeOpenLoad_windowsKeepWhatTheyHold()
    {
        BoxCatcher boxes;
        installedProgram();
        app_folder::set_path(freshFolder("app"));
        const QString docs = freshFolder("road");
        auto win = std::make_unique<MainWindow>();
        win->show();
        pressStart(win.get());
        simfile *sf = simfilePage(win.get());
        setup *su = setupPage(win.get());
        button(win.get(), "pushButton_Speciation")->click();
        for (const QString name : {"other", "brine"}) {
            ModalScript create;
            create.file(docs + "/" + name);
            button(sf, "pushButton_New")->click();
            QVERIFY(waitFor([&] { return create.done(); }));
        }
        button(sf, "pushButton_Load")->click();
        QCOMPARE(currentPage(win.get()), su);
        const QList<QPair<QString, QString>> brine {{"Na", "0.5"}, {"Cl", "0.5"}};
        for (const auto &e : brine)
            pickElement(su, e.first, e.first);
        typeWater(su, "8", "molal", brine);
        QCOMPARE(pressRun(su), QStringLiteral("     DONE"));
        button(su, "pushButton_Save")->click();
        QTest::mouseClick(button(su, "pushButton_viewResult"), Qt::LeftButton);
        QPointer<viewResult_spcn> viewer = shownViewer();
        QVERIFY(viewer);
        const double molal
            = rowOf(child<QTableWidget>(viewer, "tableWidget_solutes"), "Na+").value(1).toDouble();
        QVERIFY(molal > 0.4);
        QAction *entry = findAction(su, "Export Data");
        QVERIFY(entry && entry->isEnabled());
        entry->trigger();
        entry->trigger();
        QList<QPointer<export_data>> dialogs;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<export_data *>(w))
                dialogs << d;
        const QString water = su->retrieve_sbatch()->sdata->waters.at(0)->name;

        button(su, "pushButton_Close")->click();
        QCOMPARE(currentPage(win.get()), sf);
        // Close closes the viewer; until the next Load frees it, it still answers.
        QVERIFY(viewer && !viewer->isVisible());
        auto *unit = child<QComboBox>(viewer, "comboBox_unitSolutes");
        unit->setCurrentIndex(result_calc::unit_ppm);
        const double ppm
            = rowOf(child<QTableWidget>(viewer, "tableWidget_solutes"), "Na+").value(1).toDouble();
        QVERIFY(std::fabs(ppm / (molal * 22.99 * 1000) - 1) < 1e-4);
        ModalScript open;
        open.file(docs + "/other.jsdb");
        button(sf, "pushButton_Open")->click();
        QVERIFY(waitFor([&] { return open.done(); }));
        button(sf, "pushButton_Load")->click(); // frees the batch the windows were opened on
        QCOMPARE(currentPage(win.get()), su);
        // The workspace drops the viewer of the configuration it held; the export
        // dialogs stay open on their own copies.
        QVERIFY(viewer.isNull());
        // The untouched default water of the new configuration exports the pH its cell shows.
        showWaterPage(su);
        QCOMPARE(waterTable(su, "tableWidgetWaters_element_H")->item(0, 1)->text(), QString("7"));
        findAction(su, "Export Data")->trigger();
        export_data *fresh = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<export_data *>(w); d && !dialogs.contains(d))
                fresh = d;
        QVERIFY(fresh);
        exportTo(fresh, scratch("default-water.csv"));
        QVERIFY(parseDelimited(bytesOf(scratch("default-water.csv")), ',')
                    .contains(QStringList({"pH given", "7", ""})));
        fresh->close();

        QCOMPARE(dialogs.size(), 2);
        QCOMPARE(dialogs[0]->windowTitle(), QString("Export Data Manager"));
        QCOMPARE(child<QComboBox>(dialogs[0], "comboBox_water")->currentText(), water);
        exportTo(dialogs[0], scratch("after-load.txt"));
        const QByteArray bytes = bytesOf(scratch("after-load.txt"));
        QVERIFY(bytes.startsWith("# vek.7 model setup and results\n"));
        const QList<QStringList> rows = parseDelimited(bytes, '\t');
        QVERIFY(rows.contains(QStringList({"water", water, ""})));
        QVERIFY(std::any_of(rows.begin(), rows.end(),
                            [](const QStringList &r) { return r.value(0) == "Halite"; }));
        // the version the reference file records in its INFO table
        QVERIFY(rows.contains(QStringList({"database version", "vdb.1.0.1"})));
        for (auto &d : dialogs)
            d->close();
        QTRY_VERIFY(dialogs[0].isNull() && dialogs[1].isNull());
        QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join('\n')));
    }
};

QTEST_MAIN(tst_results)
#include "tst_results.moc"
