#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <QtGlobal>

#include <functional>

/// Collects every message Qt and the program write while it lives.
class MessageCapture
{
public:
    MessageCapture() { previous = qInstallMessageHandler(&MessageCapture::handler); }
    ~MessageCapture()
    {
        qInstallMessageHandler(previous);
        QMutexLocker lock(&mutex());
        store().clear();
    }
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    /// Messages written so far that contain `text`.
    QStringList matching(const QString &text) const
    {
        QMutexLocker lock(&mutex());
        return store().filter(text);
    }

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &msg)
    {
        QMutexLocker lock(&mutex());
        store().append(msg);
    }
    static QStringList &store()
    {
        static QStringList lines;
        return lines;
    }
    static QMutex &mutex()
    {
        static QMutex m;
        return m;
    }
    QtMessageHandler previous = nullptr;
};

/// Waits (polling from the event loop) for the next modal widget and hands it to
/// `act`, which must close it. Gives up after about five seconds.
inline void onNextModal(const std::function<void(QWidget *)> &act, int triesLeft = 250)
{
    QTimer::singleShot(20, [act, triesLeft]() {
        if (QWidget *w = QApplication::activeModalWidget()) {
            act(w);
            return;
        }
        if (triesLeft > 0)
            onNextModal(act, triesLeft - 1);
    });
}

/// What a message box showed.
struct ShownBox
{
    QString title; ///< window title
    QString text; ///< main text
    int icon = 0; ///< QMessageBox::Icon
};

/// Answers the next modal message box with its default button and records it.
inline void acceptNextMessageBox(ShownBox *shown)
{
    onNextModal([shown](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box) {
            w->close();
            return;
        }
        shown->title = box->windowTitle();
        shown->text = box->text();
        shown->icon = int(box->icon());
        box->accept();
    });
}
