#pragma once

#include <QString>

/// Folder that holds this test run's redirected settings and scratch files;
/// it is removed when the test executable exits.
QString vek7TestScratchDir();
