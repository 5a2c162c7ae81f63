// The road a new user walks: first start with the installer, the main menu, a
// new configuration, the database loaded into the workspace, an element added,
// saved, closed, and the same configuration opened again from the recent list.
#include "support_shell.h"

#include "app_folder.h"
#include "jsdbfile_mgr.h"
#include "mainwindow.h"
#include "sbatch.h"
#include "setup.h"
#include "simfile.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTextEdit>

#include <memory>

class tst_road : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void newUser_walksTheRoad();
    void openLoadCloseReload_manyTimes();
};

void tst_road::initTestCase()
{
    shellTestIdentity();
}

void tst_road::init()
{
    QSettings().clear();
    app_folder::set_path(freshFolder(QStringLiteral("app")));
}

void tst_road::newUser_walksTheRoad()
{
    const QString docs = freshFolder(QStringLiteral("docs"));
    SlotWarningGuard guard;
    auto win = std::make_unique<MainWindow>();
    win->show();
    QVERIFY2(guard.warnings().isEmpty(), qPrintable(guard.warnings().join('\n')));

    // First start: the installer, Set Database, OK; no database question follows.
    bool installerShown = false;
    ModalScript first;
    first.modal([&](QWidget *dialog) {
        installerShown = dialog->objectName() == QLatin1String("install_check");
        button(dialog, QStringLiteral("pushButton_setDB"))->click();
        button(dialog, QStringLiteral("pushButton_continue"))->click();
    });
    win->firstInstall_patch();
    QVERIFY(first.done());
    QVERIFY(installerShown);
    const QString reference = app_folder::path() + "/DBSET/db-EQ3v1996.db";
    QVERIFY(QFileInfo(reference).isFile());
    QSettings settings;
    QCOMPARE(settings.value("VEK7.EQ/vek7type").toString(), QStringLiteral("vek7.eq"));
    QCOMPARE(settings.value("DB/file_DBTypes/1/file").toString(), reference);

    // Start: the main menu, no question asked, Speciation enabled. A question
    // would show inside the press and be closed here.
    ModalScript none;
    none.closeAny();
    pressStart(win.get());
    QCOMPARE(none.unexpected, QStringList());
    QCOMPARE(currentPage(win.get())->objectName(), QStringLiteral("page_mainWindow"));
    QVERIFY(button(win.get(), "pushButton_Speciation")->isEnabled());

    // Speciation -> New "test1".
    button(win.get(), "pushButton_Speciation")->click();
    simfile *sf = simfilePage(win.get());
    QCOMPARE(currentPage(win.get()), sf);
    ModalScript create;
    create.file(docs + "/test1");
    button(sf, "pushButton_New")->click();
    QVERIFY(waitFor([&] { return create.done(); }));
    const QString file = docs + "/test1.jsdb";
    QVERIFY(QFileInfo(file).isFile());
    QVERIFY(QFileInfo(file + "-bk").isFile());

    // Load Database: the workspace with the database summary.
    button(sf, "pushButton_Load")->click();
    setup *su = setupPage(win.get());
    QCOMPARE(currentPage(win.get()), su);
    const QString summary
        = su->findChild<QTextEdit *>(QStringLiteral("textEdit_Messages"))->toPlainText();
    QVERIFY2(summary.contains("database content summary"), qPrintable(summary.left(400)));
    QVERIFY(summary.contains("no. elements 81"));
    QCOMPARE(su->findChild<QLineEdit *>(QStringLiteral("lineEdit_configFile"))->text(),
             QStringLiteral("test1.jsdb"));

    // Add Element Ca; Save; Close; Close.
    addElement(su, QStringLiteral("Ca"));
    QVERIFY2(elementTree(su).contains("Ca"), qPrintable(elementTree(su).join(',')));
    button(su, "pushButton_Save")->click();
    {
        jsdbfile_mgr saved;
        QCOMPARE(saved.jsdbfile_json_read(file), 0);
        bool hasCa = false;
        for (one_element *e : saved.sdata->elements)
            hasCa = hasCa || e->name == QLatin1String("Ca");
        QVERIFY(hasCa);
    }
    button(su, "pushButton_Close")->click();
    QCOMPARE(currentPage(win.get()), sf);
    button(sf, "pushButton_Close")->click();
    QCOMPARE(currentPage(win.get())->objectName(), QStringLiteral("page_mainWindow"));

    // Speciation; "Open Recent " lists the file; Open; Load.
    button(win.get(), "pushButton_Speciation")->click();
    QAction *recent = findAction(sf, QStringLiteral("test1.jsdb"));
    QVERIFY(recent && recent->isVisible());
    QCOMPARE(recent->data().toString(), file);
    ModalScript open;
    open.file(file);
    button(sf, "pushButton_Open")->click();
    QVERIFY(waitFor([&] { return open.done(); }));
    button(sf, "pushButton_Load")->click();
    QCOMPARE(currentPage(win.get()), su);
    const QStringList elements = elementTree(su);
    QVERIFY(elements.contains("Ca"));
    QCOMPARE(elements.count("Ca"), 1);
    QCOMPARE(su->retrieve_sbatch()->sdata->nelements, int(elements.size()));
}

void tst_road::openLoadCloseReload_manyTimes()
{
    installedProgram();
    const QString docs = freshFolder(QStringLiteral("cycle"));
    auto win = std::make_unique<MainWindow>();
    win->show();
    pressStart(win.get());
    simfile *sf = simfilePage(win.get());
    setup *su = setupPage(win.get());

    button(win.get(), "pushButton_Speciation")->click();
    ModalScript create;
    create.file(docs + "/cycle");
    button(sf, "pushButton_New")->click();
    QVERIFY(waitFor([&] { return create.done(); }));
    button(sf, "pushButton_Load")->click();
    addElement(su, QStringLiteral("Na"));
    button(su, "pushButton_Save")->click();
    QByteArray saved;

    for (int round = 0; round < 4; ++round) {
        button(su, "pushButton_Close")->click();
        if (round % 2)
            button(sf, "pushButton_Close")->click(),
                button(win.get(), "pushButton_Speciation")->click();
        findAction(sf, QStringLiteral("cycle.jsdb"))->trigger();
        if (round == 2)
            sf->findChild<QCheckBox *>(QStringLiteral("checkBox_DBReload"))->click();
        findAction(sf, QStringLiteral("Load"))->trigger();
        QCOMPARE(currentPage(win.get()), su);
        QCOMPARE(elementTree(su).count("Na"), 1);
        // Closed, the workspace leaves nothing to load again until the file is opened.
        button(su, "pushButton_Close")->click();
        QVERIFY(!findAction(sf, QStringLiteral("Load"))->isEnabled());
        findAction(sf, QStringLiteral("cycle.jsdb"))->trigger();
        findAction(sf, QStringLiteral("Load"))->trigger();
        QCOMPARE(elementTree(su).count("Na"), 1);
        button(su, "pushButton_Save")->click();
        if (round == 0)
            saved = fileBytes(docs + "/cycle.jsdb");
    }
    // Once read back, the configuration saves to the same text every time.
    const QList<QByteArray> now = fileBytes(docs + "/cycle.jsdb").split('\n');
    const QList<QByteArray> before = saved.split('\n');
    for (int i = 0; i < std::min(now.size(), before.size()); ++i)
        // The header records when the file was written; nothing else may change.
        QVERIFY2(now.at(i).startsWith("        \"date\": ") || now.at(i) == before.at(i),
                 qPrintable(QString::number(i) + ": " + before.at(i) + " / " + now.at(i)));
    QCOMPARE(now.size(), before.size());

    QAction *quit = nullptr;
    for (QAction *act : su->findChildren<QAction *>())
        if (act->text() == QLatin1String("Quit"))
            quit = act;
    QVERIFY(quit);
    quit->trigger();
    QVERIFY(!win->isVisible());
}

QTEST_MAIN(tst_road)
#include "tst_road.moc"
