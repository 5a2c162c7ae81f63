#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>

class QLabel;
class QWidget;

/// Collects every message Qt and the program write while it lives, so a test
/// can compare the exact lines an operation logs (and that it logs nothing).
/// The messages are not passed on.
class MessageCapture
{
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    /// Messages written so far; clears the store.
    QStringList take();

private:
    QtMessageHandler previous = nullptr;
};

/// Collects the warnings that a slot connected by name found no signal (a widget
/// renamed in a form) while it lives; other messages, debug lines aside, go on to
/// the handler that was in place.
class SlotWarningGuard
{
public:
    SlotWarningGuard();
    ~SlotWarningGuard();
    SlotWarningGuard(const SlotWarningGuard &) = delete;
    SlotWarningGuard &operator=(const SlotWarningGuard &) = delete;

    /// The warnings caught so far.
    QStringList warnings() const;

private:
    QtMessageHandler previous = nullptr;
};

/// Waits (polling from the event loop) for the next modal widget and hands it to
/// `act`, which must close it. Gives up after `triesLeft` looks 20 ms apart.
void onNextModal(const std::function<void(QWidget *)> &act, int triesLeft = 250);

/// Declares a text column per name of `columns` and adds a row per list of `rows`:
/// its first text names the row, the others fill the columns in order. A row of
/// another length stops the test: its texts would land in the wrong columns.
void addTextRows(const QStringList &columns, const QList<QStringList> &rows);

/// What a reason line gives the user to read: its text, its two lines joined, or
/// the whole reason of its tool tip where the line shows it cut with an ellipsis.
QString reasonRead(const QLabel *line);
/// True when the text of `line` fits in the room the line keeps, and a text cut
/// with an ellipsis begins the whole reason its tool tip holds.
bool fitsItsRoom(const QLabel *line);
