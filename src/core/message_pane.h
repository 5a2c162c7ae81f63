#pragma once

#include <QString>

class QTextEdit;

/// The read-only message panes of the windows, where every report is a line
/// appended at the end.
namespace message_pane {

/// Appends `line` to `pane` and scrolls the pane so that its newest line is in view.
void append(QTextEdit *pane, const QString &line);

} // namespace message_pane
