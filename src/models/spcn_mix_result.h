#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

namespace Ui {
class spcn_mix_result;
}

/// The modal dialog that names a model water before it joins the configuration.
/// Save is refused, with a note in the dialog, for an empty name or one that a
/// water of the configuration has already (case ignored).
class spcn_mix_result : public QDialog
{
    Q_OBJECT

public:
    /// `taken`: the names of the configuration's waters; `proposed`: the name offered.
    spcn_mix_result(const QStringList &taken, const QString &proposed, QWidget *parent = nullptr);
    ~spcn_mix_result() override;

    /// The accepted name, trimmed.
    QString name() const;

private slots:
    void on_pushButton_save_clicked();
    void on_pushButton_cancel_clicked();

private:
    void settings_read();
    void settings_write();

    Ui::spcn_mix_result *ui = nullptr; ///< owned: the form
    QStringList names; ///< names a new water may not take
};
