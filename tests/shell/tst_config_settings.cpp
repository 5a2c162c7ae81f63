// The control-parameters dialog driven as a user drives it: values shown,
// refused input marked, Cancel and Save on the caller's control set.
#include "config_settings.h"
#include "records.h"
#include "support_login_helpers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QtTest>

namespace {
one_ctrlset defaults()
{
    one_ctrlset c;
    c.dbaccess = true;
    c.csolvitmax = 31;
    c.csolvcvg = 1e-6;
    c.csolvcmax = 35.0;
    c.csolvcmin = 1e-36;
    c.TCmax = 350.0;
    c.TCmin = 0.1;
    return c;
}

void retype(QLineEdit *field, const QString &text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}
} // namespace

class tst_config_settings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { loginTestIdentity(); }
    void init() { QSettings().clear(); }

    void showsTheRecordWithoutConnectionWarnings()
    {
        QTest::failOnWarning(QRegularExpression("No matching signal"));
        one_ctrlset ctrl = defaults();
        config_settings dlg;
        dlg.settingsSpcn_numerical(&ctrl);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QString("Dialog"));
        QCOMPARE(loginChild<QLabel>(&dlg, "label_properties")->text(),
                 QString("Speciation numerical methods and iteration parameters"));
        QCOMPARE(loginChild<QStackedWidget>(&dlg, "stackedWidget")->currentIndex(), 1);
        const char *fields[] = {"lineEditSpcn_iterationLimit", "lineEditSpcn_convergenceLimit",
                                "lineEditSpcn_concnHigh", "lineEditSpcn_concnLow"};
        const QStringList shown = {"31", "1e-06", "35", "1e-36"};
        for (int i = 0; i < 4; ++i) {
            QLineEdit *f = loginChild<QLineEdit>(&dlg, fields[i]);
            QCOMPARE(f->text(), shown[i]);
            QCOMPARE(f->alignment(), Qt::AlignCenter);
            QVERIFY(f->styleSheet().isEmpty());
        }
        QVERIFY(loginChild<QPushButton>(&dlg, "pushButton_save")->isEnabled());
    }

    void refusedInputIsMarkedAndBlocksSave_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        for (const char *f : {"lineEditSpcn_convergenceLimit", "lineEditSpcn_concnHigh",
                              "lineEditSpcn_concnLow", "lineEditSpcn_iterationLimit"}) {
            for (const char *t : {"inf", "1e999", "nan", "abc", "", "0", "-2"})
                QTest::addRow("%s %s", f, t) << QString(f) << QString(t);
        }
        for (const char *t : {"10001", "2147483648", "2.5", "1e3"})
            QTest::addRow("iteration %s", t) << "lineEditSpcn_iterationLimit" << QString(t);
    }
    void refusedInputIsMarkedAndBlocksSave()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        one_ctrlset ctrl = defaults();
        config_settings dlg;
        dlg.settingsSpcn_numerical(&ctrl);
        dlg.show();
        QLineEdit *f = dlg.findChild<QLineEdit *>(field);
        QPushButton *save = loginChild<QPushButton>(&dlg, "pushButton_save");
        retype(f, text);
        QCOMPARE(f->styleSheet(), QString("background-color: #fd7;"));
        QVERIFY(!save->isEnabled());
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        retype(f, "12");
        QVERIFY(f->styleSheet().isEmpty());
        QVERIFY(save->isEnabled());
    }

    void iterationLimitBounds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("stored");
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("largest") << "10000" << 10000;
        QTest::newRow("above") << "10001" << 31;
        QTest::newRow("zero") << "0" << 31;
    }
    void iterationLimitBounds()
    {
        QFETCH(QString, text);
        QFETCH(int, stored);
        one_ctrlset ctrl = defaults();
        config_settings dlg;
        dlg.settingsSpcn_numerical(&ctrl);
        retype(loginChild<QLineEdit>(&dlg, "lineEditSpcn_iterationLimit"), text);
        // A refused value (even one typed through an accepted prefix) saves nothing.
        dlg.settingsSpcn_save();
        QCOMPARE(ctrl.csolvitmax, stored);
        QCOMPARE(dlg.result(), int(stored == 31 ? QDialog::Rejected : QDialog::Accepted));
    }

    void cancelChangesNothing()
    {
        one_ctrlset ctrl = defaults();
        ctrl.csolvcvg = 1.234567e-6;
        config_settings dlg;
        dlg.settingsSpcn_numerical(&ctrl);
        dlg.show();
        QCOMPARE(loginChild<QLineEdit>(&dlg, "lineEditSpcn_convergenceLimit")->text(),
                 QString("1.23457e-06"));
        retype(loginChild<QLineEdit>(&dlg, "lineEditSpcn_concnHigh"), "40");
        QTest::mouseClick(loginChild<QPushButton>(&dlg, "pushButton_cancel"), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(ctrl.csolvcmax, 35.0);
        QCOMPARE(ctrl.csolvcvg, 1.234567e-6);
        QVERIFY(!QSettings().contains("WATERMGR/geometry"));
    }

    void saveCopiesIntoTheSameRecord()
    {
        one_ctrlset ctrl = defaults();
        ctrl.csolvcvg = 1.234567e-6;
        config_settings dlg;
        dlg.settingsSpcn_numerical(&ctrl);
        QTimer::singleShot(0, [&dlg] {
            retype(loginChild<QLineEdit>(&dlg, "lineEditSpcn_iterationLimit"), "200");
            retype(loginChild<QLineEdit>(&dlg, "lineEditSpcn_concnLow"), "1e-300");
            retype(loginChild<QLineEdit>(&dlg, "lineEditSpcn_concnHigh"), "40");
            QTest::mouseClick(loginChild<QPushButton>(&dlg, "pushButton_save"), Qt::LeftButton);
        });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(dlg.settingsSpcn_recover(), &ctrl);
        QCOMPARE(ctrl.csolvitmax, 200);
        QCOMPARE(ctrl.csolvcmin, 1e-300);
        QCOMPARE(ctrl.csolvcmax, 40.0);
        QCOMPARE(ctrl.csolvcvg, 1.23457e-6); // the six-digit form shown
        QCOMPARE(ctrl.dbaccess, true);
        QCOMPARE(ctrl.TCmax, 350.0);
        QVERIFY(QSettings().contains("WATERMGR/geometry"));
    }

    void lowLimitNotBelowHighRefused()
    {
        for (const char *low : {"100", "40"}) {
            one_ctrlset ctrl = defaults();
            config_settings dlg;
            dlg.settingsSpcn_numerical(&ctrl);
            retype(loginChild<QLineEdit>(&dlg, "lineEditSpcn_concnHigh"), "40");
            retype(loginChild<QLineEdit>(&dlg, "lineEditSpcn_concnLow"), low);
            QString told;
            answerNextMessageBox("OK", &told);
            QTest::mouseClick(loginChild<QPushButton>(&dlg, "pushButton_save"), Qt::LeftButton);
            QVERIFY2(told.contains("must be below") && dlg.result() == QDialog::Rejected, low);
            QVERIFY(ctrl.csolvcmin == 1e-36 && ctrl.csolvcmax == 35.0);
        }
    }

    void unusableStoredValueMustBeCorrected()
    {
        one_ctrlset ctrl = defaults();
        ctrl.csolvitmax = 0;
        config_settings dlg;
        dlg.settingsSpcn_numerical(&ctrl);
        QCOMPARE(loginChild<QLineEdit>(&dlg, "lineEditSpcn_iterationLimit")->styleSheet(),
                 QString("background-color: #fd7;"));
        QVERIFY(!loginChild<QPushButton>(&dlg, "pushButton_save")->isEnabled());
    }
};

QTEST_MAIN(tst_config_settings)
#include "tst_config_settings.moc"
