// The water set manager as a user works it from the workspace: the amounts and pH a
// new water holds, as shown, and as saved; names refused with a reason and the list
// left as it was until a rename is accepted.

#include "copy_struct.h"
#include "sbatch.h"
#include "setup.h"
#include "support_setup.h"
#include "test_env.h"
#include "test_ui.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

template<class T>
T *in(const QObject *o, const char *name)
{
    return o->findChild<T *>(QLatin1String(name));
}

void press(QWidget *w, const char *button)
{
    QTest::mouseClick(in<QPushButton>(w, button), Qt::LeftButton);
}

/// Clicks the row of the manager's list that shows `name`.
void clickWater(QWidget *dlg, const QString &name)
{
    auto *t = in<QTableWidget>(dlg, "tableWidget_waters");
    const QTableWidgetItem *item = t->item(int(tableColumn(t, 0).indexOf(name)), 0);
    QVERIFY2(item, qPrintable(name));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(item).center());
}

/// The value the properties table shows beside `key`.
QString shownProperty(QWidget *dlg, const QString &key)
{
    auto *t = in<QTableWidget>(dlg, "tableWidget_waterData");
    const int row = int(tableColumn(t, 0).indexOf(key));
    return row >= 0 ? t->item(row, 1)->text() : QString();
}

/// Opens the manager with "manage water" and lets `act` work it.
void withManager(workspace_fixture &f, const std::function<void(QWidget *)> &act)
{
    onNextModal(act);
    press(f.w, "pushButton_waterMgr");
}

/// A new configuration holding Ca with the waters `names` (the first the default
/// water renamed, the others copies of it); every save writes the file.
void enterWaters(workspace_fixture &f, const QString &file, const QStringList &names)
{
    QVERIFY(
        f.enterNew(QDir(vek7TestScratchDir()).filePath(file), false, true, [&names](sim_data *cfg) {
            for (int i = 1; i < names.size(); ++i)
                cfg->waters << cfg->own(copy_struct().copy_water(cfg->waters.first()));
            for (int i = 0; i < names.size(); ++i)
                cfg->waters.at(i)->name = names.at(i);
            cfg->nwaters = int(names.size());
        }));
    f.addElementDirect("Ca");
    showWaterPage(f);
    QObject::connect(f.w, &setup::signal_setup_save, [&f] { QCOMPARE(f.save(), 0); });
}

/// The composition entry of `element` in water `water` of the configuration file.
QJsonObject savedEntry(const QString &path, const QString &water, const QString &element)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    for (const QJsonValue e : doc["waters"]["allwaters"][water]["composition"].toArray())
        if (e["element"].toString() == element)
            return e.toObject();
    return {};
}

} // namespace

class tst_water_manager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietDebug(); }

    void newWater_amountsFollowMolal_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("made");
        QTest::newRow("Add") << "pushButton_add"
                             << "new water 0";
        // The source holds 1e-4 molal Ca with the 1 ppm a file saved by the fault carries.
        QTest::newRow("Duplicate") << "pushButton_duplicate"
                                   << "J-13 dupl1";
    }

    void newWater_amountsFollowMolal()
    {
        QFETCH(QString, button);
        QFETCH(QString, made);
        workspace_fixture f;
        enterWaters(f, "new.jsdb", {"J-13"});
        one_elementComp *ca
            = f.sd()->waters.first()->composition.at(f.w->find_idxElement_waterComp(0, "Ca"));
        QCOMPARE(ca->molal, 1e-4);
        ca->ppm = 1.0;
        QString pH;
        withManager(f, [&](QWidget *dlg) {
            clickWater(dlg, "J-13");
            press(dlg, qPrintable(button));
            pH = shownProperty(dlg, "water pH");
            press(dlg, "pushButton_save");
        });
        QVERIFY(chooseItem(f, "comboBox_waters", made));
        QVERIFY(chooseItem(f, "comboBox_elementUnits", "ppm"));
        const double ppm
            = amountShown(waterTable(f, "tableWidgetWaters_elements"), elementRow(f, "Ca"));
        QVERIFY2(qAbs(ppm - 4.0078) < 1e-9, qPrintable(QString::number(ppm, 'g', 12)));
        // The file writes numbers as texts.
        const QJsonObject saved = savedEntry(f.sd()->file, made, "Ca");
        const auto stored = [&saved](const char *key) { return saved[key].toString().toDouble(); };
        QCOMPARE(stored("molal"), 1e-4);
        QVERIFY2(qAbs(stored("ppm") - 4.0078) < 1e-9, qPrintable(saved["ppm"].toString()));
        QVERIFY(qAbs(stored("Molar") - 1e-4) < 1e-16);
        QCOMPARE(pH, QString("7")); // what its hydrogen amount (1e-7) gives
    }

    void rename_listChangesOnlyWhenAccepted_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("reason"); // empty: accepted
        QTest::newRow("other case of a name") << "j-13"
                                              << "Water [ J-13 ] has this name already";
        QTest::newRow("blank") << "   "
                               << "A water needs a name.";
        QTest::newRow("free") << "Brine" << QString();
    }

    void rename_listChangesOnlyWhenAccepted()
    {
        QFETCH(QString, typed);
        QFETCH(QString, reason);
        workspace_fixture f;
        enterWaters(f, "rename.jsdb", {"J-13", "B"});
        // What the user sees, taken while the dialog is open and compared once it is closed.
        QStringList whileTyped, afterReturn;
        QString shownReason, header;
        bool saveEnabled = false;
        withManager(f, [&](QWidget *dlg) {
            auto *list = in<QTableWidget>(dlg, "tableWidget_waters");
            auto *name = in<QLineEdit>(dlg, "lineEdit_waterName");
            auto *why = in<QLabel>(dlg, "label_nameRefused");
            clickWater(dlg, "B");
            name->selectAll();
            QTest::keyClicks(name, typed);
            whileTyped = tableColumn(list, 0);
            saveEnabled = in<QPushButton>(dlg, "pushButton_saveName")->isEnabled();
            shownReason = why && why->isVisible() ? why->text() : QString();
            QTest::keyClick(name, Qt::Key_Return);
            afterReturn = tableColumn(list, 0);
            header = shownProperty(dlg, "General Info");
            press(dlg, "pushButton_cancel");
        });
        QCOMPARE(whileTyped, QStringList({"J-13", "B"}));
        QCOMPARE(saveEnabled, reason.isEmpty());
        QVERIFY2(reason.isEmpty() ? shownReason.isEmpty()
                                  : !shownReason.isEmpty() && shownReason.startsWith(reason),
                 qPrintable("shown: " + shownReason));
        const QString now = reason.isEmpty() ? typed : QStringLiteral("B");
        QCOMPARE(afterReturn, QStringList({"J-13", now}));
        QCOMPARE(header, now);
    }
};

QTEST_MAIN(tst_water_manager)
#include "tst_water_manager.moc"
