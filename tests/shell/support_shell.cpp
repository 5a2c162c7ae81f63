#include "support_shell.h"

#include "test_env.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaObject>
#include <QSettings>
#include <QTest>
#include <QTextEdit>

// ---- ModalScript ------------------------------------------------------------------

QList<ModalScript *> ModalScript::live;

ModalScript::ModalScript()
{
    live.append(this);
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, this, &ModalScript::poll);
    timer.start();
}

ModalScript::~ModalScript()
{
    live.removeOne(this);
}

ModalScript &ModalScript::file(const QString &path)
{
    steps.append([path](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        if (!dialog)
            return;
        dialog->selectFile(path);
        // The name field keeps its text while it has the focus; type the name as
        // a user would.
        if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name->setText(QFileInfo(path).fileName());
        QMetaObject::invokeMethod(dialog, "accept");
    });
    return *this;
}

ModalScript &ModalScript::cancelFile()
{
    steps.append([](QWidget *w) {
        if (auto *dialog = qobject_cast<QFileDialog *>(w))
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    });
    return *this;
}

ModalScript &ModalScript::box(const QString &button)
{
    steps.append([this, button](QWidget *w) {
        auto *msg = qobject_cast<QMessageBox *>(w);
        if (!msg)
            return;
        texts << msg->text();
        titles << msg->windowTitle();
        for (QAbstractButton *b : msg->buttons()) {
            if (b->text().remove(QLatin1Char('&')) == button) {
                QMetaObject::invokeMethod(b, "click", Qt::QueuedConnection);
                return;
            }
        }
        // No such button: leave the box the way a user would who closes it.
        QMetaObject::invokeMethod(msg, "reject", Qt::QueuedConnection);
    });
    return *this;
}

ModalScript &ModalScript::modal(const std::function<void(QWidget *)> &act)
{
    steps.append(act);
    return *this;
}

ModalScript &ModalScript::closeAny()
{
    steps.append([this](QWidget *w) {
        QString seen = QString::fromLatin1(w->metaObject()->className());
        if (auto *msg = qobject_cast<QMessageBox *>(w))
            seen += QStringLiteral(": ") + msg->text();
        unexpected << seen;
        QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
    });
    return *this;
}

void ModalScript::poll()
{
    QWidget *w = QApplication::activeModalWidget();
    if (!w || w == lastHandled || steps.isEmpty() || !w->isVisible())
        return;
    for (qsizetype k = live.indexOf(this) + 1; k < live.size(); ++k)
        if (!live.at(k)->done())
            return;
    lastHandled = w;
    const auto step = steps.takeFirst();
    step(w);
}

// ---- settings and files ---------------------------------------------------------------

void setDatabaseSettings(const QString &reference)
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("DEFAULT"));
    settings.beginWriteArray(QStringLiteral("DBTypes"), 1);
    settings.setArrayIndex(0);
    settings.setValue(QStringLiteral("aDBType"),
                      QStringLiteral("EQ36 1996: data0.cmp - data0.com.V8.R6"));
    settings.endArray();
    settings.endGroup();
    settings.beginGroup(QStringLiteral("DB"));
    settings.setValue(QStringLiteral("dbtype_index"), 0);
    settings.beginWriteArray(QStringLiteral("file_DBTypes"), 1);
    settings.setArrayIndex(0);
    settings.setValue(QStringLiteral("file"), reference);
    settings.setValue(QStringLiteral("user"),
                      QFileInfo(reference).absolutePath() + QStringLiteral("/db_UserLocal.db"));
    settings.endArray();
    settings.endGroup();
    settings.sync();
}

QString generatedDatabase()
{
    return QStringLiteral(VEK7_GENERATED_DB);
}

QString freshFolder(const QString &name)
{
    static int serial = 0;
    const QString path
        = vek7TestScratchDir() + QStringLiteral("/") + name + QString::number(++serial);
    QDir().mkpath(path);
    return path;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QAction *findAction(QObject *root, const QString &text)
{
    for (QAction *act : root->findChildren<QAction *>())
        if (act->text() == text)
            return act;
    return nullptr;
}

QStringList paneLines(QObject *root, const QString &name)
{
    auto *pane = root->findChild<QTextEdit *>(name);
    return pane ? pane->toPlainText().split(QLatin1Char('\n')) : QStringList();
}

bool waitFor(const std::function<bool()> &condition, int ms)
{
    return QTest::qWaitFor(condition, ms);
}

// ---- the program's windows --------------------------------------------------------

#include "mainwindow.h"
#include "setup.h"
#include "simfile.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTreeWidget>

void shellTestIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tarlow"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("tarlow.example"));
    QCoreApplication::setApplicationName(QStringLiteral("vek7"));
}

void installedProgram()
{
    QSettings settings;
    settings.setValue(QStringLiteral("VEK7.EQ/vek7type"), QStringLiteral("vek7.eq"));
    settings.sync();
    setDatabaseSettings(generatedDatabase());
}

QWidget *currentPage(MainWindow *win)
{
    auto *stack = win->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
    return stack ? stack->currentWidget() : nullptr;
}

std::unique_ptr<simfile> openWindow()
{
    auto win = std::make_unique<simfile>();
    win->settings_ui_update();
    win->set_simType(0);
    win->show();
    return win;
}

simfile *simfilePage(MainWindow *win)
{
    return win->findChild<simfile *>();
}

setup *setupPage(MainWindow *win)
{
    return win->findChild<setup *>();
}

QPushButton *button(QWidget *page, const QString &name)
{
    return page ? page->findChild<QPushButton *>(name) : nullptr;
}

void pressStart(MainWindow *win)
{
    QPushButton *start = button(win, QStringLiteral("pushButton_Login"));
    if (start)
        start->click();
}

void addElement(setup *page, const QString &element)
{
    ModalScript script;
    script.modal([element](QWidget *picker) {
        auto *search = picker->findChild<QLineEdit *>(QStringLiteral("lineEdit_search"));
        auto *table = picker->findChild<QTableWidget *>(QStringLiteral("tableWidget_elements"));
        if (!search || !table)
            return;
        QTest::keyClicks(search, element.toLower());
        for (int row = 0; row < table->rowCount(); ++row) {
            QTableWidgetItem *item = table->item(row, 0);
            if (item && item->text() == element) {
                QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                                  table->visualItemRect(item).center());
                break;
            }
        }
        if (auto *select = picker->findChild<QPushButton *>(QStringLiteral("pushButton_select")))
            select->click();
    });
    button(page, QStringLiteral("pushButton_addElement"))->click();
    waitFor([&] { return script.done(); });
}

QStringList elementTree(setup *page)
{
    QStringList names;
    auto *tree = page->findChild<QTreeWidget *>(QStringLiteral("treeWidget_elements"));
    if (!tree)
        return names;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        names << tree->topLevelItem(i)->text(0);
    return names;
}
