#pragma once

#include "result_snapshot.h"
#include "thermo.h"

#include <QWidget>

class sbatch;

namespace Ui {
class export_data;
}

/// The export dialog: writes the setup of a configuration and one water's
/// composition and result as delimited text. It works on a copy of the batch
/// taken by setup_water(), so it stays usable after the batch changes or is
/// freed. It deletes itself when closed.
class export_data : public QWidget
{
    Q_OBJECT

public:
    explicit export_data(QWidget *parent = nullptr);
    ~export_data() override;

    /// Takes a copy of `batch`, offers its waters in the water list and selects
    /// the one at `waterIndex`.
    void setup_water(sbatch *batch, int waterIndex);

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_browse_clicked();
    void on_pushButton_export_clicked();
    void on_pushButton_close_clicked();

private:
    void settings_read();
    void settings_write();
    /// Asks for a file to write; empty when the user cancels.
    QString ask_file();
    void message(const QString &line);

    Ui::export_data *ui = nullptr; ///< owned: the form
    thermo th; ///< log K of the solid reactions
    batch_copy copy; ///< what the dialog writes
    QString folder; ///< folder of the last file written
    QString confirmed; ///< file the user agreed to replace (chosen in the file dialog or written)
};
