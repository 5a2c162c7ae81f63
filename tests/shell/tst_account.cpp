// The account dialog driven as a user drives it: user name, login switch with
// the current password, new password and question, and refused writes.
#include "manage_account.h"
#include "support_login_helpers.h"
#include "test_press.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTextEdit>
#include <QtTest>

namespace {
/// A shown account dialog with short access to its widgets.
struct Dialog
{
    manage_account dlg;
    Dialog() { dlg.show(); }
    QLineEdit *edit(const char *name) { return loginChild<QLineEdit>(&dlg, name); }
    QPushButton *button(const char *name) { return loginChild<QPushButton>(&dlg, name); }
    QString pane() { return loginChild<QTextEdit>(&dlg, "textEdit_message")->toPlainText(); }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void tick(const char *name) { pressIndicator(loginChild<QCheckBox>(&dlg, name)); }
    void type(const char *name, const QString &s)
    {
        edit(name)->clear();
        QTest::keyClicks(edit(name), s);
    }
    /// Opens the password change and types a new password, its repetition and a clue.
    void newPassword(const QString &pw, const QString &repeat, const QString &clue = "")
    {
        tick("checkBox_setPassword");
        type("lineEdit_passwordNew", pw);
        type("lineEdit_passwordVerify", repeat);
        if (!clue.isEmpty())
            QTest::keyClicks(loginChild<QTextEdit>(&dlg, "textEdit_passwordClue"), clue);
    }
};
} // namespace

class tst_account : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { loginTestIdentity(); }
    void init() { QSettings().clear(); }

    void withoutNameTheSwitchWaits()
    {
        QTest::failOnWarning(QRegularExpression("No matching signal"));
        Dialog d;
        QVERIFY(d.button("pushButton_setUsername")->isVisible());
        QCOMPARE(loginChild<QLabel>(&d.dlg, "label_usernameCurrent_msg")->text(),
                 QString("not set"));
        QVERIFY(!d.edit("lineEdit_passwordCurrent")->isVisible());
        d.tick("checkBox_loginEnabled");
        QCOMPARE(d.pane(), QString(">>  Set username first"));
        QVERIFY(!loginChild<QCheckBox>(&d.dlg, "checkBox_loginEnabled")->isChecked());

        d.type("lineEdit_usernameCurrent", "ann#");
        QCOMPARE(d.edit("lineEdit_usernameCurrent")->text(), QString("ann"));
        d.click("pushButton_setUsername");
        QVERIFY(d.pane().endsWith(">>  Username set"));
        QCOMPARE(loginValue("username").toString(), QString("ann"));
    }

    void firstPasswordAndQuestionNeedNoCurrentPassword()
    {
        storeLoginAccount(false, "ann", "", "", "", "");
        Dialog d;
        d.tick("checkBox_loginEnabled");
        QVERIFY(d.pane().contains(">>  Set password to proceed"));
        QVERIFY(!loginChild<QCheckBox>(&d.dlg, "checkBox_loginEnabled")->isChecked());
        d.type("lineEdit_passwordNew", "Basalt123");
        d.type("lineEdit_passwordVerify", "Basalt123");
        QTest::keyClicks(loginChild<QTextEdit>(&d.dlg, "textEdit_passwordClue"), "rock");
        d.tick("checkBox_setSecurityQA");
        d.type("lineEdit_securityQ", "Town?");
        d.type("lineEdit_securityA", "Oslo");
        d.click("pushButton_save");
        QVERIFY(d.pane().endsWith("----------\n>>  New password set\n>>  New security Q&A set"));
        QCOMPARE(loginValue("password").toString(), loginDigest("Basalt123"));
        QCOMPARE(loginValue("passwordClue").toString(), QString("rock"));
        QCOMPARE(loginValue("securityA").toString(), QString("Oslo"));
        QVERIFY(!loginValue("loginEnabled").toBool());
    }

    void switchingLoginOffNeedsCurrentPassword_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("report");
        QTest::newRow("right") << "Glacier7x"
                               << ">>  Login disabled";
        QTest::newRow("wrong") << "Glacier7"
                               << " # login status changed, but not saved\n"
                                  "   password verification failed\n"
                                  ">> Nothing to save";
    }
    void switchingLoginOffNeedsCurrentPassword()
    {
        QFETCH(QString, current);
        QFETCH(QString, report);
        storeLoginAccount(true, "alice", "Glacier7x");
        Dialog d;
        d.tick("checkBox_loginEnabled");
        QVERIFY(d.edit("lineEdit_passwordCurrent")->isVisible());
        d.type("lineEdit_passwordCurrent", current);
        d.button("pushButton_save")->setEnabled(true); // pressed however it got enabled
        d.click("pushButton_save");
        QVERIFY(d.pane().endsWith(report));
        QCOMPARE(loginValue("loginEnabled").toBool(), report.contains("not saved"));
    }

    void changesNeedCurrentPasswordOnceOneIsStored_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<bool>("saved");
        QTest::newRow("not typed") << "" << false;
        QTest::newRow("wrong") << "glacier7x" << false;
        QTest::newRow("right") << "Glacier7x" << true;
    }
    void changesNeedCurrentPasswordOnceOneIsStored()
    {
        QFETCH(QString, current);
        QFETCH(bool, saved);
        storeLoginAccount(true, "alice", "Glacier7x", "old clue", "Colour?", "Blue");
        Dialog d;
        d.newPassword("Basalt123", "Basalt123");
        d.tick("checkBox_setSecurityQA");
        d.type("lineEdit_securityA", "Red");
        QVERIFY(d.edit("lineEdit_passwordCurrent")->isVisible());
        if (!current.isEmpty())
            d.type("lineEdit_passwordCurrent", current);
        d.button("pushButton_save")->setEnabled(true);
        d.click("pushButton_save");
        QCOMPARE(loginValue("password").toString(), loginDigest(saved ? "Basalt123" : "Glacier7x"));
        QCOMPARE(loginValue("securityA").toString(), QString(saved ? "Red" : "Blue"));
        QCOMPARE(loginValue("passwordClue").toString(), QString("old clue"));
        QCOMPARE(d.pane().contains("password verification failed"), !saved);
    }

    void rejectedPasswordIsNeverReportedSet_data()
    {
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("repeat");
        QTest::newRow("seven characters") << "Basalt1"
                                          << "Basalt1";
        QTest::newRow("current repeated") << "Basalt1"
                                          << "Glacier7x";
        QTest::newRow("symbol") << "Basalt12!"
                                << "Basalt12!";
    }
    void rejectedPasswordIsNeverReportedSet()
    {
        QFETCH(QString, newPassword);
        QFETCH(QString, repeat);
        storeLoginAccount(true, "alice", "Glacier7x");
        Dialog d;
        d.newPassword(newPassword, repeat, "new clue");
        QVERIFY(!d.button("pushButton_save")->isEnabled());
        d.type("lineEdit_passwordCurrent", "Glacier7x");
        d.click("pushButton_save");
        QVERIFY(!d.pane().contains(">>  New password set"));
        QVERIFY(d.pane().contains(" #  New password not saved"));
        QCOMPARE(loginValue("passwordClue").toString(), QString("blue sky"));
    }

    void userNameChangeIsConfirmed_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("stored");
        QTest::newRow("saved") << "bob"
                               << "Save"
                               << "bob";
        QTest::newRow("cancelled") << "bob"
                                   << "cancel"
                                   << "alice";
        QTest::newRow("emptied") << ""
                                 << ""
                                 << "alice";
    }
    void userNameChangeIsConfirmed()
    {
        QFETCH(QString, name);
        QFETCH(QString, answer);
        QFETCH(QString, stored);
        storeLoginAccount(true, "alice", "Glacier7x");
        Dialog d;
        QVERIFY(!d.button("pushButton_setUsername")->isVisible());
        d.type("lineEdit_usernameCurrent", name);
        // An emptied name is refused without asking: a box would be answered Save.
        QString asked;
        answerNextMessageBox(answer.isEmpty() ? "Save" : answer, &asked, name.isEmpty() ? 0 : 200);
        d.dlg.findChild<QPushButton *>("pushButton_save")->setEnabled(true);
        d.click("pushButton_save");
        QCoreApplication::processEvents();
        QCOMPARE(asked,
                 name.isEmpty() ? QString() : "Username has changed.\nSave new username [ bob ]?");
        QCOMPARE(loginValue("username").toString(), stored);
        QVERIFY(d.pane().contains(stored == name ? ">>  New username set"
                                                 : " #  New username not saved"));
    }

    void blankClueKeepsTheStoredOne()
    {
        storeLoginAccount(true, "alice", "Glacier7x", "old clue");
        Dialog d;
        d.newPassword("Basalt123", "Basalt123", "hint2");
        QTest::keyClicks(loginChild<QTextEdit>(&d.dlg, "textEdit_passwordClue"), "\b\b\b\b\b");
        QCOMPARE(d.pane(), QString("##  Clue cannot be blank"));
        d.type("lineEdit_passwordCurrent", "Glacier7x");
        d.click("pushButton_save");
        QCOMPARE(loginValue("passwordClue").toString(), QString("old clue"));
    }

    void nothingToSaveAndCloseKeepsGeometry()
    {
        Dialog d;
        d.dlg.findChild<QPushButton *>("pushButton_save")->setEnabled(true);
        d.click("pushButton_save");
        QCOMPARE(d.pane(), QString("----------\n>> Nothing to save"));
        d.click("pushButton_close");
        QVERIFY(!d.dlg.isVisible());
        QVERIFY(QSettings().contains("ACCTMGR/geometry"));
    }

    void refusedWritesAreReported()
    {
        storeLoginAccount(true, "", "Glacier7x");
        Dialog d;
        d.type("lineEdit_usernameCurrent", "ann");
        d.newPassword("Basalt123", "Basalt123");
        d.type("lineEdit_passwordCurrent", "Glacier7x");
        breakSettingsStore(true);
        d.click("pushButton_setUsername");
        answerNextMessageBox("Save");
        d.click("pushButton_save");
        // What was refused does not wait to be written with the next setting stored.
        QVERIFY(loginValue("username") != "ann"
                && loginValue("password") != loginDigest("Basalt123"));
        breakSettingsStore(false);
        QVERIFY(d.pane().contains("##  Username not set: the settings could not be written"));
        QVERIFY(d.pane().contains(" #  New username not saved\n"
                                  "   the settings could not be written\n"
                                  " #  New password not saved\n"
                                  "   the settings could not be written"));
        QVERIFY(!d.pane().contains(">>  New password set"));
    }
};

QTEST_MAIN(tst_account)
#include "tst_account.moc"
