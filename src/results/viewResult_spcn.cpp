#include "viewResult_spcn.h"
#include "ui_viewResult_spcn.h"

#include "records.h"
#include "sbatch.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLayout>
#include <QScrollBar>
#include <QSettings>
#include <QShowEvent>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace {

const char groupViewer[] = "viewspcn"; ///< settings group of the window
const int valueColumn = 1; ///< column of the Properties tab holding the values

using result_snapshot::num;

QTableWidgetItem *cell(const QString &text, bool number = false)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

/// Fills `t` with `rows`; column 0 left-aligned, the others right-aligned. The
/// column widths stay as they are.
void fill(QTableWidget *t, const QList<QStringList> &rows)
{
    t->clearContents();
    t->setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i)
        for (int j = 0; j < rows[i].size() && j < t->columnCount(); ++j)
            t->setItem(i, j, cell(rows[i][j], j > 0));
}

/// Width that fits column `c` of `t` to its texts and title.
int fitWidth(const QTableWidget *t, int c)
{
    const QAbstractItemView *view = t; // the hint is public as an item view
    return std::max(view->sizeHintForColumn(c), t->horizontalHeader()->sectionSizeHint(c));
}

/// Fits the columns of `t` to their texts and titles: every column, or with
/// `narrowOnly` just those too narrow for them, so that a width the user chose stays.
void fitColumns(QTableWidget *t, bool narrowOnly)
{
    // Column by column, so that a stretched last column keeps its fitted width as
    // the least it shrinks to.
    for (int c = 0; c < t->columnCount(); ++c)
        if (!narrowOnly || t->columnWidth(c) < fitWidth(t, c))
            t->resizeColumnToContents(c);
}

/// Width column `c` of `t` needs for its title and texts; a text whole in its tool
/// tip does not count, as it may show cut short.
int columnNeed(const QTableWidget *t, int c)
{
    int need = t->horizontalHeader()->sectionSizeHint(c);
    for (int r = 0; r < t->rowCount(); ++r)
        if (const QTableWidgetItem *i = t->item(r, c); i && i->toolTip().isEmpty())
            need = std::max(
                need, t->sizeHintForIndex(t->model()->index(r, c)).width() + int(t->showGrid()));
    return need;
}

QString fixed4(double v)
{
    return QString::number(v, 'f', 4);
}

QString notComputed(double v)
{
    return v == 0.0 ? QStringLiteral("not computed") : num(v);
}

} // namespace

viewResult_spcn::viewResult_spcn(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::viewResult_spcn)
{
    ui->setupUi(this);
    // the result panes take the room the window gains
    ui->splitter->setStretchFactor(0, 1);
    ui->splitter->setStretchFactor(1, 3);
    {
        const QSignalBlocker block(ui->comboBox_unitSolutes);
        ui->comboBox_unitSolutes->addItems(result_calc::unit_names());
    }
    ui->tableWidget_properties->viewport()->installEventFilter(this);
    settings_read();
}

viewResult_spcn::~viewResult_spcn()
{
    delete ui;
}

void viewResult_spcn::update_ui_result(sbatch *batch, int waterIndex)
{
    waters.clear();
    int current = -1;
    if (batch && batch->sdata) {
        const sim_data *sd = batch->sdata;
        for (int i = 0; i < sd->waters.size(); ++i) {
            const one_water *w = sd->waters.at(i);
            if (!w || !w->results)
                continue;
            if (i == waterIndex)
                current = int(waters.size());
            waters << result_snapshot::copy_water(sd, w, i, th);
        }
    }
    populate_waters(current);
}

void viewResult_spcn::update_ui_resultMixedWater(sbatch *batch, one_water *model)
{
    waters.clear();
    if (batch && batch->sdata && model && model->results)
        waters << result_snapshot::copy_water(batch->sdata, model, -1, th);
    populate_waters(waters.isEmpty() ? -1 : 0);
}

void viewResult_spcn::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Texts and titles whole in the font the window shows: a table without rows yet
    // fits its titles, a filled one widens what its texts in that font need.
    for (QTableWidget *t : findChildren<QTableWidget *>())
        fitColumns(t, fitted.contains(t));
    keep_valuesInView();
    fit_watersPane();
}

bool viewResult_spcn::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->tableWidget_properties->viewport()
        && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        keep_valuesInView();
    return QWidget::eventFilter(watched, event);
}

void viewResult_spcn::keep_valuesInView()
{
    // The values stand at the right of their column: one wider than the view would
    // hide them all. It narrows to the room the view leaves, but not below what the
    // values need; the water's name then shows cut short, whole in its tool tip and
    // above the panes.
    QTableWidget *t = ui->tableWidget_properties;
    if (!t->isVisible())
        return;
    const int room = t->viewport()->width() - t->columnWidth(0) - columnNeed(t, valueColumn + 1);
    const int width = std::max(room, columnNeed(t, valueColumn));
    if (t->columnWidth(valueColumn) > width)
        t->setColumnWidth(valueColumn, width);
}

int viewResult_spcn::resultsNeed() const
{
    const QWidget *page = ui->tabWidget_result->currentWidget();
    int need = 0;
    for (const QTableWidget *t : ui->tabWidget_result->findChildren<QTableWidget *>()) {
        const QMargins m = t->parentWidget()->layout()->contentsMargins();
        int width = ui->tabWidget_result->width() - page->width() + m.left() + m.right()
            + 2 * t->frameWidth() + t->verticalScrollBar()->sizeHint().width();
        for (int c = 0; c < t->columnCount(); ++c)
            width += columnNeed(t, c);
        need = std::max(need, width);
    }
    return need;
}

void viewResult_spcn::fill_table(QTableWidget *t, const QList<QStringList> &rows)
{
    fill(t, rows);
    // Columns are fitted to the first rows a table shows; after that they keep the
    // widths they have, which the user may have changed, through every change of
    // water, sort order or unit, unless new texts need more: a name or number is
    // never shown cut off.
    if (rows.isEmpty())
        return;
    fitColumns(t, fitted.contains(t));
    fitted.insert(t);
}

void viewResult_spcn::fit_watersPane()
{
    // Once per list of waters given, when the window shows it: the list pane gets the
    // width its columns need, so that none hides behind the scroll bar; in between
    // the splitter stays where the user puts it.
    QTableWidget *t = ui->tableWidget_waters;
    if (!paneToFit || !isVisible() || !fitted.contains(t))
        return;
    paneToFit = false;
    const QMargins m = ui->verticalLayout_waters->contentsMargins();
    // A stretched last column fills whatever room the view has, the scroll bar's
    // too while it is hidden: its width is no need, or each list given widens the pane.
    const int last = t->columnCount() - 1;
    int columns = 0;
    for (int c = 0; c < t->columnCount(); ++c)
        columns += c == last && t->horizontalHeader()->stretchLastSection() ? fitWidth(t, c)
                                                                            : t->columnWidth(c);
    const int need = columns + 2 * t->frameWidth() + t->verticalScrollBar()->sizeHint().width()
        + m.left() + m.right();
    const QList<int> sizes = ui->splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (sizes.value(0) >= need || total <= 0)
        return;
    // The result panes keep at least half the room, and the list widens no further
    // than leaves them the room their columns need.
    const int list = std::min({need, total / 2, std::max(sizes.value(0), total - resultsNeed())});
    ui->splitter->setSizes({list, total - list});
}

void viewResult_spcn::closeEvent(QCloseEvent *event)
{
    settings_write();
    event->accept();
}

// ---- settings -------------------------------------------------------------------

void viewResult_spcn::settings_read()
{
    QSettings settings;
    settings.beginGroup(groupViewer);
    restoreGeometry(settings.value("geometry").toByteArray());
    auto choose = [&settings](QComboBox *box, const char *key) {
        const int i = settings.value(key, 0).toInt();
        const QSignalBlocker block(box);
        box->setCurrentIndex(i >= 0 && i < box->count() ? i : 0);
    };
    choose(ui->comboBox_unitSolutes, "unit");
    choose(ui->comboBox_sortSolutes, "sortSolutes");
    choose(ui->comboBox_sortGases, "sortGases");
    choose(ui->comboBox_sortMinerals, "sortMinerals");
    settings.endGroup();
}

void viewResult_spcn::settings_write()
{
    QSettings settings;
    settings.beginGroup(groupViewer);
    settings.setValue("geometry", saveGeometry());
    settings.setValue("unit", ui->comboBox_unitSolutes->currentIndex());
    settings.setValue("sortSolutes", ui->comboBox_sortSolutes->currentIndex());
    settings.setValue("sortGases", ui->comboBox_sortGases->currentIndex());
    settings.setValue("sortMinerals", ui->comboBox_sortMinerals->currentIndex());
    settings.endGroup();
    settings.sync();
}

// ---- the list of waters -------------------------------------------------------------

void viewResult_spcn::populate_waters(int current)
{
    QList<QStringList> rows;
    for (const water_copy &w : std::as_const(waters))
        rows << QStringList {w.name, fixed4(w.result.pH), num(w.result.TC),
                             w.result.converged ? QStringLiteral("yes") : QStringLiteral("no")};
    {
        const QSignalBlocker block(ui->tableWidget_waters);
        fill_table(ui->tableWidget_waters, rows);
        shown = current >= 0 && current < waters.size() ? current : -1;
        if (shown >= 0)
            ui->tableWidget_waters->setCurrentCell(shown, 0);
    }
    show_water();
    paneToFit = true;
    fit_watersPane();
}

void viewResult_spcn::on_tableWidget_waters_currentCellChanged(int row, int, int, int)
{
    shown = row >= 0 && row < waters.size() ? row : -1;
    show_water();
}

const water_copy *viewResult_spcn::selected() const
{
    return shown >= 0 && shown < waters.size() ? &waters.at(shown) : nullptr;
}

void viewResult_spcn::show_water()
{
    const water_copy *w = selected();
    ui->label_water->setText(w ? QStringLiteral("Water: ") + w->name
                               : QStringLiteral("No water with a result is selected."));
    populate_properties();
    populate_solutes();
    populate_gases();
    populate_minerals();
}

// ---- the panes ------------------------------------------------------------------------

void viewResult_spcn::populate_properties()
{
    const water_copy *w = selected();
    if (!w) {
        fill_table(ui->tableWidget_properties, {});
        return;
    }
    const result_copy &r = w->result;
    const QString none;
    fill_table(
        ui->tableWidget_properties,
        {
            {QStringLiteral("Water"), w->name, none},
            {QStringLiteral("Date of the run"), r.date, none},
            {QStringLiteral("Temperature"), num(r.TC), QStringLiteral("degrees C")},
            {QStringLiteral("Density"), num(r.density), QStringLiteral("g/cm3")},
            {QStringLiteral("pH"), fixed4(r.pH), none},
            {QStringLiteral("pH scale"), r.pHscale, none},
            {QStringLiteral("Activity of water"), num(r.waterActivity), none},
            {QStringLiteral("Ionic strength"), num(r.ionicStrength),
             QStringLiteral("mol/kg water")},
            {QStringLiteral("Net charge"), num(r.netCharge), QStringLiteral("eq/kg water")},
            {QStringLiteral("Carbonate alkalinity"), num(r.alkCarb), QStringLiteral("eq/kg water")},
            {QStringLiteral("Total dissolved solids"), num(r.tds),
             QStringLiteral("mg/kg of water")},
            {QStringLiteral("Conductivity"), notComputed(r.conduct), none},
            {QStringLiteral("Dielectric constant"), notComputed(r.dielectConst), none},
            {QStringLiteral("Iterations"), QString::number(r.loops), none},
            {QStringLiteral("Convergence value"), num(r.cvgValue), none},
            {QStringLiteral("Converged"),
             r.converged ? QStringLiteral("yes") : QStringLiteral("no"), none},
        });
    ui->tableWidget_properties->item(0, valueColumn)->setToolTip(w->name);
    keep_valuesInView();
}

void viewResult_spcn::populate_solutes()
{
    const water_copy *w = selected();
    const int u = ui->comboBox_unitSolutes->currentIndex();
    ui->tableWidget_solutes->setHorizontalHeaderItem(
        1, new QTableWidgetItem(result_calc::unit_names().value(u)));
    QList<QStringList> rows;
    if (w) {
        const result_copy &r = w->result;
        const QList<int> order = result_calc::sort_species(
            r.solutes, ui->comboBox_sortSolutes->currentIndex(), u, r.density);
        for (int i : order) {
            const result_calc::species_value &s = r.solutes.at(i);
            const double c = result_calc::convert(s, u, r.density);
            const double a = result_calc::log10_activity(s.molal, s.gamma);
            rows << QStringList {s.name, std::isnan(c) ? QStringLiteral("n/a") : num(c),
                                 num(s.gamma),
                                 std::isfinite(a) ? fixed4(a) : QStringLiteral("n/a")};
        }
    }
    fill_table(ui->tableWidget_solutes, rows);
}

void viewResult_spcn::populate_gases()
{
    const water_copy *w = selected();
    QList<QStringList> rows;
    if (w) {
        const result_copy &r = w->result;
        // gases are ranked by fugacity, which the molal unit leaves as it is
        const QList<int> order = result_calc::sort_species(
            r.gases, ui->comboBox_sortGases->currentIndex(), result_calc::unit_molal, r.density);
        for (int i : order) {
            const result_calc::species_value &g = r.gases.at(i);
            rows << QStringList {g.name, num(g.molal),
                                 g.molal > 0.0 ? fixed4(std::log10(g.molal))
                                               : QStringLiteral("n/a")};
        }
    }
    fill_table(ui->tableWidget_gases, rows);
}

void viewResult_spcn::populate_minerals()
{
    const water_copy *w = selected();
    QList<QStringList> rows;
    QString note;
    if (w) {
        const result_copy &r = w->result;
        note = r.noSolids;
        const QString again = QStringLiteral("n/a (run again)");
        const QList<int> order
            = result_calc::sort_minerals(r.solids, ui->comboBox_sortMinerals->currentIndex());
        for (int i : order) {
            const result_calc::saturation &s = r.solids.at(i);
            const QString na = s.missing.isEmpty() ? QStringLiteral("n/a") : again;
            rows << QStringList {s.mineral, s.hasLogK ? fixed4(s.logK) : QStringLiteral("n/a"),
                                 s.missing.isEmpty() ? fixed4(s.logIAP) : again,
                                 s.complete() ? fixed4(s.SI) : na,
                                 s.complete() ? num(s.ratio) : na};
        }
        if (!r.solids.isEmpty())
            note = QStringLiteral("%1 mineral reactions at %2 C.")
                       .arg(r.solids.size())
                       .arg(num(r.TC));
    }
    ui->label_minerals->setText(note);
    fill_table(ui->tableWidget_minerals, rows);
}

void viewResult_spcn::on_comboBox_unitSolutes_currentIndexChanged(int)
{
    populate_solutes();
}

void viewResult_spcn::on_comboBox_sortSolutes_currentIndexChanged(int)
{
    populate_solutes();
}

void viewResult_spcn::on_comboBox_sortGases_currentIndexChanged(int)
{
    populate_gases();
}

void viewResult_spcn::on_comboBox_sortMinerals_currentIndexChanged(int)
{
    populate_minerals();
}
