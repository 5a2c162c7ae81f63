#pragma once

class QApplication;

/// The program from its main window to the end of its event loop: builds the
/// main window, applies the style sheet, shows the window, runs the first-run
/// step and the event loop, and destroys the window. Returns the loop's exit code.
int program_run(QApplication &app);
