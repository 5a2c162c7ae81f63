#pragma once

#include <QDialog>

/// An empty dialog kept for a future view of a database's tables: titled
/// "Dialog", 400 x 300, without widgets or behaviour. Nothing opens it yet.
class dbviewer : public QDialog
{
    Q_OBJECT

public:
    explicit dbviewer(QWidget *parent = nullptr);
    ~dbviewer() override;
};
