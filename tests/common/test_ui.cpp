#include "test_ui.h"

#include <QApplication>
#include <QLabel>
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
        if (r.size() != columns.size() + 1)
            qFatal("test table: row \"%s\" has %d texts for a name and %d columns",
                   qPrintable(r.value(0)), int(r.size()), int(columns.size()));
        QTestData &row = QTest::newRow(qPrintable(r.value(0)));
        for (qsizetype i = 1; i <= columns.size(); ++i)
            row << r.value(i);
    }
}

namespace {
const QChar ellipsis(0x2026);
}

QString reasonRead(const QLabel *line)
{
    const QString text = line->text();
    return text.endsWith(ellipsis) ? line->toolTip() : QString(text).replace('\n', ' ');
}

bool fitsItsRoom(const QLabel *line)
{
    const QString text = line->text();
    const QRect room = line->contentsRect();
    const QRect needed
        = line->fontMetrics().boundingRect(room, Qt::TextWordWrap | int(line->alignment()), text);
    const QString shown = QString(text).remove(ellipsis).replace('\n', ' ').simplified();
    // Within the room, or less than a third line beyond it.
    return needed.height() < room.height() + line->fontMetrics().lineSpacing() / 2
        && (!text.endsWith(ellipsis) || line->toolTip().simplified().startsWith(shown));
}
