#pragma once

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QtGlobal>

/// Collects the debug lines written while it lives, so a test can compare the
/// exact lines an operation logs (and that it logs nothing at all).
class LogCapture
{
public:
    LogCapture() { previous = qInstallMessageHandler(&LogCapture::handler); }
    ~LogCapture()
    {
        qInstallMessageHandler(previous);
        QMutexLocker lock(&mutex());
        store().clear();
    }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    /// Lines written so far; clears the store.
    QStringList take()
    {
        QMutexLocker lock(&mutex());
        QStringList lines = store();
        store().clear();
        return lines;
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
