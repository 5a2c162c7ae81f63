#include "model_mixing.h"
#include "ui_model_mixing.h"

#include "copy_struct.h"
#include "global.h"
#include "input_fields.h"
#include "records.h"
#include "sbatch.h"
#include "spcn_mix_result.h"
#include "viewResult_spcn.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QSettings>
#include <QSignalBlocker>

#include <cmath>

namespace {

const char groupMixing[] = "MIXMODEL"; ///< settings group of the window

QString num(double v)
{
    return QString::number(v, 'g', 6);
}

QString bracketed(const QString &name)
{
    return QStringLiteral("[ ") + name + QStringLiteral(" ]");
}

} // namespace

model_mixing::model_mixing(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::model_mixing)
{
    ui->setupUi(this);
    setWindowFlag(Qt::Window);
    ui->pushButton_viewResult->setEnabled(false);
    ui->pushButton_save->setEnabled(false);
    on_radioButton_pH_toggled(true);

    // Refused entries stay as typed and say why in the message pane.
    const auto tell = [this](const QString &line) { message(line); };
    ui->doubleSpinBox_volume1->setTell(QStringLiteral("volume % of water 1"), tell);
    ui->doubleSpinBox_volume2->setTell(QStringLiteral("volume % of water 2"), tell);
    ui->doubleSpinBox_targetpH->setTell(QStringLiteral("target pH"), tell);
    // The range a run of the mixture accepts; empty for the waters' mean.
    number_rule temperature = number_rule::between(QStringLiteral("temperature"),
                                                   global::TCmin_water, global::TCmax_water);
    temperature.emptyAllowed = true;
    number_field::attach(ui->lineEdit_temperature, temperature, tell);
    number_rule target = number_rule::above(QStringLiteral("target total"), 0.0, true);
    target.emptyAllowed = true;
    number_field::attach(ui->lineEdit_targetConcn, target, tell);
}

model_mixing::~model_mixing()
{
    delete viewer;
    delete ui;
}

void model_mixing::setup_modelData_mixing(sbatch *b)
{
    setup_modelData(b, false);
}

void model_mixing::setup_modelData_titration(sbatch *b)
{
    setup_modelData(b, true);
}

void model_mixing::setup_modelData(sbatch *b, bool titration)
{
    batch = b;
    titrationMode = titration;
    setWindowTitle(titration ? QStringLiteral("Titration Model")
                             : QStringLiteral("Water Mixing Model"));
    ui->label_heading->setText(titration ? QStringLiteral("Water Titration Model")
                                         : QStringLiteral("Water Mixing Model"));
    settings_read();
    ui->groupBox_titration->setVisible(titration);
    // Percents belong to the waters of one configuration: each setup asks for them
    // anew, and a titration shows those it finds.
    for (number_spin_box *box : {ui->doubleSpinBox_volume1, ui->doubleSpinBox_volume2}) {
        box->setEnabled(!titration);
        box->setUnset();
    }
    ui->textEdit_messages->clear();
    ui->lineEdit_temperature->clear();
    ui->lineEdit_targetConcn->clear();
    ui->label_density->clear();
    clear_model();

    // Only waters with a converged result can be mixed.
    QStringList names;
    if (batch)
        for (const one_water *w : std::as_const(batch->sdata->waters))
            if (w && w->results && w->results->converged)
                names << w->name;
    for (QComboBox *box : {ui->comboBox_water1, ui->comboBox_water2}) {
        box->clear();
        box->addItems(names);
    }
    ui->comboBox_water2->setCurrentIndex(names.size() > 1 ? 1 : 0);
    ui->comboBox_element->clear();
    if (batch)
        for (const QString &e : element_names())
            if (e != batch->sdata->nameH && e != batch->sdata->nameO)
                ui->comboBox_element->addItem(e);
    ui->pushButton_run->setEnabled(!names.isEmpty());
    if (names.isEmpty())
        message(QStringLiteral("## No water has a converged speciation result: run the waters "
                               "on the Water Composition page first."));
    else if (titration)
        message(QStringLiteral("Titrate water 1 with water 2 to a pH or to an element total."));
    else
        message(QStringLiteral("Mix two waters by volume percent."));
}

void model_mixing::closeEvent(QCloseEvent *event)
{
    settings_write();
    if (viewer)
        viewer->close();
    event->accept();
}

// ---- settings -------------------------------------------------------------------

void model_mixing::settings_read()
{
    QSettings settings;
    settings.beginGroup(groupMixing);
    restoreGeometry(settings.value("geometry").toByteArray());
    const double pH = settings.value("targetpH", 7.0).toDouble();
    ui->doubleSpinBox_targetpH->setValue(std::isfinite(pH) ? pH : 7.0);
    const int unit = settings.value("unit", 0).toInt();
    ui->comboBox_unit->setCurrentIndex(unit >= 0 && unit < ui->comboBox_unit->count() ? unit : 0);
    settings.endGroup();
}

void model_mixing::settings_write()
{
    QSettings settings;
    settings.beginGroup(groupMixing);
    settings.setValue("geometry", saveGeometry());
    settings.setValue("targetpH", ui->doubleSpinBox_targetpH->value());
    settings.setValue("unit", ui->comboBox_unit->currentIndex());
    settings.endGroup();
    settings.sync();
}

// ---- fields ---------------------------------------------------------------------

void model_mixing::on_doubleSpinBox_volume1_valueChanged(double value)
{
    const QSignalBlocker block(ui->doubleSpinBox_volume2);
    ui->doubleSpinBox_volume2->setValue(100.0 - value);
}

void model_mixing::on_doubleSpinBox_volume2_valueChanged(double value)
{
    const QSignalBlocker block(ui->doubleSpinBox_volume1);
    ui->doubleSpinBox_volume1->setValue(100.0 - value);
}

void model_mixing::on_radioButton_pH_toggled(bool checked)
{
    ui->doubleSpinBox_targetpH->setEnabled(checked);
    ui->comboBox_element->setEnabled(!checked);
    ui->lineEdit_targetConcn->setEnabled(!checked);
    ui->comboBox_unit->setEnabled(!checked);
}

void model_mixing::message(const QString &line)
{
    ui->textEdit_messages->append(line);
}

void model_mixing::clear_model()
{
    model.reset();
    modelElements.clear();
    ui->pushButton_viewResult->setEnabled(false);
    ui->pushButton_save->setEnabled(false);
}

one_water *model_mixing::water_named(const QString &name) const
{
    const int k = batch && !name.isEmpty() ? batch->find_idxBatch_water(name) : -9;
    return k >= 0 ? batch->sdata->waters.at(k) : nullptr;
}

QStringList model_mixing::element_names() const
{
    QStringList names;
    if (batch)
        for (const one_element *e : std::as_const(batch->sdata->elements))
            names << e->name;
    return names;
}

bool model_mixing::read_temperature(double *TC)
{
    const QString text = ui->lineEdit_temperature->text().trimmed();
    if (text.isEmpty()) {
        *TC = std::nan("");
        return true;
    }
    bool ok = false;
    *TC = text.toDouble(&ok);
    if (ok && std::isfinite(*TC))
        return true;
    message(QStringLiteral("## temperature: enter degrees C, or leave the field empty for the "
                           "mass-weighted mean of the two waters"));
    return false;
}

bool model_mixing::read_titration(mix_calc::titration *t)
{
    t->onpH = ui->radioButton_pH->isChecked();
    t->pH = ui->doubleSpinBox_targetpH->value();
    t->element = ui->comboBox_element->currentText();
    t->unit = ui->comboBox_unit->currentIndex();
    if (t->onpH)
        return true;
    bool ok = false;
    t->value = ui->lineEdit_targetConcn->text().trimmed().toDouble(&ok);
    if (t->element.isEmpty()) {
        message(QStringLiteral("## titration: choose the element whose total is aimed at"));
        return false;
    }
    if (!ok || !std::isfinite(t->value) || t->value < 0.0) {
        message(QStringLiteral("## titration: enter the target total of ") + bracketed(t->element)
                + QStringLiteral(" as a number of 0 or more"));
        return false;
    }
    return true;
}

// ---- run ------------------------------------------------------------------------

void model_mixing::on_pushButton_run_clicked()
{
    if (!batch)
        return;
    // A field showing a refused entry holds a value the user did not mean.
    if (const QString refused = number_field::refusedIn(this); !refused.isEmpty()) {
        message(refused);
        return;
    }
    if (!titrationMode
        && (ui->doubleSpinBox_volume1->isUnset() || ui->doubleSpinBox_volume2->isUnset())) {
        message(QStringLiteral("## volume %: enter the percent of water 1 or of water 2 (the "
                               "other is the rest of 100) before Run"));
        return;
    }
    clear_model();
    // Looked up again: the list may have changed since the window was set up.
    const QString name1 = ui->comboBox_water1->currentText();
    const QString name2 = ui->comboBox_water2->currentText();
    const one_water *w1 = water_named(name1);
    const one_water *w2 = water_named(name2);
    for (const auto &[w, name] : {std::pair {w1, name1}, std::pair {w2, name2}})
        if (!w) {
            message(QStringLiteral("## water ") + bracketed(name)
                    + QStringLiteral(" is no longer in the configuration"));
            return;
        }
    double TC = 0.0;
    mix_calc::titration t;
    if (!read_temperature(&TC) || (titrationMode && !read_titration(&t)))
        return;
    t.TC = TC;

    std::unique_ptr<one_water> copy(copy_struct().duplicate_water(w1, batch->sdata->waters));
    mix_calc::mixture m;
    mix_calc::speciation out;
    int rc = 0;
    if (titrationMode) {
        message(QStringLiteral(">> titrating ") + bracketed(name1) + QStringLiteral(" with ")
                + bracketed(name2));
        rc = mix_calc::titrate(batch, w1, w2, t, copy.get(), &m, &out);
    } else {
        rc = mix_calc::mix(batch, w1, w2, ui->doubleSpinBox_volume1->value(),
                           ui->doubleSpinBox_volume2->value(), TC, &m, &out.messages);
        if (rc == 0) {
            mix_calc::prepare_model(batch, copy.get(), m);
            rc = mix_calc::speciate(batch, copy.get(), m, &out);
        }
    }
    if (rc != 0) {
        message(QStringLiteral("## no model water:"));
        for (const QString &line : std::as_const(out.messages))
            message(QStringLiteral("   ") + line);
        return;
    }
    model = std::move(copy);
    modelElements = element_names();
    record_model(m, titrationMode ? &t : nullptr, out);
    message(QStringLiteral(">> model water: ") + num(m.percent1) + QStringLiteral(" % ")
            + bracketed(name1) + QStringLiteral(" + ") + num(m.percent2) + QStringLiteral(" % ")
            + bracketed(name2) + QStringLiteral(" by volume"));
    message(QStringLiteral("   pH ") + QString::number(out.pH, 'f', 4)
            + QStringLiteral(", temperature ") + num(m.TC) + QStringLiteral(" C, density ")
            + num(m.densitymass) + QStringLiteral(" g/cm3 (") + QString::number(out.trials)
            + QStringLiteral(" speciation runs)"));
    if (model->stag_O2g)
        message(QStringLiteral("   the O2(g) condition of ") + bracketed(name1)
                + QStringLiteral(" is carried over; mixing does not conserve it"));
    if (titrationMode) {
        // The volumes the titration found are the answer the user asked for: show them
        // where the mixture's volumes stand.
        const QSignalBlocker block1(ui->doubleSpinBox_volume1);
        const QSignalBlocker block2(ui->doubleSpinBox_volume2);
        ui->doubleSpinBox_volume1->setValue(m.percent1);
        ui->doubleSpinBox_volume2->setValue(m.percent2);
    }
    ui->label_density->setText(QStringLiteral("density ") + num(m.densitymass)
                               + QStringLiteral(" g/cm3"));
    ui->pushButton_viewResult->setEnabled(true);
    ui->pushButton_save->setEnabled(true);
}

void model_mixing::record_model(const mix_calc::mixture &m, const mix_calc::titration *t,
                                const mix_calc::speciation &out)
{
    global gl;
    model->statmixing = t == nullptr;
    model->stattitrate = t != nullptr;
    delete model->mixdata;
    auto *md = new one_water_mixModel;
    model->mixdata = md;
    md->idwaterone = batch->find_idxBatch_water(m.name1);
    md->idwatertwo = batch->find_idxBatch_water(m.name2);
    md->namewaterone = m.name1;
    md->namewatertwo = m.name2;
    md->volumeone = m.percent1;
    md->volumetwo = m.percent2;
    md->targetTC = m.TC;
    QString how = QStringLiteral("mixed: ") + num(m.percent1) + QStringLiteral(" % ")
        + bracketed(m.name1) + QStringLiteral(" + ") + num(m.percent2) + QStringLiteral(" % ")
        + bracketed(m.name2) + QStringLiteral(" by volume");
    if (t) {
        md->titrationph = t->onpH;
        md->targetph = t->onpH ? t->pH : 0.0;
        if (!t->onpH) {
            md->idelement = batch->find_idxBatch_element(t->element);
            md->nameelement = t->element;
            md->targetconcn = t->value;
            md->targetcunit = t->unit;
        }
        how = QStringLiteral("titrated to ")
            + (t->onpH ? QStringLiteral("pH ") + num(t->pH)
                       : t->element + QLatin1Char(' ') + num(t->value) + QLatin1Char(' ')
                       + gl.unitConcn_toString(t->unit))
            + QStringLiteral("; ") + how;
    }
    const QString date = QDateTime::currentDateTime().toString(Qt::TextDate);
    QString notes = QStringLiteral("----- model water made on ") + date + QStringLiteral(": ") + how
        + QStringLiteral(" at ") + num(m.TC) + QStringLiteral(" C; pH ")
        + QString::number(out.pH, 'f', 4)
        + QStringLiteral(" keeps the net charge of the two waters");
    if (model->stag_O2g)
        notes += QStringLiteral("\nThe O2(g) condition is that of ") + bracketed(m.name1)
            + QStringLiteral(", carried over: mixing does not conserve it.");
    model->description += (model->description.isEmpty() ? QString() : QStringLiteral("\n")) + notes;
}

// ---- result and save --------------------------------------------------------------

void model_mixing::on_pushButton_viewResult_clicked()
{
    if (!batch || !model || !model->results) {
        message(QStringLiteral("## no model water to show: run first"));
        return;
    }
    if (!viewer) {
        viewer = new viewResult_spcn;
        viewer->setWindowTitle(QStringLiteral("Model Water Result"));
    }
    viewer->update_ui_resultMixedWater(batch, model.get());
    viewer->show();
    viewer->raise();
}

void model_mixing::on_pushButton_save_clicked()
{
    if (!batch || !model || !model->mixdata) {
        message(QStringLiteral("## no model water to save: run first"));
        return;
    }
    one_water_mixModel *md = model->mixdata;
    for (const QString &name : {md->namewaterone, md->namewatertwo}) {
        const one_water *w = water_named(name);
        if (!w || !w->results) {
            message(QStringLiteral("## water ") + bracketed(name)
                    + QStringLiteral(" is no longer in the configuration with a result; run "
                                     "the model again. Nothing was saved."));
            return;
        }
    }
    if (element_names() != modelElements) {
        message(QStringLiteral("## the chemical system changed since the run; run the model "
                               "again. Nothing was saved."));
        return;
    }
    QStringList taken;
    for (const one_water *w : std::as_const(batch->sdata->waters))
        if (w)
            taken << w->name;
    spcn_mix_result naming(taken, model->name, this);
    if (naming.exec() != QDialog::Accepted) {
        message(QStringLiteral("## model water not saved"));
        return;
    }
    model->name = naming.name();
    md->idwaterone = batch->find_idxBatch_water(md->namewaterone);
    md->idwatertwo = batch->find_idxBatch_water(md->namewatertwo);
    sim_data *sd = batch->sdata;
    sd->waters.append(sd->own(model.release()));
    sd->nwaters = int(sd->waters.size());
    message(QStringLiteral(">> model water saved as ") + bracketed(naming.name()));
    clear_model();
    emit signal_newWater_added();
}

void model_mixing::on_pushButton_close_clicked()
{
    close();
}
