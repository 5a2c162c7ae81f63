#pragma once

#include <QString>

/// Folder that holds this test run's redirected settings and scratch files;
/// it is removed when the test executable exits.
QString vek7TestScratchDir();

/// Copies the full reference database (the compiled-in one, else the file the
/// build generated) into `dir` as "db-EQ3v1996.db", replacing any file there;
/// empty text when neither is available or the copy fails.
QString copyGeneratedDb(const QString &dir);
