#include "dbviewer.h"

dbviewer::dbviewer(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Dialog"));
    resize(400, 300);
}

dbviewer::~dbviewer() = default;
