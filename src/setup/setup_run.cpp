// The speciation run of the current water: the consistency check against the
// chemical system, the engine call, the completion of the result, the status line
// and the results window.

#include "setup.h"

#include "input_fields.h"
#include "sbatch.h"
#include "sim0D.h"
#include "ui_setup.h"
#include "viewResult_spcn.h"

#include <QDebug>
#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QTextLayout>

#include <cmath>
#include <limits>

namespace {

const QString styleCleared = QStringLiteral("background-color: #bbb;");
const QString styleError = QStringLiteral("background-color: #fd7;");
const QString styleDone = QStringLiteral("background-color: #adf;");

QString num(double v)
{
    return QString::number(v, 'g', 6);
}

/// A stored number as the program writes it, with all its digits ("nan", "inf").
QString storedText(double v)
{
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

/// True for a number a field shows as it is: finite, and 0 or a normal double.
bool plainNumber(double v)
{
    return std::isfinite(v) && (v == 0.0 || std::abs(v) >= std::numeric_limits<double>::min());
}

/// The check's line for the stored value `v` of the field `what` when the field's
/// `rule` would refuse it typed; empty when it takes it. A plain number out of range
/// gets `outOfRange` when one is given, any other the value and the field's reason.
QString storedRefusal(const QString &what, const number_rule &rule, double v,
                      const QString &outOfRange = QString())
{
    const QString text = storedText(v);
    const QString reason = rule.refusal(text);
    if (reason.isEmpty())
        return QString();
    if (!outOfRange.isEmpty() && plainNumber(v))
        return outOfRange;
    return what + QStringLiteral(": current value [ ") + text + QStringLiteral(" ] refused: ")
        + reason;
}

/// How the check names the amount set for `element`.
QString compositionSet(const QString &element)
{
    return QStringLiteral("composition set for [ ") + element + QStringLiteral(" ]");
}

/// The check's line for an amount set for `element` that its cell refuses: one
/// above 0 is all the cell takes.
QString amountRefusal(const QString &element, double v)
{
    const QString what = compositionSet(element);
    return storedRefusal(what, setup::rule_amount(what), v,
                         what + QStringLiteral(" is ") + num(v)
                             + QStringLiteral(" (an amount must be greater than 0)"));
}

/// setup_simulation: the engine refused the water before iterating.
constexpr int runRefused = 2;

/// `line` without the pane's leading markers ("####", ">>"): the status says "error"
/// where a reason stands.
QString withoutMarkers(const QString &line)
{
    qsizetype k = 0;
    while (k < line.size() && (line.at(k) == u'#' || line.at(k) == u'>' || line.at(k) == u' '))
        ++k;
    return line.mid(k).trimmed();
}

const QString reasonTip
    = QStringLiteral("Why the last run or entry was refused\n(also in Messages)");
constexpr char propWhole[] = "vek7_wholeReason"; ///< the reason a line shows, whole

/// `text` as it fits in the two lines of `label`: whole, or its second line cut at
/// the end with an ellipsis.
QString fitTwoLines(const QLabel *label, const QString &text)
{
    const int indent = qMax(label->indent(), 0);
    const int width = label->contentsRect().width() - 2 * label->margin() - indent;
    if (text.isEmpty() || width <= 0)
        return text;
    QTextLayout layout(text, label->font());
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(wrap);
    layout.beginLayout();
    QTextLine first = layout.createLine();
    first.setLineWidth(width);
    QTextLine second = layout.createLine();
    if (second.isValid())
        second.setLineWidth(width);
    const bool more = second.isValid() && layout.createLine().isValid();
    layout.endLayout();
    if (!more)
        return text;
    // The break is written out, so the label wraps the first line where it was measured.
    const qsizetype cut = second.textStart();
    return text.left(cut).trimmed() + QLatin1Char('\n')
        + label->fontMetrics().elidedText(text.mid(cut).trimmed(), Qt::ElideRight, width);
}

/// Fits a reason line's text anew whenever its width or font changes.
class reason_fit : public QObject
{
public:
    using QObject::QObject;

    /// Shows `reason` on `label`, fitted, the whole of it in the line's tool tip.
    static void show(QLabel *label, const QString &reason)
    {
        if (!label->property(propWhole).isValid())
            label->installEventFilter(new reason_fit(label));
        label->setProperty(propWhole, reason);
        label->setToolTip(reason.isEmpty() ? reasonTip
                                           : reason + QStringLiteral("\n(also in Messages)"));
        label->setText(fitTwoLines(label, reason));
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        const QEvent::Type t = event->type();
        if (t == QEvent::Resize || t == QEvent::FontChange || t == QEvent::StyleChange) {
            auto *label = static_cast<QLabel *>(object);
            const QString fitted = fitTwoLines(label, label->property(propWhole).toString());
            if (fitted != label->text())
                label->setText(fitted);
        }
        return QObject::eventFilter(object, event);
    }
};

} // namespace

void setup::set_status(const QString &text, const QString &style)
{
    ui->lineEdit_spcnStat->setText(text);
    ui->lineEdit_spcnStat->setStyleSheet(style);
}

void setup::show_reason(const QString &line)
{
    QString reason = withoutMarkers(line);
    // While a refused entry stands the line names the newest of them.
    const QString entry = reason.isEmpty() ? refused_line() : QString();
    flag_reasonRefusal = !entry.isEmpty();
    if (flag_reasonRefusal)
        reason = withoutMarkers(entry);
    // While entries stand refused, the Solution Properties tab names the newest of
    // its own fields' entries, and none of another tab's.
    const auto propsReason = [&] {
        const QList<refused_entry> mine = refused.of(current_water());
        for (auto e = mine.crbegin(); e != mine.crend(); ++e)
            if (e->place == ui->lineEdit_temperature->objectName()
                || e->place == ui->lineEdit_massDensity->objectName())
                return withoutMarkers(e->line);
        return mine.isEmpty() ? reason : QString();
    };
    // The line keeps the room of two lines, shown or not: a reason that appears
    // must not move Run or the tables under the pointer. A longer one is cut with
    // an ellipsis, the whole of it in the line's tool tip.
    for (QLabel *label : {ui->label_spcnReason, ui->label_solnPropsReason}) {
        label->ensurePolished();
        reason_fit::show(label, label == ui->label_spcnReason ? reason : propsReason());
        label->setFixedHeight(2 * label->fontMetrics().lineSpacing() + 2 * label->margin());
        // Its height is fixed: a text must not make the page's height depend on its
        // width (the label asks for that when it wraps).
        QSizePolicy policy = label->sizePolicy();
        policy.setHeightForWidth(false);
        label->setSizePolicy(policy);
    }
}

void setup::refuse(const QString &line)
{
    message(line);
    show_reason(line);
}

void setup::tell_refusal(const QString &line)
{
    refuse(line);
    flag_reasonRefusal = true;
    // Told once: shown again after a rewrite of the pages, it is not told again.
    const one_water *w = current_water();
    for (const refused_entry &e : refused.of(w))
        if (e.line == line)
            refused.find(w, e.place)->told = e.text;
}

void setup::refusal_answered()
{
    // A refusal on the line gives way to the next entry still refused; an empty line
    // takes up one that a rebuild of the pages brought back.
    if (flag_reasonRefusal || ui->label_spcnReason->text().isEmpty())
        show_reason(QString());
}

void setup::statusDriver_reset()
{
    flag_statusCleared = true;
    set_status(QString(), styleCleared);
    show_reason(QString());
    flag_unsaved = true;
}

void setup::clear_status_and_pane()
{
    ui->textEdit_Messages->clear();
    flag_paneAtEnd = true;
    set_status(QString(), styleCleared);
    show_reason(QString());
    flag_statusCleared = true;
}

void setup::mark_edit()
{
    if (!flag_statusCleared)
        statusDriver_reset();
    // An accepted edit answers an earlier refusal.
    show_reason(QString());
    set_modified();
}

void setup::statusDriver_error(const QStringList *messages)
{
    if (messages) {
        for (const QString &line : *messages)
            message(line);
        if (!messages->isEmpty())
            show_reason(messages->first());
    }
    set_modified();
}

void setup::prepare_water_for_run(int index)
{
    one_water *w = water_at(index);
    if (!w)
        return;
    // A water read from a file and never shown still needs its entries, their
    // species lists and its swap reactions from the current system.
    follow_O2g_condition(w);
    populate_sW_consistency_elements(index);
    reset_rxnsSwap_waters(index);
}

void setup::on_pushButton_spcn_clicked()
{
    one_water *w = current_water();
    if (!w) {
        refuse(QStringLiteral("##  speciation: no water is selected"));
        return;
    }
    // A refused entry holds a value the user did not mean: running the stored one
    // instead would look like a run of the entry.
    if (const QString entry = refused_line(); !entry.isEmpty()) {
        const QString why
            = QStringLiteral("correct the refused entry first: ") + withoutMarkers(entry);
        message(QStringLiteral("##  speciation: ") + why);
        set_status(QString(), styleCleared);
        flag_statusCleared = true;
        show_reason(why);
        flag_reasonRefusal = true;
        return;
    }
    flag_statusCleared = false;
    show_reason(QString());
    const int cw = batch->sdata->currentWater;
    prepare_water_for_run(cw);

    QStringList errors;
    w->alkSolutes.clear();
    w->alkCoeffs.clear();
    if (propsWater.setup_alkalinityEqn(batch, *w) != 0) {
        if (w->alkSet)
            errors << QStringLiteral("SWS: ## Failed to construct alkalinity equation.");
        else
            qDebug().noquote() << "SWS: ## could not set up alkalinity eqn. (non-essential).";
    }
    // The check shows its own first message as the reason; an alkalinity expression
    // that failed alone gives its line instead.
    const bool checked = check_dataConsistency(cw) == 0;
    if (!checked)
        errors << QStringLiteral("inconsistency found in simulation setup");
    if (!errors.isEmpty()) {
        message(QStringLiteral("## error found while preparing for speciation simulation"));
        for (const QString &e : std::as_const(errors))
            message(e);
        set_status(QStringLiteral("Config ERR"), styleError);
        if (checked)
            show_reason(errors.first());
        return;
    }

    const int rc = setup_simulation(cw);
    if (rc == runRefused) {
        const QString line
            = QStringLiteral(">> #### Speciation refused; the previous result is kept");
        message(line);
        set_status(QStringLiteral("Config ERR"), styleError);
        if (ui->label_spcnReason->text().isEmpty())
            show_reason(line);
        return;
    }
    if (rc != 0) {
        const QString line = QStringLiteral(">> #### Failed to converge");
        message(line);
        set_status(QStringLiteral("   CVG ERR"), styleError);
        // The engine's first message says why; without one, this line does.
        if (ui->label_spcnReason->text().isEmpty())
            show_reason(line);
    } else {
        message(QStringLiteral(">> Speciation completed"));
        set_status(QStringLiteral("     DONE"), styleDone);
    }
    const one_water_result *r = w->results;
    message(QStringLiteral("   convergence value ") + num(r->cvgValue));
    message(QStringLiteral("   iteration count ") + QString::number(r->loops));
    message(QStringLiteral("   net charge balance ") + num(r->chargebalance));
    populate_sW_Waters_results(cw);
}

QStringList setup::check_unservedChoices(const one_water *w) const
{
    // Choices a file may carry that the system cannot serve: each named with what the
    // user can do about it on the Water Composition tab.
    QStringList msgs;
    for (const one_elementComp *e : w->composition) {
        const QStringList needs = missing_species(swap_record(e->swaprxn));
        if (!e->swaprxn.isEmpty() && !needs.isEmpty())
            msgs << QStringLiteral("swap reaction [ ") + e->swaprxn + QStringLiteral(" ] of [ ")
                    + e->element + QStringLiteral(" ] needs ") + needs.join(QStringLiteral(", "))
                    + QStringLiteral(", not in this system: choose \" swap options\" or another "
                                     "reaction in the option list of ")
                    + e->element;
        if (!e->solute.isEmpty() && e->solute != e->element
            && batch->find_idxBatch_solute(e->solute) < 0)
            msgs << QStringLiteral("species [ ") + e->solute + QStringLiteral(" ] chosen for [ ")
                    + e->element
                    + QStringLiteral(" ] is not in this system: choose the element or another "
                                     "species in the row of ")
                    + e->element;
    }
    if (w->stag_O2g) {
        const QStringList needs = missing_species(swap_record(w->redoxO2gSwaprxn));
        if (!w->redoxO2gSwaprxn.isEmpty() && !needs.isEmpty())
            msgs << QStringLiteral("swap reaction [ ") + w->redoxO2gSwaprxn
                    + QStringLiteral(" ] of [ O2(g) ] needs ") + needs.join(QStringLiteral(", "))
                    + QStringLiteral(", not in this system: choose \" swap options\" or another "
                                     "reaction in the option list of O2(g)");
    }
    return msgs;
}

QStringList setup::check_storedValues(const one_water *w) const
{
    // A file can hold what no field would take: each number is judged as its field
    // would judge it typed, so a run never starts from one.
    QStringList msgs;
    const double TC = w->TC;
    msgs << storedRefusal(
        QStringLiteral("temperature"), rule_temperature(), TC,
        QStringLiteral("temperature: current value is %1 than %2 degrees C")
            .arg(TC < global::TCmin_water ? QStringLiteral("less") : QStringLiteral("greater"))
            .arg(TC < global::TCmin_water ? global::TCmin_water : global::TCmax_water));
    // Molar amounts are molal ones times the density: at 0 every one would be 0.
    const double d = w->densitymass;
    const QString density = storedRefusal(
        QStringLiteral("water mass density"), rule_density(), d,
        d <= 0.0 ? QStringLiteral("water mass density: current value is not greater than 0 g/cc")
                 : QString());
    msgs << density;

    const sim_data *sd = batch->sdata;
    for (const one_elementComp *e : w->composition) {
        const QString what = compositionSet(e->element);
        if (e->element != sd->nameH) {
            msgs << amountRefusal(e->element, e->molal);
        } else if (w->typeH == global::pH) {
            // The run takes the Molar amount as the activity 10^-pH the pH cell shows.
            const bool shown = plainNumber(e->Molar) && e->Molar > 0.0;
            msgs << (shown ? storedRefusal(QStringLiteral("pH"), rule_pH(), -std::log10(e->Molar))
                           : storedRefusal(what, rule_hplus(what, 1.0), e->Molar));
        } else {
            // The range of a molal [H+] follows the density, when that is one at all.
            msgs << storedRefusal(what, rule_hplus(what, density.isEmpty() ? d : 1.0), e->molal);
        }
    }
    if (w->stag_O2g && w->redoxO2g)
        msgs << amountRefusal(QStringLiteral("O2g"), w->redoxO2g->molal);

    if (w->alkSet) {
        QStringList alk;
        for (const double v : {w->alkmolal, w->alkMolar})
            alk << storedRefusal(QStringLiteral("alkalinity"), rule_alkalinity(), v,
                                 QStringLiteral("alkalinity value must be greater than zero"));
        alk.removeAll(QString());
        alk.removeDuplicates();
        if (!alk.isEmpty())
            msgs << alk
                 << QStringLiteral(" molal ") + num(w->alkmolal) + QStringLiteral(" Molar ")
                    + num(w->alkMolar);
    }
    msgs.removeAll(QString());
    return msgs;
}

int setup::check_dataConsistency(int index)
{
    const one_water *w = water_at(index);
    if (!w)
        return 1;
    sim_data *sd = batch->sdata;
    QStringList msgs;

    msgs << check_storedValues(w);

    const int S = int(sd->solutes.size());
    const int R = int(sd->rxnsAqueous.size());
    const int C = int(w->composition.size());
    int G = 0;
    for (const one_solute *s : std::as_const(sd->solutes))
        if (s->name == sd->nameO2g)
            G = 1;
    if (S != R + C + G) {
        msgs << QStringLiteral("incomplete system. no. solute: ") + QString::number(S);
        msgs << QStringLiteral("  no. rxns: ") + QString::number(R) + QStringLiteral("; no. comp: ")
                + QString::number(C);
    }

    msgs << check_unservedChoices(w);

    // The water's entry of an element: the last one when several.
    const auto entryOf = [w](const QString &element) -> const one_elementComp * {
        const one_elementComp *found = nullptr;
        for (const one_elementComp *e : w->composition)
            if (e->element == element)
                found = e;
        return found;
    };
    const auto isSwap = [this](const one_elementComp *e) {
        return e && !e->swaprxn.isEmpty() && batch->find_idxBatch_solidRxn(e->swaprxn) >= 0;
    };

    if (w->alkSet) {
        if (w->alkElem == sd->nameH) {
            const one_elementComp *e = entryOf(sd->nameH);
            if (!e) {
                msgs << QStringLiteral("H (hydrogen) has no composition condition in this water");
            } else {
                if (isSwap(e)) {
                    msgs << QStringLiteral("H element composition condition uses both swap "
                                           "reaction and alkalinity condition");
                    msgs << QStringLiteral("  swap reaction in use: ") + e->swaprxn;
                }
                if (w->chargebalance && e->element == w->chargebalanceElem)
                    msgs << QStringLiteral("H is used for both charge balance and alkalinity");
            }
        } else if (w->alkElem == sd->nameC) {
            const one_elementComp *e = entryOf(sd->nameC);
            if (!e) {
                msgs << QStringLiteral("C (carbon) is not used in this system; alkalinity for "
                                       "carbon cannot be used");
            } else {
                if (isSwap(e)) {
                    msgs << QStringLiteral("C element composition condition cannot uses both "
                                           "swap reaction and alkalinity condition");
                    msgs << QStringLiteral("  swap reaction in use: ") + e->swaprxn;
                }
                if (w->chargebalance && e->element == w->chargebalanceElem)
                    msgs << QStringLiteral("C is used for both charge balance and alkalinity");
            }
        } else {
            msgs << QStringLiteral("alkalinity-fixed element [ ") + w->alkElem
                    + QStringLiteral(" ] is unrecognized");
        }
    }

    if (w->chargebalance) {
        // The water's own choice counts, not whatever the list on screen shows.
        if (w->chargebalanceSolute.isEmpty()
            || batch->find_idxBatch_solute(w->chargebalanceSolute) < 0) {
            msgs << QStringLiteral("charge balance: solute has not been selected");
            if (!w->chargebalanceSolute.isEmpty())
                msgs << QStringLiteral("  charge balance solute [ ") + w->chargebalanceSolute
                        + QStringLiteral(" ] is not in this system: choose another solute "
                                         "beside \"Charge Balance\" or switch it off");
        }
        const one_elementComp *e = entryOf(w->chargebalanceElem);
        if (!e)
            msgs << QStringLiteral("charge blance element cannot be found in data set");
        else if (isSwap(e))
            msgs << QStringLiteral("element assigned for charge balance is also set with swap "
                                   "reaction");
    }

    if (msgs.isEmpty())
        return 0;
    set_status(QStringLiteral("Config ERR"), styleError);
    flag_statusCleared = false;
    message(QStringLiteral("#####  ERROR: speciation data consistency/completeness check:"));
    for (const QString &m : std::as_const(msgs))
        message(m);
    show_reason(msgs.first());
    return 1;
}

int setup::setup_simulation(int index)
{
    one_water *w = water_at(index);
    if (!w)
        return 1;
    prepare_water_for_run(index);
    sim0D model;
    const int rc = model.driver(batch->sdata, w);
    const QStringList msgs = *model.listErrorMsgs();
    if (model.refused) {
        // Nothing was solved: the water keeps its previous result and pH.
        statusDriver_error(&msgs);
        return runRefused;
    }
    const bool failed = rc != 0 || !msgs.isEmpty();
    one_water_result *r = model.results();
    // The stored flag says what the status line says.
    r->converged = r->converged && !failed;
    delete w->results;
    w->results = r;
    // Reactions the run left out at this temperature change what the result holds:
    // the user is told which.
    for (const QString &note : model.notes())
        message(note);

    propsWater.setup_properties(batch, dbase);
    propsWater.complete_result(batch, w, r);
    if (failed)
        statusDriver_error(&msgs);
    return failed ? 1 : 0;
}

void setup::on_pushButton_viewResult_clicked()
{
    const one_water *w = current_water();
    if (!w) {
        refuse(QStringLiteral("##  view result: no water is selected"));
        return;
    }
    if (!w->results) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Navigation menu on View Results"),
                        QStringLiteral("No results are available for review"), QMessageBox::Ok,
                        this);
        box.exec();
        return;
    }
    setup_waterResults_list_solids();
    if (!viewResult) {
        viewResult = new viewResult_spcn;
        viewResult->setWindowTitle(QStringLiteral("Speciation Result"));
    }
    viewResult->update_ui_result(batch, batch->sdata->currentWater);
    viewResult->show();
    viewResult->raise();
}
