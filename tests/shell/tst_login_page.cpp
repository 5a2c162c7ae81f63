// The login page driven as a user drives it: Start, creating the account,
// failed logins with the clue and the security question, the replacement
// password, the saved login and the reset of every setting.
#include "login_page.h"
#include "support_login_helpers.h"
#include "test_press.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTextEdit>
#include <QtTest>

namespace {
/// A shown login page with short access to its widgets.
struct Page
{
    login_page page;
    QSignalSpy verified {&page, &login_page::signal_login_verified};
    QSignalSpy failed {&page, &login_page::signal_login_failed};
    Page() { page.show(); }
    QLineEdit *edit(const char *name) { return loginChild<QLineEdit>(&page, name); }
    QPushButton *button(const char *name) { return loginChild<QPushButton>(&page, name); }
    QCheckBox *box(const char *name) { return loginChild<QCheckBox>(&page, name); }
    QTextEdit *text(const char *name) { return loginChild<QTextEdit>(&page, name); }
    QString pane() { return text("textEdit_loginMessage")->toPlainText(); }
    QWidget *current()
    {
        return loginChild<QStackedWidget>(&page, "stackedWidget")->currentWidget();
    }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void type(const char *name, const QString &s)
    {
        edit(name)->clear();
        // Key events are made from ASCII only; other letters go in as typed text.
        bool ascii = true;
        for (QChar c : s)
            ascii = ascii && c.unicode() < 128;
        if (ascii)
            QTest::keyClicks(edit(name), s);
        else
            edit(name)->insert(s);
    }
    void login(const QString &name, const QString &password)
    {
        type("lineEdit_username", name);
        type("lineEdit_password", password);
        click("pushButton_Login");
    }
    void answer(const QString &s)
    {
        type("lineEdit_responseA", s);
        QTest::keyClick(edit("lineEdit_responseA"), Qt::Key_Return);
    }
};
} // namespace

class tst_login_page : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { loginTestIdentity(); }
    void init() { QSettings().clear(); }

    void noAccountStartsWithoutCheck()
    {
        QTest::failOnWarning(QRegularExpression("No matching signal"));
        Page p;
        QCOMPARE(p.button("pushButton_Login")->text(), QString("Start"));
        QVERIFY(p.button("pushButton_Login")->isEnabled());
        QVERIFY(p.button("pushButton_loginCreate")->isVisible());
        QCOMPARE(p.pane(), QString("LOGIN DISABLED\nproceed using the START button"));
        QVERIFY(loginChild<QLabel>(&p.page, "label_version")->text().startsWith("version v."));
        p.click("pushButton_Login");
        QCOMPARE(p.verified.count(), 1);
        QCOMPARE(p.failed.count(), 0);
    }

    void createAccountNeedsEveryFieldAndTheRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("repeat");
        QTest::addColumn<bool>("saved");
        QTest::newRow("complete") << "alice"
                                  << "Glacier7x"
                                  << "Glacier7x" << true;
        QTest::newRow("letters of any script") << "zoé"
                                               << "éléphant9"
                                               << "éléphant9" << true;
        QTest::newRow("seven characters") << "alice"
                                          << "Glacie7"
                                          << "Glacie7" << false;
        QTest::newRow("blank inside") << "alice"
                                      << "Glacier 7"
                                      << "Glacier 7" << false;
        QTest::newRow("repeat differs") << "alice"
                                        << "Glacier7x"
                                        << "Glacier7y" << false;
        QTest::newRow("no user name") << ""
                                      << "Glacier7x"
                                      << "Glacier7x" << false;
    }
    void createAccountNeedsEveryFieldAndTheRule()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, repeat);
        QFETCH(bool, saved);
        Page p;
        p.click("pushButton_loginCreate");
        QCOMPARE(p.current()->objectName(), QString("page1_createUser"));
        pressIndicator(p.box("checkBox_loginEnabled"));
        p.type("lineEdit_createUsername", name);
        p.type("lineEdit_createPassword", password);
        p.type("lineEdit_createPassword_verify", repeat);
        QTest::keyClicks(p.text("textEdit_passwordClue"), "river stone");
        p.type("lineEdit_securityQuestion", "First dog?");
        p.type("lineEdit_securityQAnswer", "Rex");
        QCOMPARE(p.button("pushButton_createSave")->isEnabled(), saved);
        p.click("pushButton_createSave");
        QCOMPARE(loginValue("loginEnabled").toBool(), saved);
        if (!saved)
            return;
        QCOMPARE(loginValue("username").toString(), name);
        QCOMPARE(loginValue("password").toString(), loginDigest(password));
        QCOMPARE(loginValue("passwordClue").toString(), QString("river stone"));
        QCOMPARE(loginValue("securityA").toString(), QString("Rex"));
        QCOMPARE(p.current()->objectName(), QString("page0_login"));
        QCOMPARE(p.button("pushButton_Login")->text(), QString("Login"));
        QVERIFY(!p.button("pushButton_loginCreate")->isVisible());
        p.login(name, password);
        QCOMPARE(p.verified.count(), 1);
    }

    void createRefusesSymbolsAndCancelRestores()
    {
        Page p;
        p.click("pushButton_loginCreate");
        pressIndicator(p.box("checkBox_loginEnabled"));
        p.type("lineEdit_createUsername", "bob!");
        QCOMPARE(p.edit("lineEdit_createUsername")->text(), QString("bob"));
        QCOMPARE(loginChild<QLabel>(&p.page, "label_username_set_msg")->text(),
                 QString("alpha-numeric keys only"));
        p.click("pushButton_createCancel");
        QCOMPARE(p.current()->objectName(), QString("page0_login"));
        QVERIFY(p.edit("lineEdit_createUsername")->text().isEmpty());
        QVERIFY(!p.box("checkBox_loginEnabled")->isChecked());
        QVERIFY(!QSettings().contains("LOGIN/loginEnabled"));
    }

    void loginComparesNameAndDigest_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("report");
        QTest::newRow("match") << "alice"
                               << "Glacier7x"
                               << "LOGIN SUCCESSFUL";
        QTest::newRow("name case") << "Alice"
                                   << "Glacier7x"
                                   << "LOGIN ERROR :\n  incorrect username\n  attempt : 1";
        QTest::newRow("password") << "alice"
                                  << "glacier7x"
                                  << "LOGIN ERROR :\n  incorrect password\n  attempt : 1";
        QTest::newRow("name left empty") << ""
                                         << "Glacier7x"
                                         << "LOGIN ERROR :\n  incorrect username\n  attempt : 1";
    }
    void loginComparesNameAndDigest()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, report);
        storeLoginAccount(true, "alice", "Glacier7x");
        Page p;
        p.login(name, password);
        QCOMPARE(p.pane(), report);
        QCOMPARE(p.verified.count(), report == "LOGIN SUCCESSFUL" ? 1 : 0);
        QCOMPARE(p.failed.count(), report == "LOGIN SUCCESSFUL" ? 0 : 1);
    }

    void untouchedFieldNeverMatches_data()
    {
        QTest::addColumn<QString>("storedPassword");
        QTest::newRow("password stored") << "Glacier7x";
        QTest::newRow("empty stored digest") << "";
    }
    void untouchedFieldNeverMatches()
    {
        QFETCH(QString, storedPassword);
        storeLoginAccount(true, "alice", storedPassword);
        Page p;
        QTest::keyClick(p.edit("lineEdit_password"), Qt::Key_Return);
        QCOMPARE(p.failed.count(), 1);
        QCOMPARE(p.verified.count(), 0);
    }

    void failuresShowClueThenQuestionThenReplacement()
    {
        storeLoginAccount(true, "alice", "Glacier7x", "blue sky", "Colour?", "Blue");
        Page p;
        for (int i = 1; i <= 3; ++i)
            p.login("alice", "wrong");
        QVERIFY(!p.pane().contains("LOGIN CLUE"));
        p.login("alice", "wrong");
        QVERIFY(p.pane().endsWith("attempt : 4\n \nLOGIN CLUE : \n blue sky"));
        p.login("alice", "wrong");
        QCOMPARE(p.current()->objectName(), QString("page0_login"));
        p.login("alice", "wrong");
        QCOMPARE(p.current()->objectName(), QString("page2_verifyQA"));
        QCOMPARE(p.edit("lineEdit_recordQ")->text(), QString("Colour?"));

        for (int i = 1; i <= 5; ++i)
            p.answer("green");
        QCOMPARE(p.edit("lineEdit_verifyStatus")->text(), QString("incorrect"));
        QCOMPARE(p.edit("lineEdit_verifyCount")->text(), QString("5"));
        QVERIFY(!p.button("pushButton_resetLogin")->isEnabled());
        p.answer("red");
        QVERIFY(p.button("pushButton_resetLogin")->isEnabled());
        QVERIFY(!p.edit("lineEdit_verifyPassword")->isEnabled());

        p.answer("BLUE");
        QCOMPARE(p.edit("lineEdit_verifyUsername")->text(), QString("alice"));
        QVERIFY(p.edit("lineEdit_verifyPassword")->isEnabled());
        p.type("lineEdit_verifyPassword", "Moraine42");
        p.type("lineEdit_verifyPassword_verify", "Moraine42");
        QTest::keyClicks(p.text("textEdit_verifyClue"), "ice and rock");
        p.click("pushButton_verifySave");
        QCOMPARE(loginValue("password").toString(), loginDigest("Moraine42"));
        QCOMPARE(loginValue("passwordClue").toString(), QString("ice and rock"));

        p.click("pushButton_verifyExit");
        p.login("alice", "wrong");
        QCOMPARE(p.current()->objectName(), QString("page2_verifyQA"));
        // The answer given on the last visit opens nothing on this one.
        QVERIFY(p.edit("lineEdit_responseA")->text().isEmpty());
        QVERIFY(p.edit("lineEdit_verifyUsername")->text().isEmpty());
        QVERIFY(!p.edit("lineEdit_verifyPassword")->isEnabled());
        QVERIFY(!p.button("pushButton_verifySave")->isEnabled());
        p.click("pushButton_verifyExit");
        p.login("alice", "Moraine42");
        QCOMPARE(p.verified.count(), 1);
    }

    void replacementNeedsItsOwnValidPassword_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("repeat");
        QTest::newRow("seven characters") << ""
                                          << "Morain4"
                                          << "Morain4";
        QTest::newRow("blank inside") << ""
                                      << "Morain 42"
                                      << "Morain 42";
        QTest::newRow("login password repeated") << ""
                                                 << ""
                                                 << "wrongpass1";
        QTest::newRow("shortened after a valid one") << "Moraine42"
                                                     << "Morain4"
                                                     << "Moraine42";
    }
    void replacementNeedsItsOwnValidPassword()
    {
        QFETCH(QString, first);
        QFETCH(QString, replacement);
        QFETCH(QString, repeat);
        storeLoginAccount(true, "alice", "Glacier7x");
        Page p;
        for (int i = 0; i < 6; ++i)
            p.login("alice", "wrongpass1");
        p.answer("blue");
        if (!first.isEmpty())
            p.type("lineEdit_verifyPassword", first);
        p.type("lineEdit_verifyPassword", replacement);
        p.type("lineEdit_verifyPassword_verify", repeat);
        QVERIFY(!p.button("pushButton_verifySave")->isEnabled());
        p.click("pushButton_verifySave");
        QCOMPARE(loginValue("password").toString(), loginDigest("Glacier7x"));
    }

    void emptyAnswerNeverMatches_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::newRow("nothing typed") << "Blue"
                                       << "";
        QTest::newRow("no answer stored") << ""
                                          << "anything";
        QTest::newRow("both empty") << ""
                                    << "";
    }
    void emptyAnswerNeverMatches()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        storeLoginAccount(true, "alice", "Glacier7x", "clue", "Colour?", stored);
        Page p;
        for (int i = 0; i < 6; ++i)
            p.login("alice", "wrong");
        p.answer(typed);
        QCOMPARE(p.edit("lineEdit_verifyStatus")->text(), QString("incorrect"));
        QVERIFY(!p.edit("lineEdit_verifyPassword")->isEnabled());
    }

    void savedLoginIsStoredOnlyBySuccess_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("quit");
        QTest::addColumn<bool>("stored");
        QTest::newRow("success") << "Glacier7x" << false << true;
        QTest::newRow("failure") << "wrong" << false << false;
        QTest::newRow("quit") << "" << true << false;
    }
    void savedLoginIsStoredOnlyBySuccess()
    {
        QFETCH(QString, password);
        QFETCH(bool, quit);
        QFETCH(bool, stored);
        storeLoginAccount(true, "alice", "Glacier7x");
        {
            Page p;
            pressIndicator(p.box("checkBox_saveInfo"));
            if (quit)
                p.click("pushButton_Quit");
            else
                p.login("alice", password);
        }
        QCOMPARE(loginValue("saveinfo").toBool(), stored);
        Page next;
        QCOMPARE(next.box("checkBox_saveInfo")->isChecked(), stored);
        next.click("pushButton_Login");
        QCOMPARE(next.verified.count(), stored ? 1 : 0);
    }

    void resetClearsEverySettingOnlyWhenConfirmed_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("reset") << "Reset";
        QTest::newRow("cancel") << "Cancel";
    }
    void resetClearsEverySettingOnlyWhenConfirmed()
    {
        QFETCH(QString, button);
        storeLoginAccount(true, "alice", "Glacier7x");
        QSettings().setValue("VEK7.EQ/vek7type", "vek7.eq");
        Page p;
        for (int i = 0; i < 6; ++i)
            p.login("alice", "wrong");
        for (int i = 0; i < 6; ++i)
            p.answer("wrong");
        QString asked;
        answerNextMessageBox(button, &asked);
        p.click("pushButton_resetLogin");
        QCOMPARE(asked,
                 QString("This will reset all current settings and remove existing "
                         "database.\n\nReset?"));
        const bool reset = button == "Reset";
        QCOMPARE(QSettings().allKeys().isEmpty(), reset);
        QCOMPARE(p.page.isVisible(), !reset);
    }

    void refusedWritesAreReported()
    {
        Page p;
        p.click("pushButton_loginCreate");
        pressIndicator(p.box("checkBox_loginEnabled"));
        p.type("lineEdit_createUsername", "alice");
        p.type("lineEdit_createPassword", "Glacier7x");
        p.type("lineEdit_createPassword_verify", "Glacier7x");
        QTest::keyClicks(p.text("textEdit_passwordClue"), "clue");
        p.type("lineEdit_securityQuestion", "Q");
        p.type("lineEdit_securityQAnswer", "A");
        breakSettingsStore(true);
        p.click("pushButton_createSave");
        breakSettingsStore(false);
        QCOMPARE(p.current()->objectName(), QString("page1_createUser"));
        QCOMPARE(loginChild<QLabel>(&p.page, "label_saveCheck")->text(),
                 QString("Account not saved: the settings could not be written"));
    }
};

QTEST_MAIN(tst_login_page)
#include "tst_login_page.moc"
