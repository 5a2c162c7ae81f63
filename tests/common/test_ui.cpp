#include "test_ui.h"

#include <QApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <list>

namespace {

QMutex &storeMutex()
{
    static QMutex m;
    return m;
}

QStringList &capturedMessages()
{
    static QStringList lines;
    return lines;
}

void captureHandler(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    QMutexLocker lock(&storeMutex());
    capturedMessages().append(msg);
}

QStringList &slotWarnings()
{
    static QStringList lines;
    return lines;
}

QtMessageHandler g_guardPrevious = nullptr;

void guardHandler(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    if (msg.contains(QLatin1String("connectSlotsByName"))) {
        QMutexLocker lock(&storeMutex());
        slotWarnings().append(msg);
    }
    if (g_guardPrevious && type != QtDebugMsg)
        g_guardPrevious(type, context, msg);
}

} // namespace

MessageCapture::MessageCapture()
{
    previous = qInstallMessageHandler(&captureHandler);
}

MessageCapture::~MessageCapture()
{
    qInstallMessageHandler(previous);
    QMutexLocker lock(&storeMutex());
    capturedMessages().clear();
}

QStringList MessageCapture::take()
{
    QMutexLocker lock(&storeMutex());
    QStringList lines = capturedMessages();
    capturedMessages().clear();
    return lines;
}

SlotWarningGuard::SlotWarningGuard()
{
    {
        QMutexLocker lock(&storeMutex());
        slotWarnings().clear();
    }
    previous = qInstallMessageHandler(&guardHandler);
    g_guardPrevious = previous;
}

SlotWarningGuard::~SlotWarningGuard()
{
    qInstallMessageHandler(previous);
    g_guardPrevious = nullptr;
}

QStringList SlotWarningGuard::warnings() const
{
    QMutexLocker lock(&storeMutex());
    return slotWarnings();
}

void onNextModal(const std::function<void(QWidget *)> &act, int triesLeft)
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

void addTextRows(const QStringList &columns, const QList<QStringList> &rows)
{
    // The test table keeps the column name's pointer: the names must outlive it.
    static std::list<QByteArray> names;
    for (const QString &c : columns)
        QTest::addColumn<QString>(names.emplace_back(c.toUtf8()).constData());
    for (const QStringList &r : rows) {
        QTestData &row = QTest::newRow(qPrintable(r.value(0)));
        for (qsizetype i = 1; i <= columns.size(); ++i)
            row << r.value(i);
    }
}
