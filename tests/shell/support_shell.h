#pragma once

#include "test_ui.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class QAction;
class QWidget;

/// Answers modal windows (message boxes, file dialogs, dialogs) as a user would:
/// each queued step waits for the next modal window to appear and acts on it.
/// Answers the program's modal windows from a timer, step by step. While several
/// scripts live, a modal window goes to the newest one that still has steps: a
/// script kept for an earlier press must not take a dialog meant for a later one.
class ModalScript : public QObject
{
public:
    ModalScript();
    ~ModalScript() override;

    /// Chooses `path` in the next file dialog and accepts it.
    ModalScript &file(const QString &path);
    /// Cancels the next file dialog.
    ModalScript &cancelFile();
    /// Clicks the button whose text is `button` ("OK", "Yes", "NO", ...) in the
    /// next message box and records the box's text in `texts`.
    ModalScript &box(const QString &button);
    /// Runs `act` on the next modal window (a dialog of the program).
    ModalScript &modal(const std::function<void(QWidget *)> &act);
    /// Closes the next modal window of any kind, as a user would who did not
    /// expect it, and records it in `unexpected` (class name, and a box's text).
    ModalScript &closeAny();

    /// True when every queued step has run.
    bool done() const { return steps.isEmpty(); }
    /// Texts of the message boxes answered, in order.
    QStringList texts;
    /// Titles of the message boxes answered, in order.
    QStringList titles;
    /// Windows closed by closeAny(), in order.
    QStringList unexpected;

private:
    void poll();

    QList<std::function<void(QWidget *)>> steps;
    QPointer<QWidget> lastHandled;
    QTimer timer;
    static QList<ModalScript *> live; ///< the scripts alive, oldest first
};

/// Points the settings of the database type list and of its files at `reference`
/// (user file beside it), as the database manager would have saved them.
void setDatabaseSettings(const QString &reference);
/// The generated reference database of this build.
QString generatedDatabase();
/// A fresh folder under the test's scratch folder.
QString freshFolder(const QString &name);
/// The bytes of `path` (empty when it cannot be read).
QByteArray fileBytes(const QString &path);
/// Writes `bytes` to `path`; true on success.
bool writeBytes(const QString &path, const QByteArray &bytes);
/// The action with text `text` among the children of `root` (menus included).
QAction *findAction(QObject *root, const QString &text);
/// Lines of a read-only message pane `name` under `root`.
QStringList paneLines(QObject *root, const QString &name = QStringLiteral("textEdit_Messages"));
/// Waits up to `ms` milliseconds for `condition`, processing events.
bool waitFor(const std::function<bool()> &condition, int ms = 5000);

class MainWindow;
class setup;
class simfile;
class QPushButton;

/// Names of the organisation and application, as the program sets them.
void shellTestIdentity();
/// Marks the first run as done and points the database settings at the
/// generated reference database, as an installed program has them.
void installedProgram();
/// The page the main window shows.
QWidget *currentPage(MainWindow *win);
/// A configuration-file window as the main window shows it for Speciation.
std::unique_ptr<simfile> openWindow();
/// The configuration-file window and the setup workspace of the main window.
simfile *simfilePage(MainWindow *win);
setup *setupPage(MainWindow *win);
/// The push button `name` of `page`.
QPushButton *button(QWidget *page, const QString &name);
/// Presses Start (login off) on the login page.
void pressStart(MainWindow *win);
/// Chooses `element` in the element picker the workspace runs on Add Element.
void addElement(setup *page, const QString &element);
/// Element names shown in the workspace's element tree.
QStringList elementTree(setup *page);
