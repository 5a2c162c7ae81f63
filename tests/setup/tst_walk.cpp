// A seeded random walk over the water pages, every step taken as a user takes it.
// After each step a refused entry shows only on the water, in the place and under
// the meaning (H form, unit) it was typed for, the line under Run names one, and Run
// gives no DONE while one shows; no stored value of any water moves but by an
// accepted entry into that water; Return and Escape close the editor they close.

#include "input_fields.h"
#include "records.h"
#include "sbatch.h"
#include "setup.h"
#include "support_setup.h"
#include "test_press.h"
#include "test_ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRandomGenerator>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

namespace {

/// A refused text the walk typed: on which water, where and under what meaning.
struct Typed
{
    const one_water *water;
    QString place, meaning, text;
};

struct Walk
{
    workspace_fixture &f;
    QRandomGenerator rng;
    QStringList log; ///< the steps taken
    QList<Typed> typed; ///< the refused texts typed
    const one_water *acceptedInto = nullptr; ///< the water an entry of the step went to

    QString any(const QStringList &l) { return l.at(rng.bounded(int(l.size()))); }
    QComboBox *combo(const char *name) const { return f.w->findChild<QComboBox *>(name); }
    QTableWidget *table(const QString &place) const
    {
        return waterTable(
            f, place == "cell:H+" ? "tableWidgetWaters_element_H" : "tableWidgetWaters_elements");
    }
    QString form() const
    {
        return qobject_cast<QComboBox *>(table("cell:H+")->cellWidget(0, 0))->currentText();
    }
    QStringList waters() const
    {
        QStringList names;
        for (const one_water *w : f.sd()->waters)
            names << w->name;
        return names;
    }
    /// What a number typed at `place` stands for now.
    QString meaning(const QString &place) const
    {
        const QString unit = combo("comboBox_elementUnits")->currentText();
        return place == "lineEdit_alkalinity" ? combo("comboBox_alkalinityUnit")->currentText()
            : place == "cell:H+"              ? form() + ' ' + unit
            : place.startsWith("cell:")       ? unit
                                              : QString();
    }
    QString type();
    QString manage();
    QString act();
    QString check(const QMap<const one_water *, QMap<QString, double>> &before);
};

/// Types a refused or an accepted text into a cell or field, and leaves it.
QString Walk::type()
{
    showTab(f.w, 1); // the cells of the system as it is now
    QStringList places = {"lineEdit_temperature", "lineEdit_massDensity"};
    if (table("cell:H+")->isEnabled()) // no H amount is taken in ppm
        places << "cell:H+";
    for (const char *e : {"Ca", "Na", "Cl", "C", "Mg"})
        places << (elementRow(f, e) >= 0 ? QString("cell:") + e : QString());
    if (f.w->findChild<QLineEdit *>("lineEdit_alkalinity")->isEnabled())
        places << "lineEdit_alkalinity";
    places.removeAll(QString());
    const QString place = any(places);
    const bool cell = place.startsWith("cell:"), refused = rng.bounded(2);
    if (!cell && place != "lineEdit_alkalinity")
        showTab(f.w, 2);
    const bool pH = place == "cell:H+" && form() == "pH";
    const QString text = refused ? any({"1,5", "abc", pH || place.contains("temp") ? "301" : "-5"})
        : place == "lineEdit_temperature" ? "25"
        : place == "lineEdit_massDensity" ? any({"1.02", "1.1"})
        : pH                              ? any({"7.5", "6.8"})
                                          : any({"0.002", "2.5e-3", "1e-7"});
    const QString other = place == "cell:Na" ? "Cl" : "Na";
    const QString leave = any(
        {"Return", "Return", cell ? "Escape" : "Tab", cell ? "cell " + other : "Tab", "elsewhere"});
    log << QString("type %1 [ %2 ] under '%3', %4").arg(place, text, meaning(place), leave);
    QPointer<QLineEdit> edit = cell
        ? openAmountCell(table(place), place == "cell:H+" ? 0 : elementRow(f, place.mid(5)))
        : f.w->findChild<QLineEdit *>(place);
    if (!edit)
        return "no editor opened";
    typeOver(edit, text, false);
    if (refused)
        typed.append({currentWater(f), place, meaning(place), text});
    else if (leave != "Escape")
        acceptedInto = currentWater(f);
    if (leave == "elsewhere") // the message pane: only the focus moves
        QTest::mouseClick(f.w->findChild<QTextEdit *>("textEdit_Messages")->viewport(),
                          Qt::LeftButton);
    else if (leave.startsWith("cell") && !openAmountCell(table(""), elementRow(f, other)))
        return "no editor opened at " + other;
    else if (!leave.startsWith("cell"))
        QTest::keyClick(edit,
                        leave == "Return"    ? Qt::Key_Return
                            : leave == "Tab" ? Qt::Key_Tab
                                             : Qt::Key_Escape);
    QApplication::processEvents();
    const bool closes = cell && (leave == "Escape" || (leave == "Return" && !refused));
    return closes && !QTest::qWaitFor([&] { return !edit || !edit->isVisible(); })
        ? "the editor stays open"
        : QString();
}

/// In the water set manager: a water duplicated, or the name of the water shown given
/// to another water and the water shown removed (renames and a removal in one).
QString Walk::manage()
{
    QStringList others = waters();
    const QString shown = currentWater(f)->name, other = any(others);
    others.removeAll(shown);
    const bool hand = !others.isEmpty() && rng.bounded(3);
    log << "water set manager: " + (hand ? shown + " to " + others.first() : other + " duplicated");
    manageWaters(f.w,
                 hand ? QList<water_action> {{shown, "T"},
                                             {others.first(), shown},
                                             {"T", "", "pushButton_remove"}}
                      : QList<water_action> {{other, "", "pushButton_duplicate"}});
    return {};
}

QString Walk::act()
{
    const int kind = rng.bounded(16);
    if (kind < 5)
        return type();
    if (kind == 5)
        return manage();
    QString step;
    if (kind == 6) {
        // Run: no DONE while a refused entry shows.
        const auto shown = numericEntries(f.w);
        const bool refused = std::any_of(shown.cbegin(), shown.cend(), [](const auto &e) {
            return number_field::isRefused(e.first);
        });
        showTab(f.w, 1);
        const QString status = pressRun(f);
        log << "Run: " + status.trimmed();
        return refused && status.contains("DONE") ? "DONE while a refused entry shows" : "";
    }
    const bool alk = f.w->findChild<QAbstractButton *>("checkBox_alkalinity")->isChecked();
    const bool mg = f.elementNames().contains("Mg"), co2 = f.gasNames().contains("CO2(g)");
    step = QStringList {"tab " + any({"0", "1", "2"}),
                        "unit " + any({"molal", "Molar", "ppm"}),
                        "form " + any({"pH", "[H+]"}),
                        "water " + any(waters()),
                        alk ? "alkalinity off" : "alkalinity on",
                        "alkalinity " + any({"molal", "Molar"}),
                        mg ? "delete Mg" : "add element",
                        co2 ? "delete gas" : "add gas",
                        "save"}
               .at(kind - 7);
    if ((step.startsWith("form") && !table("cell:H+")->isEnabled())
        || (step.startsWith("alkalinity") && !step.endsWith("on") && !step.endsWith("off") && !alk))
        return {};
    log << step;
    if (!step.startsWith("tab ") && !step.contains("element") && !step.contains("gas"))
        showTab(f.w, 1);
    return takeStep(f, step) ? QString() : "could not " + step;
}

QString Walk::check(const QMap<const one_water *, QMap<QString, double>> &before)
{
    const auto now = waterValues(f.sd());
    for (auto w = before.cbegin(); w != before.cend(); ++w)
        for (auto v = w->cbegin();
             now.contains(w.key()) && w.key() != acceptedInto && v != w->cend(); ++v)
            if (now[w.key()].value(v.key(), *v) != *v)
                return QString("water [ %1 ] %2 went from %3 to %4, nothing entered into it")
                    .arg(w.key()->name, v.key())
                    .arg(*v)
                    .arg(now[w.key()][v.key()]);
    QStringList shown;
    for (const auto &[edit, place] : numericEntries(f.w)) {
        const auto typedHere = [&, p = place](const Typed &t) {
            return t.water == currentWater(f) && t.place == p && t.text == edit->text()
                && t.meaning == meaning(p);
        };
        if (number_field::isRefused(edit) && std::none_of(typed.cbegin(), typed.cend(), typedHere))
            return "[ " + edit->text() + " ] shows at " + place + " under '" + meaning(place)
                + "', not typed there on this water and under that meaning";
        if (number_field::isRefused(edit))
            shown << "[ " + edit->text() + " ]";
    }
    const QString line = reasonRead(f.w->findChild<QLabel *>("label_spcnReason"));
    const bool named = std::any_of(shown.cbegin(), shown.cend(),
                                   [&](const QString &t) { return line.contains(t); });
    return (shown.isEmpty() ? line.contains("refused") : !named)
        ? "the line under Run [ " + line + " ] with refused " + shown.join(", ")
        : QString();
}

} // namespace

class tst_walk : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietDebug(); }

    void refusedEntries_stayWithTheirWaterAndMeaning_data()
    {
        QTest::addColumn<quint32>("seed");
        for (const quint32 seed : {2u, 9u, 13u, 30u, 44u, 48u})
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
        Walk walk {f, QRandomGenerator(seed), {}, {}};
        QString fault;
        while (fault.isEmpty() && walk.log.size() < 60) {
            walk.acceptedInto = nullptr;
            const auto before = waterValues(f.sd());
            fault = walk.act();
            // A closed list leaves its popup the active window for a moment, a closed
            // dialog none: the checks look at the workspace as the user does.
            f.w->activateWindow();
            QTRY_VERIFY(QApplication::activeWindow() == f.w);
            QApplication::processEvents();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            fault = fault.isEmpty() ? walk.check(before) : fault;
        }
        // Every step is written out first: a failure's own message is cut short.
        if (!fault.isEmpty())
            qWarning().noquote() << QString("seed %1, steps:\n").arg(seed) + walk.log.join('\n');
        QVERIFY2(fault.isEmpty(),
                 qPrintable(QString("seed %1, step %2 (%3): %4")
                                .arg(seed)
                                .arg(walk.log.size())
                                .arg(walk.log.value(walk.log.size() - 1), fault)));
    }
};

QTEST_MAIN(tst_walk)
#include "tst_walk.moc"
