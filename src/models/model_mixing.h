#pragma once

#include "mix_calc.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class sbatch;
class viewResult_spcn;
struct one_water;

namespace Ui {
class model_mixing;
}

/// The mixing and titration window: mixes two speciated waters of the batch by
/// volume percent, or titrates the first with the second to a pH or an element
/// total, speciates the model water and saves it as a new water of the batch.
///
/// The window keeps no pointer into the batch's waters between actions: both waters
/// are looked up by name at Run and at Save. The model water is the window's own
/// until it is saved; then the batch's sim_data owns it.
class model_mixing : public QWidget
{
    Q_OBJECT

public:
    explicit model_mixing(QWidget *parent = nullptr);
    ~model_mixing() override;

    /// Mixing mode on `batch` (not owned): title "Water Mixing Model", the water
    /// lists filled, the fields and the model water cleared.
    void setup_modelData_mixing(sbatch *batch);
    /// Titration mode on `batch`: as mixing, titled "Titration Model", with the
    /// element list filled.
    void setup_modelData_titration(sbatch *batch);

signals:
    /// A model water was appended to the batch.
    void signal_newWater_added();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_run_clicked();
    void on_pushButton_viewResult_clicked();
    void on_pushButton_save_clicked();
    void on_pushButton_close_clicked();
    void on_doubleSpinBox_volume1_valueChanged(double value);
    void on_doubleSpinBox_volume2_valueChanged(double value);
    void on_radioButton_pH_toggled(bool checked);

private:
    void setup_modelData(sbatch *b, bool titration);
    void settings_read();
    void settings_write();
    void message(const QString &line);
    void clear_model();
    one_water *water_named(const QString &name) const;
    bool read_temperature(double *TC);
    bool read_titration(mix_calc::titration *t);
    void record_model(const mix_calc::mixture &m, const mix_calc::titration *t,
                      const mix_calc::speciation &out);
    QStringList element_names() const;

    Ui::model_mixing *ui = nullptr; ///< owned: the form
    sbatch *batch = nullptr; ///< link: the batch of the workspace
    bool titrationMode = false; ///< titrating (true) or mixing (false)
    std::unique_ptr<one_water> model; ///< the model water of the last run, until saved
    QStringList modelElements; ///< the system's elements when the model was made
    viewResult_spcn *viewer = nullptr; ///< owned: the model water's result window, once made
};
