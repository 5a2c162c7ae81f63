// The water set manager: names of copies, the dialog as a user works it from the
// workspace (duplicate and run, rename, add, sort, remove, cancel), its layout,
// and the workspace's Close while it is open.

#include "copy_struct.h"
#include "sbatch.h"
#include "setup.h"
#include "support_setup.h"
#include "test_env.h"
#include "test_layout.h"
#include "test_ui.h"
#include "water_manager.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <memory>

namespace {

QString scratch(const QString &name)
{
    return QDir(vek7TestScratchDir()).filePath(name);
}

template<class T>
T *in(QWidget *dlg, const char *name)
{
    return dlg->findChild<T *>(QLatin1String(name));
}

void press(QWidget *dlg, const char *button)
{
    QTest::mouseClick(in<QPushButton>(dlg, button), Qt::LeftButton);
}

QStringList rows(QWidget *dlg)
{
    return tableColumn(in<QTableWidget>(dlg, "tableWidget_waters"), 0);
}

void clickRow(QWidget *dlg, const QString &name)
{
    auto *t = in<QTableWidget>(dlg, "tableWidget_waters");
    const QTableWidgetItem *item = t->item(int(rows(dlg).indexOf(name)), 0);
    QVERIFY2(item, qPrintable(name));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(item).center());
}

/// Types over the name field; Return pressed when asked.
void typeName(QWidget *dlg, const QString &text, bool enter)
{
    auto *field = in<QLineEdit>(dlg, "lineEdit_waterName");
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
    if (enter)
        QTest::keyClick(field, Qt::Key_Return);
}

/// Presses the workspace's "manage water" and lets `act` work the dialog.
void runManager(workspace_fixture &f, const std::function<void(QWidget *)> &act)
{
    onNextModal(act);
    QTest::mouseClick(f.w->findChild<QPushButton *>("pushButton_waterMgr"), Qt::LeftButton);
}

QStringList watersListed(const workspace_fixture &f)
{
    auto *combo = f.w->findChild<QComboBox *>("comboBox_waters");
    QStringList names;
    for (int i = 0; i < combo->count(); ++i)
        names << combo->itemText(i);
    return names;
}

} // namespace

class tst_water_manager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietDebug(); }
    void duplicate_namesCopy_data();
    void duplicate_namesCopy();
    void duplicate_editCopyAndRun_sourceKept();
    void rename_add_cancel();
    void sortOrRemove_clearsSelection_data();
    void sortOrRemove_clearsSelection();
    void close_withManagerOpen();
    void dialog_laidOut();
};

void tst_water_manager::duplicate_namesCopy_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("copy");
    QTest::newRow("first") << QStringList {"brine"} << 0 << "brine dupl1";
    QTest::newRow("second") << QStringList {"brine", "brine dupl1"} << 0 << "brine dupl2";
    QTest::newRow("of a copy") << QStringList {"brine", "brine dupl1"} << 1 << "brine dupl1 dupl1";
    QTest::newRow("other case") << QStringList {"brine", "BRINE DUPL1"} << 0 << "brine dupl2";
}

void tst_water_manager::duplicate_namesCopy()
{
    QFETCH(QStringList, names);
    QFETCH(int, source);
    QFETCH(QString, copy);
    sbatch b;
    for (const QString &name : names) {
        one_water *w = b.sdata->own(b.simData_init_water());
        w->name = name;
        w->description = "first note";
        w->composition << b.setup_one_elementComp("Ca");
        b.sdata->waters << w;
    }
    // Used without being shown, as the mixing window does.
    water_manager mgr(&b);
    const one_water *src = b.sdata->waters.at(source);
    std::unique_ptr<one_water> dup(mgr.duplicate_water(src));
    QCOMPARE(dup->name, copy);
    QVERIFY(dup->description.startsWith("-----"));
    QVERIFY(dup->description.contains("duplicated from " + src->name + "\nfirst note"));
    QVERIFY(qAbs(dup->date_utc - QDateTime::currentSecsSinceEpoch()) < 60);
    QVERIFY(dup->composition.first() != src->composition.first());
}

void tst_water_manager::duplicate_editCopyAndRun_sourceKept()
{
    workspace_fixture f;
    const QString path = scratch("dupl.jsdb");
    enterJ13(f, path, "J-13");
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    connect(f.w, &setup::signal_setup_save, [&f] { QCOMPARE(f.save(), 0); });
    runManager(f, [](QWidget *dlg) {
        clickRow(dlg, "J-13");
        press(dlg, "pushButton_duplicate");
        QCOMPARE(rows(dlg), QStringList({"J-13", "J-13 dupl1", "B"}));
        press(dlg, "pushButton_save");
    });
    QCOMPARE(watersListed(f), QStringList({"J-13", "J-13 dupl1", "B"}));
    QCOMPARE(countsMismatch(f.sd()), QString());
    QVERIFY(!f.w->unsaved_changes());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().contains("\"J-13 dupl1\""));

    one_water *a = f.sd()->waters.at(0);
    const one_water_result *result = a->results;
    const double pH = a->pHspcn;
    QVERIFY(chooseItem(f, "comboBox_waters", "J-13 dupl1"));
    QVERIFY(typeAmount(waterTable(f, "tableWidgetWaters_elements"), elementRow(f, "Ca"), "20"));
    auto *tc = f.w->findChild<QLineEdit *>("lineEdit_temperature");
    tc->selectAll();
    QTest::keyClicks(tc, "40");
    QTest::keyClick(tc, Qt::Key_Return);
    QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    const one_water *copy = f.sd()->waters.at(1);
    QCOMPARE(copy->results->TC, 40.0);
    QCOMPARE(copy->composition.at(f.w->find_idxElement_waterComp(1, "Ca"))->ppm, 20.0);
    QCOMPARE(a->TC, 25.0);
    QCOMPARE(a->composition.at(f.w->find_idxElement_waterComp(0, "Ca"))->ppm, 13.0);
    QCOMPARE(a->results, result);
    QCOMPARE(a->pHspcn, pH);
}

void tst_water_manager::rename_add_cancel()
{
    workspace_fixture f;
    enterJ13(f, scratch("names.jsdb"), "J-13");
    runManager(f, [](QWidget *dlg) {
        auto *save = in<QPushButton>(dlg, "pushButton_saveName");
        clickRow(dlg, "B");
        for (const char *taken : {"j-13", "J-13 ", "   ", "B"}) {
            typeName(dlg, taken, true);
            QVERIFY2(!save->isEnabled(), taken);
        }
        typeName(dlg, "Brine", false);
        QVERIFY(save->isEnabled());
        QTest::keyClick(in<QLineEdit>(dlg, "lineEdit_waterName"), Qt::Key_Return);
        QVERIFY(!save->isEnabled());
        press(dlg, "pushButton_add");
        press(dlg, "pushButton_add");
        QCOMPARE(rows(dlg), QStringList({"J-13", "Brine", "new water 0", "new water 1"}));
        press(dlg, "pushButton_cancel");
    });
    // The rename stays (the record is shared); the added waters are dropped.
    QCOMPARE(watersListed(f), QStringList({"J-13", "Brine"}));
    QVERIFY(f.messages().contains("##  water manager results not saved."));
    for (const QString &name : watersListed(f)) {
        QVERIFY(chooseItem(f, "comboBox_waters", name));
        QCOMPARE(f.sd()->waters.at(f.sd()->currentWater)->name, name);
        QVERIFY2(!pressRun(f).isEmpty(), qPrintable(name));
    }
}

void tst_water_manager::sortOrRemove_clearsSelection_data()
{
    QTest::addColumn<bool>("sort");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("sort") << true << QStringList {"B", "water-default"};
    QTest::newRow("remove") << false << QStringList {"water-default"};
}

void tst_water_manager::sortOrRemove_clearsSelection()
{
    QFETCH(bool, sort);
    QFETCH(QStringList, after);
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("sort.jsdb"), false, true, [](sim_data *cfg) {
        one_water *b = cfg->own(copy_struct().copy_water(cfg->waters.first()));
        b->name = "B";
        cfg->waters << b;
    }));
    runManager(f, [sort, after](QWidget *dlg) {
        clickRow(dlg, "B");
        typeName(dlg, "C", false);
        if (sort)
            in<QComboBox>(dlg, "comboBox_sort")->setCurrentIndex(1);
        else
            press(dlg, "pushButton_remove");
        QCOMPARE(in<QComboBox>(dlg, "comboBox_sort")->currentIndex(), 0);
        QCOMPARE(in<QLineEdit>(dlg, "lineEdit_waterName")->text(), QString());
        QVERIFY(!in<QLineEdit>(dlg, "lineEdit_waterName")->isEnabled());
        QVERIFY(!in<QPushButton>(dlg, "pushButton_saveName")->isEnabled());
        QCOMPARE(rows(dlg), after);
        if (!sort) { // the last water is never removed
            clickRow(dlg, "water-default");
            press(dlg, "pushButton_remove");
            QCOMPARE(rows(dlg), after);
        }
        press(dlg, "pushButton_cancel");
    });
    QCOMPARE(watersListed(f), QStringList({"water-default", "B"}));
    runManager(f, [](QWidget *dlg) {
        in<QComboBox>(dlg, "comboBox_sort")->setCurrentIndex(1);
        press(dlg, "pushButton_save");
    });
    QCOMPARE(watersListed(f), QStringList({"B", "water-default"}));
}

void tst_water_manager::close_withManagerOpen()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("close.jsdb")));
    QSignalSpy closed(f.w, &setup::signal_setup_close);
    BoxCatcher boxes;
    runManager(f, [&f](QWidget *dlg) {
        press(dlg, "pushButton_add");
        for (QAction *act : f.w->findChildren<QAction *>())
            if (act->text() == "Close")
                act->trigger();
    });
    QCOMPARE(closed.count(), 1);
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(boxes.texts.first().contains("SAVE"));
    QCOMPARE(f.w->findChild<water_manager *>(), nullptr);
    QCOMPARE(watersListed(f), QStringList({"water-default"}));
}

void tst_water_manager::dialog_laidOut()
{
    workspace_fixture f;
    QVERIFY(f.enterNew(scratch("layout.jsdb")));
    SlotWarningGuard guard;
    water_manager dlg(f.batch);
    QVERIFY2(guard.warnings().isEmpty(), qPrintable(guard.warnings().join("\n")));
    dlg.populate_water_manager();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QVERIFY2(cutOffTexts(&dlg).isEmpty(), qPrintable(cutOffTexts(&dlg).join(", ")));
    QVERIFY(dlg.frameGeometry().width() <= 1366 && dlg.frameGeometry().height() <= 768);
    press(&dlg, "pushButton_cancel");
    QVERIFY(!QSettings().value("CTRLSETTINGS/geometry").toByteArray().isEmpty());
}

QTEST_MAIN(tst_water_manager)
#include "tst_water_manager.moc"
