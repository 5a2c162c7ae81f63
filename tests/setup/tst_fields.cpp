// Input fields in every window: a refused numeric entry stays as typed, says why
// and leaves the stored value; the mouse wheel over a combo box or spin box the user
// has not picked changes nothing shown or stored.

#include "PreciseDoubleFactory.h"
#include "config_settings.h"
#include "dbmanager.h"
#include "dbparse_driver.h"
#include "export_data.h"
#include "input_fields.h"
#include "model_mixing.h"
#include "pdfWindow.h"
#include "records.h"
#include "sbatch.h"
#include "setup.h"
#include "simfile.h"
#include "support_setup.h"
#include "test_env.h"
#include "test_press.h"
#include "test_ui.h"
#include "viewResult_spcn.h"
#include "water_manager.h"
#include "wheel_guard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

/// One numeric field of a window, brought up as a user reaches it.
struct Entry
{
    std::shared_ptr<void> keep; ///< the window and what it needs
    QWidget *field = nullptr; ///< where the user types (a cell's editor once opened)
    std::function<QString()> stored; ///< the values the entry may change, as text
    std::function<void()> commit; ///< what the user presses to keep the entry, if anything
};

QString numbers(const QList<double> &values)
{
    QStringList parts;
    for (double v : values)
        parts << QString::number(v, 'g', 17);
    return parts.join(QLatin1Char(' '));
}

/// The workspace with its field `name`, or the composition cell of "cell:Ca", of the
/// H row as "cell:pH" or "cell:[H+]", or of "cell:O2(g)" (on iron with its redox pair).
Entry workspaceField(const QString &name)
{
    auto f = std::make_shared<workspace_fixture>();
    if (name == QLatin1String("cell:O2(g)")) {
        f->enterNew(scratch("fields-redox.jsdb"), true);
        pickElement(*f, "fe", "Fe", true);
        showWaterPage(*f);
    } else {
        enterFour(*f, "fields.jsdb");
    }
    Entry e;
    e.keep = f;
    e.stored = [f] {
        const one_water *w = currentWater(*f);
        QList<double> values {w->TC, w->densitymass, w->alkmolal, w->pHcomp};
        for (const one_elementComp *c : w->composition)
            values << c->molal << c->Molar << c->ppm;
        if (w->redoxO2g)
            values << w->redoxO2g->molal << w->redoxO2g->Molar;
        return numbers(values);
    };
    if (name.startsWith(QLatin1String("cell:"))) {
        const QString cell = name.mid(5);
        QTableWidget *t = waterTable(
            *f, cell == "Ca" ? "tableWidgetWaters_elements" : "tableWidgetWaters_element_H");
        if (cell == "pH" || cell == "[H+]")
            pickItem(qobject_cast<QComboBox *>(t->cellWidget(0, 0)), cell);
        e.field = openAmountCell(t, cell == "Ca" ? elementRow(*f, "Ca") : cell == "O2(g)" ? 1 : 0);
        return e;
    }
    // The alkalinity is set beside the composition, the rest on Solution Properties.
    if (name == QLatin1String("lineEdit_alkalinity"))
        pressIndicator(f->w->findChild<QAbstractButton *>("checkBox_alkalinity"));
    else
        showTab(f->w, 2);
    e.field = f->w->findChild<QLineEdit *>(name);
    return e;
}

/// The mixing (or titration) window, alone, with field `name`.
Entry mixingField(const QString &name, bool titration)
{
    auto win = std::make_shared<model_mixing>();
    titration ? win->setup_modelData_titration(nullptr) : win->setup_modelData_mixing(nullptr);
    win->show();
    if (name == QLatin1String("lineEdit_targetConcn"))
        pressIndicator(win->findChild<QAbstractButton *>("radioButton_element"));
    const auto stored = [w = win.get()] {
        const auto value
            = [w](const char *box) { return w->findChild<QDoubleSpinBox *>(box)->value(); };
        return numbers({value("doubleSpinBox_volume1"), value("doubleSpinBox_volume2"),
                        value("doubleSpinBox_targetpH")});
    };
    return {win, win->findChild<QWidget *>(name), stored, {}};
}

/// The control-parameters dialog on a control set, with field `name`; what is
/// stored is the caller's set, Save pressed.
Entry controlField(const QString &name)
{
    struct Kept
    {
        one_ctrlset ctrl;
        config_settings dlg;
    };
    auto k = std::make_shared<Kept>();
    k->ctrl.csolvitmax = 31;
    k->ctrl.csolvcvg = 1e-6;
    k->ctrl.csolvcmax = 35.0;
    k->ctrl.csolvcmin = 1e-36;
    k->dlg.settingsSpcn_numerical(&k->ctrl);
    k->dlg.show();
    const auto stored = [k] {
        return numbers(
            {double(k->ctrl.csolvitmax), k->ctrl.csolvcvg, k->ctrl.csolvcmax, k->ctrl.csolvcmin});
    };
    const auto save = [k] { k->dlg.findChild<QPushButton *>("pushButton_save")->click(); };
    return {k, k->dlg.findChild<QLineEdit *>(name), stored, save};
}

Entry openField(const QString &window, const QString &name)
{
    if (window == QLatin1String("workspace"))
        return workspaceField(name);
    if (window == QLatin1String("control parameters"))
        return controlField(name);
    return mixingField(name, window == QLatin1String("titration"));
}

/// A window made after the rule was installed, with no call of its own: a list and
/// a number box on a page that scrolls, and a table with a list in a cell. It opens
/// at the top of the page with every box in sight; the table has nothing to scroll.
std::shared_ptr<QWidget> windowOfItsOwn()
{
    auto w = std::make_shared<QScrollArea>();
    auto *page = new QWidget;
    auto *rows = new QVBoxLayout(page);
    const auto named = [](QWidget *box, const char *name) {
        box->setObjectName(name);
        if (auto *combo = qobject_cast<QComboBox *>(box))
            combo->addItems({"one", "two", "three"});
        return box;
    };
    rows->addWidget(named(new QComboBox, "combo"));
    rows->addWidget(named(new QSpinBox, "spin"));
    auto *table = static_cast<QTableWidget *>(named(new QTableWidget(1, 1), "table"));
    table->setCellWidget(0, 0, named(new QComboBox, "cell"));
    rows->addWidget(table);
    page->setMinimumHeight(2 * page->sizeHint().height()); // the window opens half as tall
    w->setWidgetResizable(true);
    w->setWidget(page);
    return w;
}

/// The same window with a dialog it opened over its page: a list in the dialog, the
/// page behind it at its top with room to scroll.
std::shared_ptr<QWidget> dialogOverAPage()
{
    auto w = windowOfItsOwn();
    auto *dialog = new QDialog(static_cast<QScrollArea *>(w.get())->widget());
    auto *list = new QComboBox;
    list->setObjectName("dialogList");
    list->addItems({"one", "two", "three"});
    (new QVBoxLayout(dialog))->addWidget(list);
    return w;
}

/// A window brought up as a user reaches it, shown and active: the workspace on a
/// new configuration, or another window given the batch `ran` with two waters run.
std::pair<std::shared_ptr<void>, QWidget *> openWindow(const QString &name, sbatch *ran)
{
    if (name == "workspace") {
        auto f = std::make_shared<workspace_fixture>();
        enterFour(*f, "wheel.jsdb");
        f->w->activateWindow();
        return {f, f->w};
    }
    QSettings settings; // a second database type, so that the type has somewhere to go
    settings.beginWriteArray("DEFAULT/DBTypes", 2);
    settings.setArrayIndex(1);
    settings.setValue("aDBType", "another type");
    settings.endArray();
    std::shared_ptr<QWidget> w;
    if (name == "mixing" || name == "titration") {
        auto m = std::make_shared<model_mixing>();
        m->show(); // shown, then set up, as the workspace's launchers do
        name == "mixing" ? m->setup_modelData_mixing(ran) : m->setup_modelData_titration(ran);
        w = m;
    } else if (name == "export") {
        auto e = std::make_shared<export_data>();
        e->setup_water(ran, 0);
        w = e;
    } else if (name == "configuration-file window") {
        auto s = std::make_shared<simfile>();
        s->set_simType(0); // Speciation
        w = s;
    } else if (name == "pdf viewer") {
        auto p = std::make_shared<pdfWindow>();
        p->open(QUrl::fromLocalFile(QStringLiteral(":/userguide/vek7-userguide-v1-0-2a.pdf")));
        w = p;
    }
    w = name == "window of its own" ? windowOfItsOwn() : w;
    w = name == "dialog over a page" ? dialogOverAPage() : w;
    w = name == "results viewer" ? std::make_shared<viewResult_spcn>() : w;
    w = name == "water set manager" ? std::make_shared<water_manager>(ran, nullptr) : w;
    w = name == "database manager" ? std::make_shared<dbmanager>() : w;
    w = name == "parser" ? std::make_shared<dbparse_driver>() : w;
    w->show();
    w->activateWindow();
    if (auto *dialog = name == "dialog over a page" ? w->findChild<QDialog *>() : nullptr) {
        dialog->show();
        dialog->activateWindow();
    }
    return {w, w.get()};
}

/// The box `name` of `window`; "table/row/column" names a cell widget, its row a
/// number or the element shown in it.
QWidget *boxOf(QWidget *window, const QString &name)
{
    const QStringList cell = name.split(QLatin1Char('/'));
    if (cell.size() < 3)
        return window->findChild<QWidget *>(name);
    const int row = cell[1] == "Ca" ? elementRow(qobject_cast<setup *>(window), "Ca") : 0;
    return window->findChild<QTableWidget *>(cell[0])->cellWidget(row, cell[2].toInt());
}

/// What `window` shows: the texts of its widgets (the current items of its lists)
/// and of its tables.
QStringList shownIn(const QWidget *window)
{
    QStringList texts;
    for (const QWidget *w : window->findChildren<QWidget *>())
        texts
            << w->property(qobject_cast<const QComboBox *>(w) ? "currentText" : "text").toString();
    for (const QTableWidget *t : window->findChildren<QTableWidget *>())
        for (int c = 0; c < t->columnCount(); ++c)
            texts << tableColumn(t, c);
    return texts;
}

/// Works `box` as the user does, step by step: "given" (the window gave it focus
/// on opening), "program" (the program gives it focus), "click" (a click on it, in
/// its text where it has one; Escape closes a list the click opened), "Down" or
/// "Shift" (that key pressed), "Tab" (Tab away and Backtab back), "away" (Tab away).
void work(QWidget *box, const QString &steps)
{
    for (const QString &step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        auto *text = box->findChild<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly);
        if (step == "program")
            box->setFocus();
        if (step == "click")
            QTest::mouseClick(text ? text : box, Qt::LeftButton);
        if (step == "click" && QApplication::activePopupWidget())
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        if (step == "Down" || step == "Shift")
            QTest::keyClick(box, step == "Down" ? Qt::Key_Down : Qt::Key_Shift);
        if (step == "Tab" || step == "away")
            QTest::keyClick(box, Qt::Key_Tab);
        if (step == "Tab")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTRY_VERIFY2(box->hasFocus() == (step != "away"), qPrintable(step));
    }
}

/// A seeded random walk over the water pages, every step taken as a user takes it.
/// After each step a refused entry shows only on the water, in the place and under the
/// meaning (H form, unit) it was typed for, and never again once gone; the line under
/// Run names one; Run gives no DONE while one shows; no water's stored values move but
/// by an accepted entry into it; Return and Escape close the editor they close.
struct Walk
{
    workspace_fixture &f;
    QRandomGenerator rng;
    std::function<bool()> settle; ///< brings the workspace up active, as the user finds it
    QTableWidget *els = waterTable(f, "tableWidgetWaters_elements");
    QTableWidget *hs = waterTable(f, "tableWidgetWaters_element_H");
    const QTabWidget *tabs = f.w->findChild<QTabWidget *>("tabWidget_Setup");
    QStringList log {}; ///< the steps taken
    QStringList typed {}; ///< the refused texts typed and not gone since, each as `entry` tells it
    const one_water *acceptedInto = nullptr; ///< the water an entry of this step went to
    bool atOnce = false; ///< this step followed the one before at once, the workspace unsettled

    QString any(const QStringList &l) { return l.at(rng.bounded(int(l.size()))); }
    QString shown(const char *n) const { return f.w->findChild<QComboBox *>(n)->currentText(); }
    QTableWidget *table(const QString &place) const { return place == "cell:H+" ? hs : els; }
    /// A click on the Water Composition tab rebuilds the pages, and an action may take
    /// another path on pages just rebuilt: the tab is clicked only when not shown.
    void toWaterPage() const
    {
        if (tabs->currentIndex() != 1)
            showTab(f.w, 1);
    }
    QString form() const { return qobject_cast<QComboBox *>(hs->cellWidget(0, 0))->currentText(); }
    /// `text` at `place` on the water shown, under what a number there stands for now.
    QString entry(const QString &place, const QString &text) const
    {
        const QString meaning = place == "lineEdit_alkalinity" ? shown("comboBox_alkalinityUnit")
            : place == "cell:H+"        ? form() + ' ' + shown("comboBox_elementUnits")
            : place.startsWith("cell:") ? shown("comboBox_elementUnits")
                                        : QString();
        const one_water *w = currentWater(f);
        return QString("[ %1 ] at %2 under '%3' on %4@%5")
            .arg(text, place, meaning, w->name)
            .arg(quintptr(w), 0, 16);
    }
    QString type();
    QString act();
    QString check(const water_values &before);
};

/// Types a refused or an accepted text into a cell or field, and leaves it.
QString Walk::type()
{
    toWaterPage(); // the cells of the system as it is now
    QStringList places = {"lineEdit_temperature", "lineEdit_massDensity"};
    if (hs->isEnabled()) // no H amount is taken in ppm
        places << "cell:H+";
    for (const char *e : {"Ca", "Na", "Cl", "C", "Mg"})
        places << (elementRow(f, e) >= 0 ? QString("cell:") + e : QString());
    if (f.w->findChild<QLineEdit *>("lineEdit_alkalinity")->isEnabled())
        places << "lineEdit_alkalinity";
    places.removeAll(QString());
    const QString place = any(places), other = place == "cell:Na" ? "Cl" : "Na";
    const bool cell = place.startsWith("cell:"), refused = rng.bounded(2);
    const bool pH = place == "cell:H+" && form() == "pH";
    const QString text = refused ? any({"1,5", "abc", pH || place.contains("temp") ? "301" : "-5"})
        : place == "lineEdit_temperature" ? "25"
        : place == "lineEdit_massDensity" ? any({"1.02", "1.1"})
        : pH                              ? any({"7.5", "6.8"})
                                          : any({"0.002", "2.5e-3", "1e-7"});
    const QString leave = any(
        {"Return", "Return", cell ? "Escape" : "Tab", cell ? "cell " + other : "Tab", "elsewhere"});
    log << "type " + entry(place, text) + ", " + leave;
    if (!cell && place != "lineEdit_alkalinity")
        showTab(f.w, 2);
    QPointer<QLineEdit> edit = cell
        ? openAmountCell(table(place), place == "cell:H+" ? 0 : elementRow(f, place.mid(5)))
        : f.w->findChild<QLineEdit *>(place);
    if (!edit)
        return "no editor opened";
    typeOver(edit, text, false);
    if (refused)
        typed << entry(place, text);
    else if (leave != "Escape")
        acceptedInto = currentWater(f);
    if (leave == "elsewhere") // the message pane: only the focus moves
        QTest::mouseClick(f.w->findChild<QTextEdit *>("textEdit_Messages")->viewport(),
                          Qt::LeftButton);
    else if (leave.startsWith("cell") && !openAmountCell(els, elementRow(f, other)))
        return "no editor opened at " + other;
    else if (!leave.startsWith("cell"))
        QTest::keyClick(edit,
                        leave == "Return"    ? Qt::Key_Return
                            : leave == "Tab" ? Qt::Key_Tab
                                             : Qt::Key_Escape);
    const bool closes = cell && (leave == "Escape" || (leave == "Return" && !refused));
    return closes && !QTest::qWaitFor([&] { return !edit || !edit->isVisible(); })
        ? "the editor stays open"
        : QString();
}

QString Walk::act()
{
    acceptedInto = nullptr;
    const int kind = rng.bounded(16);
    // Typing and Run start at the workspace as the user finds it again; the other steps
    // follow the step before at once. A list or dialog just closed leaves no window
    // active, and a click on the H form list then gives it no focus (as on systems where
    // a click never does): the form changes under an open cell, not after it closed.
    atOnce = kind > 5;
    if (!atOnce && !settle())
        return "the workspace is not active";
    if (kind < 5)
        return type();
    if (kind == 5) { // Run: no DONE while a refused entry shows
        const bool refused = !refusedShown(f.w).isEmpty();
        toWaterPage();
        const QString status = pressRun(f);
        log << "Run: " + status.trimmed();
        return refused && status.contains("DONE") ? "DONE while a refused entry shows" : "";
    }
    QStringList waters {currentWater(f)->name}, others;
    for (const one_water *w : f.sd()->waters)
        others << (w == currentWater(f) ? QString() : w->name);
    others.removeAll(QString());
    const bool alk = f.w->findChild<QAbstractButton *>("checkBox_alkalinity")->isChecked();
    const bool h = hs->isEnabled(); // no H form in ppm
    const QString otherForm = form() == "pH" ? "[H+]" : "pH";
    // In the water set manager: the shown water's name given to another water and the
    // water shown removed (renames and a removal in one), or a water duplicated.
    const QString step = QStringList {others.isEmpty() || rng.bounded(3) == 0
                                          ? "duplicate " + any(waters + others)
                                          : "give " + waters[0] + " to " + others[0],
                                      "tab " + any({"0", "1", "2"}),
                                      "unit " + any({"molal", "Molar", "ppm"}),
                                      h ? "form " + otherForm : "unit molal",
                                      "water " + any(waters + others),
                                      alk ? "alkalinity off" : "alkalinity on",
                                      alk ? "alkalinity " + any({"molal", "Molar"}) : "save",
                                      f.elementNames().contains("Mg") ? "delete Mg" : "add element",
                                      f.gasNames().contains("CO2(g)") ? "delete gas" : "add gas",
                                      "save"}
                             .at(kind - 6);
    log << step;
    if (!step.startsWith("tab ") && !step.contains("element") && !step.contains("gas"))
        toWaterPage();
    return takeStep(f, step) ? QString() : "could not " + step;
}

QString Walk::check(const water_values &before)
{
    const QString moved = valueMoved(before, waterValues(f.sd()), acceptedInto);
    if (!moved.isEmpty())
        return moved + ", nothing entered into it";
    const QString line = reasonRead(f.w->findChild<QLabel *>("label_spcnReason"));
    bool named = false;
    const auto shown = refusedShown(f.w);
    QStringList kept;
    for (const auto &[edit, place] : shown) {
        kept << entry(place, edit->text());
        if (!typed.contains(kept.last()))
            return kept.last() + " shows, never typed there so or gone before";
        named = named || line.contains("[ " + edit->text() + " ]");
    }
    // An entry shown nowhere is gone (never a mix): it must never come back.
    typed = kept;
    return (shown.isEmpty() ? line.contains("refused") : !named)
        ? "the line under Run [ " + line + " ] beside what shows refused"
        : QString();
}

} // namespace

class tst_fields : public QObject
{
    Q_OBJECT

    /// Two waters run, for the windows other than the workspace; made when first needed.
    std::unique_ptr<workspace_fixture> ran;

private slots:
    void initTestCase()
    {
        quietDebug();
        wheel_guard::guardApplication(); // as the program does, before any window
    }

    void rule_namesTheReason_data()
    {
        // clang-format off
        addTextRows({"text", "rule", "reason"}, {
            {"tiny", "1e-30", "amount", ""},
            {"exponent form", "-2.5e3", "any", ""},
            {"nine decimals", "1.123456789", "any", ""},
            {"group separator", "1,000.5", "any", "use a point as decimal separator"},
            {"text", "abc", "any", "not a number"},
            {"nan", "nan", "any", "not a finite number"},
            {"inf", "inf", "any", "not a finite number"},
            {"overflow", "1e309", "any", "not a finite number"},
            {"half typed", "1e-", "any", "not a complete number"},
            {"empty", "", "any", "enter a number"},
            {"too fine", "50.1234", "percent", "at most 3 decimals, e.g. 50.123"},
            {"small, in a cell", "0.000324367", "cell", "at most 8 decimals: write it with an exponent, e.g. 3.24367e-4"},
            {"negative and too fine, in an amount cell", "-0.000324367", "amount", "must be greater than 0"},
            {"rounded, in a cell", "1234.123456789", "cell", "at most 8 decimals, e.g. 1234.12345679"},
            {"pH low", "-3", "pH", "at least -2"},
            {"pH edge", "16", "pH", ""},
            {"fraction of a count", "2.5", "count", "a whole number only"},
            {"underflow", "1e-400", "any", "too small to hold: it would be 0"},
            {"underflow, in an amount cell", "-1e-400", "amount", "too small to hold: it would be 0"},
            {"subnormal", "1e-320", "any", "too small to hold all its digits: nearer to 0 than 2.2250738585072014e-308"},
            {"subnormal, in an amount cell", "-4.9e-324", "amount", "too small to hold all its digits: nearer to 0 than 2.2250738585072014e-308"},
            {"smallest normal", "2.2250738585072014e-308", "any", ""},
            {"zero", "0", "any", ""}});
        // clang-format on
    }

    void rule_namesTheReason()
    {
        QFETCH(QString, text);
        QFETCH(QString, rule);
        QFETCH(QString, reason);
        number_rule r;
        if (rule == "amount") {
            r = number_rule::above("amount", 0.0);
            r.decimals = PreciseDoubleFactory::decimals;
        }
        if (rule == "percent") {
            r = number_rule::between("percent", 0.0, 100.0);
            r.decimals = 3;
        }
        if (rule == "pH")
            r = number_rule::between("pH", -2.0, 16.0);
        if (rule == "cell")
            r.decimals = PreciseDoubleFactory::decimals;
        if (rule == "count") {
            r = number_rule::between("count", 1, 10000);
            r.integer = true;
        }
        QCOMPARE(r.refusal(text), reason);
    }

    void rule_writesValuesItAccepts_data()
    {
        // clang-format off
        addTextRows({"value", "text"}, {
            {"a stored molality", "0.00020139509825767854", "2.01395098e-4"},
            {"exact, negative", "-0.0025", "-0.0025"},
            {"smallest normal double", "2.2250738585072014e-308", "2.22507386e-308"},
            {"largest double", "1.7976931348623157e308", "1.79769313e308"}});
        // clang-format on
    }

    void rule_writesValuesItAccepts()
    {
        QFETCH(QString, value);
        QFETCH(QString, text);
        number_rule r;
        r.decimals = PreciseDoubleFactory::decimals;
        const double v = value.toDouble();
        QCOMPARE(r.text(v), text);
        QVERIFY(r.refusal(text).isEmpty());
        QVERIFY(qAbs(text.toDouble() / v - 1.0) < 1e-8);
    }

    void numericEntry_keptRefusedAndExplained_data()
    {
        const QString comma = QStringLiteral("use a point as decimal separator");
        const QString positive = QStringLiteral("must be greater than 0");
        const QString pHrange = QStringLiteral("[H+] must give a pH from -2 to 16");
        // clang-format off
        addTextRows({"window", "field", "typed", "reason"}, {
            {"composition comma", "workspace", "cell:Ca", "1,5", comma},
            {"composition negative", "workspace", "cell:Ca", "-5", positive},
            {"composition zero", "workspace", "cell:Ca", "0", positive},
            {"composition nine decimals", "workspace", "cell:Ca", "1.123456789", "at most 8 decimals, e.g. 1.12345679"},
            {"composition nine decimals and exponent", "workspace", "cell:Ca", "1.123456789e-3", "at most 8 decimals, e.g. 1.12345679e-3"},
            {"composition small", "workspace", "cell:Ca", "0.000324367", "at most 8 decimals: write it with an exponent, e.g. 3.24367e-4"},
            {"pH 20", "workspace", "cell:pH", "20", "at most 16"},
            {"pH -3", "workspace", "cell:pH", "-3", "at least -2"},
            {"[H+] negative", "workspace", "cell:[H+]", "-5", "at least 9.09091e-17: " + pHrange},
            {"[H+] beyond pH -2, molal at 1.1 g/cc", "workspace", "cell:[H+]", "1000", "at most 90.9091: " + pHrange},
            {"O2(g) comma", "workspace", "cell:O2(g)", "1,5", comma},
            {"temperature comma", "workspace", "lineEdit_temperature", "1,5", comma},
            {"temperature high", "workspace", "lineEdit_temperature", "400", "at most 300"},
            {"temperature too small to hold", "workspace", "lineEdit_temperature", "1e-400", "too small to hold: it would be 0"},
            {"density negative", "workspace", "lineEdit_massDensity", "-1", positive},
            {"alkalinity comma", "workspace", "lineEdit_alkalinity", "2,5", comma},
            {"mixing percent 150", "mixing", "doubleSpinBox_volume1", "150", "at most 100"},
            {"mixing percent comma", "mixing", "doubleSpinBox_volume2", "1,5", comma},
            {"mixing temperature comma", "mixing", "lineEdit_temperature", "1,5", comma},
            {"target pH 20", "titration", "doubleSpinBox_targetpH", "20", "at most 14"},
            {"target total negative", "titration", "lineEdit_targetConcn", "-5", "at least 0"},
            {"iteration limit comma", "control parameters", "lineEditSpcn_iterationLimit", "1,5", comma},
            {"convergence negative", "control parameters", "lineEditSpcn_convergenceLimit", "-5", positive}});
        // clang-format on
    }

    void numericEntry_keptRefusedAndExplained()
    {
        QFETCH(QString, window);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, reason);
        Entry e = openField(window, field);
        QVERIFY2(e.field && e.field->isVisible() && e.field->isEnabled(), qPrintable(field));
        // From an accepted entry (a new alkalinity shows 0, refused).
        if (!field.startsWith(QLatin1String("cell:")))
            typeOver(e.field, QStringLiteral("1"));
        const QString before = e.stored();
        const QString tip = e.field->toolTip();
        typeOver(e.field, typed);
        // Every keystroke kept, the field marked, the reason at hand.
        const auto shown = [&e] {
            auto *edit = qobject_cast<QLineEdit *>(e.field);
            return edit ? edit->text() : qobject_cast<QAbstractSpinBox *>(e.field)->text();
        };
        QCOMPARE(shown(), typed);
        QVERIFY(number_field::isRefused(e.field));
        QCOMPARE(e.field->toolTip(), reason);
        // The window's message pane says why, where it has one; a cell's refusal names
        // what its row shows on its left.
        const QString cell = field.startsWith(QLatin1String("cell:")) ? field.mid(5) : QString();
        const QString named = cell.isEmpty() ? "" : cell == "pH" ? "pH " : cell + " amount ";
        for (const QTextEdit *pane : e.field->window()->findChildren<QTextEdit *>())
            if (pane->objectName().contains(QLatin1String("essages")))
                QVERIFY2(pane->toPlainText().contains(named + "[ " + typed + " ]")
                             && pane->toPlainText().contains(reason),
                         qPrintable(pane->toPlainText().right(400)));
        // Leaving the field keeps the text (a cell's editor closes without it).
        if (!field.startsWith(QLatin1String("cell:"))) {
            QTest::keyClick(e.field, Qt::Key_Tab);
            QVERIFY(!e.field->hasFocus());
            QCOMPARE(shown(), typed);
        }
        if (e.commit)
            e.commit();
        QCOMPARE(e.stored(), before);
        // An accepted text brings the field's own tool tip back.
        if (!field.startsWith(QLatin1String("cell:"))) {
            typeOver(e.field, QStringLiteral("1"));
            QVERIFY(!number_field::isRefused(e.field));
            QCOMPARE(e.field->toolTip(), tip);
        }
    }

    void refusedEntry_blocksTheRun_data()
    {
        const QString comma = "use a point as decimal separator", hot = "at most 300";
        // After each change of what the water pages show the entry is either "kept"
        // (shown where it was typed, named by the line under Run, Run refused) or
        // "gone" (shown nowhere, nothing stored, Run runs): never a mix. "taken": the
        // new limits accept it; it stays, unmarked and named nowhere, until it is left.
        // clang-format off
        addTextRows({"field", "typed", "reason", "change", "after", "pH"}, {
            {"cell, then Run", "cell:Ca", "1,5", comma, "", "kept", ""},
            {"cell, through both tabs", "cell:Ca", "1,5", comma, "tabs", "kept", ""},
            {"cell and the pH cell, through both tabs", "cell:Ca", "1,5", comma, "tabs", "kept", "2,5"},
            {"temperature, then the composition tab", "lineEdit_temperature", "301", hot, "", "kept", ""},
            {"density, then the composition tab", "lineEdit_massDensity", "1,02", comma, "", "kept", ""},
            {"cell, unit Molar", "cell:Ca", "1,5", comma, "unit Molar", "gone", ""},
            {"cell, unit ppm", "cell:Ca", "1,5", comma, "unit ppm", "gone", ""},
            {"pH cell, unit ppm and back to molal", "cell:pH", "20", "at most 16", "unit ppm molal", "gone", ""},
            {"pH cell, unit Molar", "cell:pH", "2,5", comma, "unit Molar", "gone", ""},
            {"pH cell, [H+] chosen", "cell:pH", "2,5", comma, "form [H+]", "gone", ""},
            {"cell, pH chosen", "cell:Ca", "1,5", comma, "form pH", "kept", ""},
            {"cell, another water", "cell:Ca", "1,5", comma, "another water", "gone", ""},
            {"temperature, another water", "lineEdit_temperature", "301", hot, "another water", "gone", ""},
            {"cell, an element added", "cell:Ca", "1,5", comma, "add element", "kept", ""},
            {"pH cell, another element deleted", "cell:pH", "2,5", comma, "delete Na", "kept", ""},
            {"cell, its element deleted", "cell:Ca", "1,5", comma, "delete Ca", "gone", ""},
            {"alkalinity, carbon deleted", "lineEdit_alkalinity", "2,5", comma, "delete C", "gone", ""},
            {"pH cell, a gas added", "cell:pH", "2,5", comma, "add gas", "kept", ""},
            {"cell, a gas deleted", "cell:Ca", "1,5", comma, "delete gas", "kept", ""},
            {"cell, its water renamed", "cell:Ca", "1,5", comma, "rename water", "kept", ""},
            {"temperature, its water renamed", "lineEdit_temperature", "301", hot, "rename water", "kept", ""},
            {"cell, its water deleted", "cell:Ca", "1,5", comma, "delete water", "gone", ""},
            {"pH cell, saved", "cell:pH", "2,5", comma, "save", "kept", ""},
            {"cell, workspace closed and opened again", "cell:Ca", "1,5", comma, "close", "gone", ""},
            {"density, workspace closed and opened again", "lineEdit_massDensity", "1,02", comma, "close", "gone", ""},
            {"alkalinity, ticked off", "lineEdit_alkalinity", "2,5", comma, "alkalinity off", "gone", ""},
            {"alkalinity, its unit", "lineEdit_alkalinity", "2,5", comma, "alkalinity Molar", "gone", ""},
            {"pH cell, tabs, [H+] chosen, tabs", "cell:pH", "20", "at most 16", "tabs, form [H+], tabs", "gone", ""},
            {"[H+] cell, tabs, pH chosen, tabs", "cell:[H+]", "-1", "at least", "tabs, form pH, tabs", "gone", ""},
            {"cell, another cell opened", "cell:Ca", "1,5", comma, "another cell", "gone", ""},
            {"cell, tabs, another cell opened", "cell:Ca", "1,5", comma, "tabs, another cell", "gone", ""},
            {"cell, its water's name given to another and it removed", "cell:Ca", "1,5", comma, "give water-default to new water 0", "gone", ""},
            {"temperature, its water's name given to another and it removed", "lineEdit_temperature", "301", hot, "give water-default to new water 0", "gone", ""},
            {"[H+] cell, a higher density", "cell:[H+]", "1000", "at most 50: [H+]", "density 2", "kept", ""},
            {"[H+] cell, a lower density", "cell:[H+]", "150", "at most 90.9091: [H+]", "density 0.5", "taken", ""},
            {"cell, another water and back", "cell:Ca", "1,5", comma, "another water, water water-default", "gone", ""},
            {"temperature, another water and back", "lineEdit_temperature", "301", hot, "another water, water water-default", "gone", ""}});
        // clang-format on
    }

    void refusedEntry_blocksTheRun()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, reason);
        QFETCH(QString, change);
        QFETCH(QString, after);
        QFETCH(QString, pH);
        workspace_fixture f;
        enterFour(f, "blocks.jsdb");
        BoxCatcher boxes; // Close asks about the unsaved changes
        connect(f.w, &setup::signal_setup_save, [&f] { QCOMPARE(f.save(), 0); });
        // An earlier DONE must not pass for a run of the refused entry.
        QCOMPARE(pressRun(f), QString("     DONE"));
        QTableWidget *t = waterTable(f, "tableWidgetWaters_elements");
        QTableWidget *tH = waterTable(f, "tableWidgetWaters_element_H");
        // What the change needs beforehand: a second water, a gas, an alkalinity, a form.
        if (change.startsWith("another water") || change == "delete water"
            || change.startsWith("give"))
            manageWaters(f.w, {{"water-default", "", "pushButton_add"}});
        QVERIFY(change != "delete gas" || (takeStep(f, "add gas") && takeStep(f, "tab 1")));
        if (field == "lineEdit_alkalinity" && takeStep(f, "alkalinity on"))
            typeOver(f.w->findChild<QLineEdit *>(field), "0.002");
        if (field == "cell:pH" || field == "cell:[H+]" || !pH.isEmpty())
            QVERIFY(takeStep(f, field == "cell:[H+]" ? "form [H+]" : "form pH"));
        QCOMPARE(f.save(), 0); // what a Close and a new Open come back to
        // Every water keeps what it held (of what it still holds).
        auto before = waterValues(f.sd());
        const auto kept = [&] { return valueMoved(before, waterValues(f.sd())).isEmpty(); };
        // The reason line keeps its room: nothing moves under the pointer when it shows.
        const auto *run = f.w->findChild<QPushButton *>("pushButton_spcn");
        const auto places = [&] {
            QApplication::processEvents();
            return QList<QPoint> {run->mapTo(f.w, QPoint()), t->mapTo(f.w, QPoint())};
        };
        const QList<QPoint> placed = places();
        const bool cell = field.startsWith("cell:");
        QTableWidget *typedIn = field == "cell:pH" || field == "cell:[H+]" ? tH : t;
        const auto open
            = [&] { return cell ? cellEditor(typedIn) : f.w->findChild<QLineEdit *>(field); };
        if (field.contains("temperature") || field.contains("Density"))
            showTab(f.w, 2);
        QLineEdit *edit
            = cell ? openAmountCell(typedIn, field == "cell:Ca" ? elementRow(f, "Ca") : 0) : open();
        QVERIFY(edit);
        const QString original = edit->text();
        typeOver(edit, typed);
        QString pHoriginal;
        if (!pH.isEmpty()) {
            QLineEdit *pHedit = openAmountCell(tH, 0);
            pHoriginal = pHedit->text();
            typeOver(pHedit, pH);
        }
        // A change may take several steps, one after the other.
        for (const QString &step : change.split(", "))
            QVERIFY2(takeStep(f, step == "another water" ? "water new water 0" : step),
                     qPrintable(step));
        if (change == "close")
            QVERIFY(f.enterAgain(f.sd()->file, true));
        if (change.startsWith("density")) // the one value the change moves
            before[currentWater(f)]["d"] = currentWater(f)->densitymass;
        const auto *line = f.w->findChild<QLabel *>("label_spcnReason");
        const auto names = [line](const QString &text) {
            return !text.isEmpty() && reasonRead(line).contains("[ " + text + " ]");
        };
        // An entry gone is gone from the line at once, on whichever tab the change was made.
        QVERIFY2(after != "gone" || !names(typed), qPrintable(reasonRead(line)));
        showTab(f.w, 1);
        // Refused, Run names the newest entry in the pane as under Run, and no earlier
        // result's status stands beside it.
        const auto refusesRun = [&] {
            const QString status = pressRun(f);
            const QString last = f.messages().section('\n', -1);
            return status.isEmpty()
                && reasonRead(line).startsWith("correct the refused entry first")
                && last.startsWith("##  speciation: correct the refused entry first: ")
                && last.contains("[ " + (pH.isEmpty() ? typed : pH) + " ]");
        };
        if (after == "taken") {
            QVERIFY(open() && open()->text() == typed && !number_field::isRefused(open()));
            QVERIFY2(!names(typed), qPrintable(reasonRead(line)));
            QVERIFY(kept() && !refusesRun());
            return;
        }
        if (after == "gone") {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            for (const QLineEdit *e : f.w->findChildren<QLineEdit *>()) // nor the typing colour
                QVERIFY2(e->text() != typed && !e->styleSheet().contains("#e6f7ff"),
                         qPrintable(e->objectName()));
            QVERIFY2(!names(typed), qPrintable(reasonRead(line)));
            QVERIFY2(!refusesRun(), qPrintable(reasonRead(line)));
            QVERIFY(kept());
            return;
        }
        // The text stays where it was typed, the cell's editor open over its cell; the
        // line under Run names a refused entry, its cell with it, and the pane told each
        // refusal once.
        const auto shown = [&] {
            if (!cell)
                showTab(f.w, field.contains("alkalinity") ? 1 : 2);
            return open();
        };
        QVERIFY(shown() && shown()->text() == typed && shown()->isEnabled());
        showTab(f.w, 1);
        const QString named = field == "cell:Ca" ? "Ca amount [ "
            : field == "cell:pH"                 ? "pH [ "
                                                 : "[ ";
        QVERIFY2(reasonRead(line).contains(pH.isEmpty() ? named + typed : "pH [ " + pH),
                 qPrintable(reasonRead(line)));
        for (const QString &text : {typed, pH})
            QVERIFY2(text.isEmpty() || f.messages().count("[ " + text + " ]") == 1,
                     qPrintable(f.messages().right(600)));
        QVERIFY(refusesRun());
        QVERIFY2(reasonRead(line).contains(reason) || names(pH), qPrintable(reasonRead(line)));
        QVERIFY(shown() && shown()->text() == typed);
        showTab(f.w, 1);
        QVERIFY(fitsItsRoom(line));
        QVERIFY(kept());
        QCOMPARE(places(), placed);
        // Set right, even to the stored value, the line clears and Run runs.
        typeOver(shown(), original);
        QApplication::processEvents();
        // The entry still refused takes the line.
        if (!pH.isEmpty()) {
            QVERIFY2(names(pH), qPrintable(reasonRead(line)));
            typeOver(cellEditor(tH), pHoriginal);
            QApplication::processEvents();
        }
        QVERIFY2(line->text().isEmpty(), qPrintable(line->text()));
        showTab(f.w, 1);
        QCOMPARE(pressRun(f), QString("     DONE"));
    }

    void refusedEntries_stayWithTheirWaterAndMeaning_data()
    {
        QTest::addColumn<quint32>("seed");
        for (const quint32 seed : {4u, 31u, 58u, 59u, 81u, 152u, 2u, 13u})
            QTest::newRow(qPrintable(QString("seed %1").arg(seed))) << seed;
    }

    void refusedEntries_stayWithTheirWaterAndMeaning()
    {
        QFETCH(quint32, seed);
        workspace_fixture f;
        enterFour(f, "walk.jsdb");
        BoxCatcher boxes;
        connect(f.w, &setup::signal_setup_save, [&f] { QCOMPARE(f.save(), 0); });
        // Two waters to choose from, rename and remove, each with an alkalinity to tick on.
        QVERIFY(takeStep(f, "alkalinity on"));
        typeOver(f.w->findChild<QLineEdit *>("lineEdit_alkalinity"), "0.002");
        QVERIFY(takeStep(f, "alkalinity off"));
        manageWaters(f.w, {{"water-default", "A"}, {"A", "", "pushButton_duplicate"}});
        // A closed list leaves its popup the active window for a moment, a closed dialog
        // none: typing and Run start, and their checks look, at the workspace as the user
        // finds it again; the checks of the other steps look at it as the step left it.
        const auto activate = [&f] {
            f.w->activateWindow();
            const bool active
                = QTest::qWaitFor([&f] { return QApplication::activeWindow() == f.w; });
            QApplication::processEvents();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return active;
        };
        Walk walk {f, QRandomGenerator(seed), activate};
        QString fault;
        while (fault.isEmpty() && walk.log.size() < 60) {
            const water_values before = waterValues(f.sd());
            fault = walk.act();
            QVERIFY(walk.atOnce || activate());
            fault = fault.isEmpty() ? walk.check(before) : fault;
        }
        // Every step is written out first: a failure's own message is cut short.
        if (!fault.isEmpty())
            qWarning().noquote() << QString("seed %1, steps:\n").arg(seed) + walk.log.join('\n');
        QVERIFY2(fault.isEmpty(), qPrintable(QString("seed %1: %2").arg(seed).arg(fault)));
    }

    void cellEditor_scientificOverTheDoubleRange()
    {
        workspace_fixture f;
        enterFour(f, "precise.jsdb");
        QTableWidget *t = waterTable(f, "tableWidgetWaters_elements");
        QLineEdit *edit = openAmountCell(t, elementRow(f, "Ca"));
        QVERIFY(edit && !edit->hasFrame() && edit->alignment() == Qt::AlignCenter);
        QVERIFY(typeAmount(t, elementRow(f, "Ca"), "1.12345678e-30"));
        QCOMPARE(entryOf(f, "Ca")->molal, 1.12345678e-30);
        // Outside the composition tables a delegate with the factory gives text and
        // whole numbers Qt's own editors.
        PreciseDoubleFactory factory;
        QTableWidget plain(1, 3);
        auto *cells = new number_delegate(&plain, {});
        cells->setItemEditorFactory(&factory);
        plain.setItemDelegate(cells);
        const QList<QVariant> values = {QStringLiteral("Ca"), 7, 2.5};
        for (int c = 0; c < values.size(); ++c) {
            plain.setItem(0, c, new QTableWidgetItem);
            plain.item(0, c)->setData(Qt::EditRole, values.at(c));
        }
        const auto editorOf = [&plain](int c) {
            plain.openPersistentEditor(plain.item(0, c));
            return plain.indexWidget(plain.model()->index(0, c));
        };
        QVERIFY(!number_field::of(qobject_cast<QLineEdit *>(editorOf(0))));
        QVERIFY(qobject_cast<QSpinBox *>(editorOf(1)));
        QVERIFY(number_field::of(qobject_cast<QLineEdit *>(editorOf(2))));
    }

    void cellEditor_untouchedChangesNothing_data()
    {
        // clang-format off
        addTextRows({"unit", "cell", "leave"}, {
            {"Cl in molal, Return", "molal", "Cl", "Return"},
            {"Cl in Molar, another cell", "Molar", "Cl", "elsewhere"},
            {"Cl in ppm, left open", "ppm", "Cl", "open"},
            {"[H+] in molal, left open", "molal", "[H+]", "open"},
            {"[H+] in Molar, Return", "Molar", "[H+]", "Return"},
            {"pH, another cell", "molal", "pH", "elsewhere"},
            {"Cl typed over, Escape", "molal", "Cl", "Escape"}});
        // clang-format on
    }

    void cellEditor_untouchedChangesNothing()
    {
        QFETCH(QString, unit);
        QFETCH(QString, cell);
        QFETCH(QString, leave);
        workspace_fixture f;
        enterJ13(f, scratch("untouched.jsdb"));
        QTableWidget *els = waterTable(f, "tableWidgetWaters_elements");
        // J-13's Cl was typed in ppm, as an editor shows it: typed again as a molality,
        // its ppm has more digits than an editor keeps, as in the other units.
        if (unit == "ppm")
            QVERIFY(chooseItem(f, "comboBox_elementUnits", "molal")
                    && typeAmount(els, elementRow(f, "Cl"), "2.01395098e-4"));
        QVERIFY(chooseItem(f, "comboBox_elementUnits", unit));
        QTableWidget *t = cell == "Cl" ? els : waterTable(f, "tableWidgetWaters_element_H");
        // J-13 was typed as pH 7.41: its [H+] has all the digits of a power of ten, and
        // so has a pH worked out from a typed [H+].
        auto *form = qobject_cast<QComboBox *>(t->cellWidget(0, 0));
        QVERIFY(cell == "Cl" || chooseItem(form, "[H+]"));
        if (cell == "pH")
            QVERIFY(typeAmount(t, 0, "3.3e-8") && chooseItem(form, "pH"));
        // Saved as the user saves, the workspace holds nothing unsaved.
        connect(f.w, &setup::signal_setup_save, [&f] { QCOMPARE(f.save(), 0); });
        QVERIFY(takeStep(f, "save") && !f.w->unsaved_changes());
        const QByteArray saved = savedBytes(f.sd()->file);
        const one_elementComp *e = entryOf(f, cell == "Cl" ? "Cl" : "H");
        const auto stored = [&] {
            return numbers({e->molal, e->Molar, e->ppm, currentWater(f)->pHcomp});
        };
        const QString before = stored();
        const int row = cell == "Cl" ? elementRow(f, "Cl") : 0;
        const double value = amountShown(t, row);
        // The editor opens on a text its own rule takes, standing for the stored amount.
        QLineEdit *edit = openAmountCell(t, row);
        QVERIFY(edit);
        number_rule cellRule;
        cellRule.decimals = PreciseDoubleFactory::decimals;
        QVERIFY2(!number_field::isRefused(edit) && cellRule.refusal(edit->text()).isEmpty(),
                 qPrintable(edit->text()));
        QVERIFY2(qAbs(edit->text().toDouble() / value - 1.0) < 1e-8, qPrintable(edit->text()));
        if (leave == "Escape") // the text typed is dropped unsaid
            typeOver(edit, "9q", false);
        if (leave == "Return" || leave == "Escape")
            QTest::keyClick(edit, leave == "Return" ? Qt::Key_Return : Qt::Key_Escape);
        if (leave == "elsewhere")
            QTest::mouseClick(els->viewport(), Qt::LeftButton, {},
                              els->visualItemRect(els->item(elementRow(f, "Na"), 1)).center());
        QApplication::processEvents();
        // Nothing stored, nothing to save, and Run runs without a word of refusal; the
        // press of Run closes an editor left open, and that stores nothing either.
        for (const bool ran : {false, true}) {
            QVERIFY(!ran || pressRun(f) == QStringLiteral("     DONE"));
            QCOMPARE(stored(), before);
            QVERIFY(!f.w->unsaved_changes());
            QCOMPARE(savedBytes(f.sd()->file), saved);
        }
        QVERIFY2(!f.messages().contains("refused"), qPrintable(f.messages().right(400)));
    }

    void zeroFromFile_explainedAtRun_data()
    {
        // clang-format off
        addTextRows({"value", "explained"}, {
            {"Ca total", "Ca total", "composition set for [ Ca ] is 0 (an amount must be greater than 0)"},
            {"alkalinity ticked on", "alkalinity", "alkalinity value must be greater than zero"},
            {"temperature", "temperature", "temperature: current value is less than 1 degrees C"},
            {"density", "density", "water mass density: current value is not greater than 0 g/cc"}});
        // clang-format on
    }

    void zeroFromFile_explainedAtRun()
    {
        QFETCH(QString, value);
        QFETCH(QString, explained);
        workspace_fixture f;
        enterFour(f, "zero.jsdb");
        // As a file written elsewhere brings it: no field refused it.
        one_water *w = currentWater(f);
        for (one_elementComp *e : w->composition)
            if (e->element == QLatin1String("Ca"))
                e->molal = e->Molar = e->ppm = 0.0;
        w->alkmolal = w->alkMolar = 0.0;
        w->TC = value == "temperature" ? 0.0 : w->TC;
        w->densitymass = value == "density" ? 0.0 : w->densitymass;
        // Run questions what it cannot take; what it takes is no refused entry either.
        const auto explainedAtRun = [&] {
            const bool questioned = pressRun(f).contains(QLatin1String("Config ERR"));
            return explained.isEmpty() ? !f.messages().contains("correct the refused entry")
                                       : questioned && f.messages().contains(explained);
        };
        if (value != "Ca total") {
            // Ticked on or on its tab, the untouched field shows the stored 0 as it is,
            // told of nowhere.
            entryOf(f, "Ca")->molal = 1e-3;
            if (value == "alkalinity")
                pressIndicator(f.w->findChild<QAbstractButton *>("checkBox_alkalinity"));
            else
                showTab(f.w, 2);
            auto *field = f.w->findChild<QLineEdit *>(
                "lineEdit_" + (value == "density" ? "massDensity" : value));
            QVERIFY(field->isEnabled() && field->text() == "0" && !number_field::isRefused(field));
            QVERIFY(reasonRead(f.w->findChild<QLabel *>("label_spcnReason")).isEmpty());
            QVERIFY2(!f.messages().contains("[ 0 ]"), qPrintable(f.messages().right(400)));
            QVERIFY2(explainedAtRun(), qPrintable(f.messages().right(400)));
            return;
        }
        // An editor opened on it and left open holds no entry of the user's.
        showTab(f.w, 2);
        showTab(f.w, 1);
        QTableWidget *t = waterTable(f, "tableWidgetWaters_elements");
        QLineEdit *edit = openAmountCell(t, elementRow(f, "Ca"));
        QVERIFY(edit);
        QVERIFY2(edit->text() == "0" && !number_field::isRefused(edit), qPrintable(edit->text()));
        // Return closes it as it would any untouched editor, storing nothing.
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY(!cellEditor(t));
        QCOMPARE(entryOf(f, "Ca")->molal, 0.0);
        QVERIFY2(explainedAtRun(), qPrintable(f.messages().right(400)));
    }

    void wheel_changesPickedBoxesOnly_data()
    {
        const QString els = "tableWidgetWaters_elements/Ca/", h = "tableWidgetWaters_element_H/0/";
        // takes: "box" (the wheel changes it), "page" (the page under it scrolls) or empty.
        // clang-format off
        addTextRows({"window", "box", "steps", "takes"}, {
            {"workspace: species of an element", "workspace", els + "0", "", ""},
            {"workspace: swap of an element", "workspace", els + "2", "", ""},
            {"workspace: form of H", "workspace", h + "0", "", ""},
            {"workspace: swap of H", "workspace", h + "2", "", ""},
            {"workspace: form of H in the results", "workspace", "tableWidgetWaters_solutes_H/0/0", "", ""},
            {"workspace: unit of the amounts", "workspace", "comboBox_elementUnits", "", ""},
            {"workspace: activity model", "workspace", "comboBox_acSolutes", "", ""},
            {"workspace: species, picked by the user", "workspace", els + "0", "click", ""},
            {"workspace: unit of the amounts, picked by the user", "workspace", "comboBox_elementUnits", "click", "box"},
            {"mixing: Water 1, focus of the opening", "mixing", "comboBox_water1", "given", ""},
            {"mixing: Water 1, clicked after the opening", "mixing", "comboBox_water1", "given click", "box"},
            {"mixing: Water 1, a key after the opening", "mixing", "comboBox_water1", "given Down", "box"},
            {"mixing: Water 1, Shift alone after the opening", "mixing", "comboBox_water1", "given Shift", ""},
            {"mixing: Water 2", "mixing", "comboBox_water2", "", ""},
            {"mixing: Water 2, reached with Backtab", "mixing", "comboBox_water2", "program Tab", "box"},
            {"mixing: Water 2, picked, left, focus of the program", "mixing", "comboBox_water2", "click away program", ""},
            {"mixing: percent of water 1", "mixing", "doubleSpinBox_volume1", "", ""},
            {"titration: target pH", "titration", "doubleSpinBox_targetpH", "", ""},
            {"titration: target pH, clicked after the program's focus", "titration", "doubleSpinBox_targetpH", "program click", "box"},
            {"results viewer: unit", "results viewer", "comboBox_unitSolutes", "", ""},
            {"export: water", "export", "comboBox_water", "", ""},
            {"database manager: type", "database manager", "comboBox_DBTypes", "", ""},
            {"parser: type", "parser", "comboBox_DBTypes", "", ""},
            {"configuration-file window: path", "configuration-file window", "comboBox_path", "", ""},
            {"water set manager: sort", "water set manager", "comboBox_sort", "", ""},
            {"pdf viewer: zoom", "pdf viewer", "zoomSelector", "", ""},
            {"pdf viewer: page", "pdf viewer", "spinBox_page", "", ""},
            {"window of its own: list", "window of its own", "combo", "", "page"},
            {"window of its own: number, focus of the program", "window of its own", "spin", "program", ""},
            {"window of its own: list in a table cell, picked", "window of its own", "table/0/0", "click", "page"},
            {"dialog over a page: list", "dialog over a page", "dialogList", "", ""}});
        // clang-format on
    }

    void wheel_changesPickedBoxesOnly()
    {
        QFETCH(QString, window);
        QFETCH(QString, box);
        QFETCH(QString, steps);
        QFETCH(QString, takes);
        if (window != "workspace" && !ran) {
            ran = std::make_unique<workspace_fixture>();
            enterJ13(*ran, scratch("wheel-waters.jsdb"), "J-13");
            QCOMPARE(pressRun(*ran), QStringLiteral("     DONE"));
            QVERIFY(chooseItem(*ran, "comboBox_waters", "B"));
            QCOMPARE(pressRun(*ran), QStringLiteral("     DONE"));
        }
        const auto [keep, win] = openWindow(window, ran ? ran->batch : nullptr);
        QWidget *b = boxOf(win, box);
        QVERIFY(b && QTest::qWaitForWindowActive(b->window())); // a dialog over the window
        auto *f = window == "workspace" ? static_cast<workspace_fixture *>(keep.get()) : nullptr;
        QVERIFY(!f || f->save() == 0);
        const QByteArray saved = f ? savedBytes(f->sd()->file) : QByteArray();
        auto *combo = qobject_cast<QComboBox *>(b);
        QVERIFY(b->isEnabled() && (!combo || combo->count() > 1));
        work(b, steps);
        const QStringList shown = shownIn(win);
        const QList<QScrollBar *> bars = win->findChildren<QScrollBar *>();
        const auto scrolled = [&bars] {
            QList<int> at;
            for (const QScrollBar *bar : bars)
                at << bar->value();
            return at;
        };
        const QList<int> before = scrolled();
        turnWheel(b);
        if (takes == "box") {
            QVERIFY(shownIn(win) != shown);
            return;
        }
        QCOMPARE(shownIn(win), shown);
        // Over the box the wheel does what it does over what lies under the box.
        const QList<int> overBox = scrolled();
        QVERIFY(takes.isEmpty() || overBox != before);
        // Over a dialog the wheel never reaches the page behind it, whatever the font.
        QVERIFY(window != "dialog over a page" || overBox == before);
        for (int i = 0; i < bars.size(); ++i)
            bars[i]->setValue(before[i]);
        turnWheel(b, b->parentWidget());
        QCOMPARE(overBox, scrolled());
        QVERIFY(!f || f->save() == 0);
        QCOMPARE(f ? savedBytes(f->sd()->file) : QByteArray(), saved);
    }
};

QTEST_MAIN(tst_fields)
#include "tst_fields.moc"
