#include "message_pane.h"

#include <QScrollBar>
#include <QTextEdit>

void message_pane::append(QTextEdit *pane, const QString &line)
{
    if (!pane)
        return;
    pane->append(line);
    // QTextEdit follows new text only while its view is at the very end, which a
    // pane filled before it was laid out never is: move there on every line.
    pane->moveCursor(QTextCursor::End);
    pane->ensureCursorVisible();
    QScrollBar *bar = pane->verticalScrollBar();
    bar->setValue(bar->maximum());
}
