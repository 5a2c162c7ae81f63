#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class QComboBox;
class QLineEdit;
class QTableWidget;
class QTreeWidget;
class dbdata;
class jsdbfile_mgr;
class sbatch;
class setup;
struct one_elementComp;
struct one_water;
struct one_water_result;
struct sim_data;

/// Path of a private copy of the generated reference database, made once per run.
QString setupTestDb();
/// Path of `name` in the run's scratch folder.
QString scratch(const QString &name);
/// The bytes of the file at `path` with its "date" (the time of saving) blanked.
QByteArray savedBytes(const QString &path);

/// One configuration entered into a setup workspace the way the main window does it:
/// set_simType, settings_read, setup_system, with a reader, a loaded database image
/// and a batch made here. Destroys them in a safe order.
class workspace_fixture
{
public:
    workspace_fixture();
    ~workspace_fixture();
    workspace_fixture(const workspace_fixture &) = delete;
    workspace_fixture &operator=(const workspace_fixture &) = delete;

    /// Changes made to the configuration as read, before the workspace builds from it.
    using tweak_fn = std::function<void(sim_data *cfg)>;
    /// A new configuration written to `path` (as New does), then entered; `tweak`
    /// may change the configuration first.
    bool enterNew(const QString &path, bool redox = false, bool dbaccess = true,
                  const tweak_fn &tweak = {});
    /// The configuration read from `path` (as Open does), then entered.
    bool enterOpen(const QString &path);
    /// Another configuration, read from `path` (or new there), entered into the same
    /// workspace as Open (New) does; the earlier batch, reader and image are released.
    bool enterAgain(const QString &path, bool open);
    /// Writes the batch to its file; 0 on success.
    int save();

    setup *w = nullptr; ///< the workspace
    sbatch *batch = nullptr; ///< the batch edited
    jsdbfile_mgr *mgr = nullptr; ///< the configuration reader
    dbdata *db = nullptr; ///< the database image
    sim_data *sd() const; ///< the batch's configuration

    QString messages() const; ///< text of the message pane
    QStringList elementNames() const; ///< names in the element tree, in row order
    QStringList elementDeleteTexts() const; ///< texts of the element tree's delete column
    QStringList gasNames() const; ///< names in the gas table
    QStringList soluteNames() const; ///< names in the solute table
    QStringList soluteTypes() const; ///< type keys in the solute table
    QStringList rxnNames() const; ///< names in the reaction table
    QStringList rxnTypes() const; ///< type keys in the reaction table
    /// Chooses an item of the reaction-type selector as the user does.
    void chooseRxnList(int item);
    /// Clicks the delete column of the element row showing `name`; false when not shown.
    bool clickDeleteElement(const QString &name);
    /// Clicks the delete column of the gas row showing `name`; false when not shown.
    bool clickDeleteGas(const QString &name);
    /// Adds an element of the database as the Add Element button does after the picker.
    void addElementDirect(const QString &name);
    /// Adds a gas of the database as the Add Gas button does after the picker.
    void addGasDirect(const QString &name);

private:
    bool enter();
    bool loadDb();
};

/// The water on show in the fixture's workspace.
one_water *currentWater(const workspace_fixture &f);
/// The composition entry of `element` in the water on show, or null.
one_elementComp *entryOf(const workspace_fixture &f, const QString &element);

/// The reference results file `relative` (below the reference folder, without
/// ".json"), or an empty object when it cannot be read.
QJsonObject referenceCase(const QString &relative);
/// The total molality of `element` in a water's result; NaN when it has none.
double totalOf(const one_water_result *r, const QString &element);

/// Empty when every count of the configuration equals its list's length (water
/// composition counts included); otherwise a line naming the first that differs.
QString countsMismatch(const sim_data *sd);

/// Texts of one column of a table, in row order (empty text for a missing item).
QStringList tableColumn(const QTableWidget *t, int column);

/// Answers every message box that opens while it lives with its default button and
/// keeps their texts, so an unexpected box can neither hang a test nor pass unseen.
class BoxCatcher : public QObject
{
public:
    BoxCatcher();
    QStringList texts; ///< texts of the boxes answered, in order

private:
    QTimer timer;
};

/// Runs `act` on the active modal widget as soon as one is open (polling), once.
void whenModal(std::function<void(QWidget *)> act);

/// Drops debug lines (the database loader writes thousands) while keeping warnings
/// and failures; lines written while a LogLines lives are kept for the test.
void quietDebug();

/// Collects the debug lines written while it lives.
class LogLines
{
public:
    LogLines();
    ~LogLines();
    LogLines(const LogLines &) = delete;
    LogLines &operator=(const LogLines &) = delete;
    QStringList lines() const; ///< lines collected so far
};

/// Presses Add Element and answers the picker as a user does: types `search`,
/// clicks the row of `element`, ticks "  Use Redox Reaction Pair(s)" when `usePairs`
/// and the box is enabled, then presses Select (or Cancel when `cancel`).
/// `inspect` sees the picker just before the button is pressed.
void pickElement(setup *w, const QString &search, const QString &element, bool usePairs = false,
                 bool cancel = false, const std::function<void(QWidget *picker)> &inspect = {});
/// Presses Add Gas and answers the gas picker: types `search`, clicks the row of
/// `gas`, presses Select.
void pickGas(setup *w, const QString &search, const QString &gas);
/// Presses the workspace's "manage water" and lets `act` work the water set manager.
void runWaterManager(setup *w, const std::function<void(QWidget *dlg)> &act);
/// Clicks the row of `water` in the water set manager `dlg`.
void clickWaterRow(QWidget *dlg, const QString &water);
/// One action in the water set manager: the row of `water` clicked, then `rename`
/// typed as its new name (when not empty) and `button` pressed (when given).
struct water_action
{
    QString water, rename;
    const char *button = nullptr;
};
/// Runs the water set manager through `actions`, then presses its Save.
void manageWaters(setup *w, const QList<water_action> &actions);
/// Takes one step of a change of what the water pages show, as a user takes it:
/// "tab N"; "tabs" (Solution Properties and back); "unit U [V]" (each unit chosen in
/// turn); "form pH" or "form [H+]"; "water NAME" (chosen in the list); "add element"
/// (Mg) or "add gas" (CO2(g)); "delete E" (an element) or "delete gas"; "save";
/// "close"; "alkalinity off" (or on: the box clicked); "alkalinity U" (its unit);
/// "another cell" (Na's amount opened); in the water set manager "rename water" or
/// "delete water" (the water "water-default"), "duplicate NAME", or "give NAME to
/// OTHER" (NAME renamed, OTHER given its name, NAME's water removed). False when it
/// could not. "density D": D typed as the density on Solution Properties.
bool takeStep(workspace_fixture &f, const QString &step);
/// What every water holds, keyed by its record: "TC", "d", "alk", "pH" and each
/// composition entry's molal amount under its element's name.
using water_values = QMap<const one_water *, QMap<QString, double>>;
water_values waterValues(const sim_data *sd);
/// The first value of a water in both `before` and `now`, `except` aside, that moved
/// between them, said as a user reads it; empty when none did.
QString valueMoved(const water_values &before, const water_values &now,
                   const one_water *except = nullptr);
/// The numeric fields and open composition cell editors of the workspace that show
/// a refused entry, each with its place: the field's object name, or "cell:" and the
/// row's key ("cell:Ca", "cell:H+") for a cell's editor.
QList<QPair<QLineEdit *, QString>> refusedShown(const setup *w);
/// Table `name` of the workspace's water pages.
QTableWidget *waterTable(const setup *w, const QString &name);
/// Opens tab `index` of the workspace with a click on its tab.
void showTab(setup *w, int index);
/// Opens the Water Composition tab with a click on its tab, window shown.
void showWaterPage(setup *w);
/// The open cell editor of `t`, or null.
QLineEdit *cellEditor(const QTableWidget *t);
/// Types `text` over what `field` shows, as a user does (select all, delete, type),
/// then presses Return when `enter`.
void typeOver(QWidget *field, const QString &text, bool enter = true);
/// Row of the element table whose element is `element`, or -1.
int elementRow(const setup *w, const QString &element);
/// Opens the editor of the amount cell of `row` as a user does (click, double-click);
/// the editor, or null when none opened.
QLineEdit *openAmountCell(QTableWidget *t, int row);
/// Types `text` into the amount cell of `row` as a user does: double-click, type
/// over the selection, Return. False when no editor opened.
bool typeAmount(QTableWidget *t, int row, const QString &text);
/// Chooses item `text` of the workspace combo `name`; false when absent.
bool chooseItem(const setup *w, const QString &name, const QString &text);
/// Chooses item `text` of `combo`; false when absent.
bool chooseItem(QComboBox *combo, const QString &text);
/// Chooses item `text` of `combo` as a user does: a click opens its list, the arrow
/// keys walk to the item, Return takes it. False when it was not taken.
bool pickItem(QComboBox *combo, const QString &text);
/// The combo box in `column` of the element table's row of `element` (0 species,
/// 2 swap reaction), or null.
QComboBox *elementCombo(const setup *w, const QString &element, int column);
/// Presses Run and returns the status line's text.
QString pressRun(setup *w);

// The same on the fixture's workspace.
inline void pickElement(workspace_fixture &f, const QString &search, const QString &element,
                        bool usePairs = false, bool cancel = false,
                        const std::function<void(QWidget *picker)> &inspect = {})
{
    pickElement(f.w, search, element, usePairs, cancel, inspect);
}
inline void pickGas(workspace_fixture &f, const QString &search, const QString &gas)
{
    pickGas(f.w, search, gas);
}
inline QTableWidget *waterTable(const workspace_fixture &f, const QString &name)
{
    return waterTable(f.w, name);
}
inline void showWaterPage(workspace_fixture &f)
{
    showWaterPage(f.w);
}
inline int elementRow(const workspace_fixture &f, const QString &element)
{
    return elementRow(f.w, element);
}
inline bool chooseItem(const workspace_fixture &f, const QString &name, const QString &text)
{
    return chooseItem(f.w, name, text);
}
inline QComboBox *elementCombo(const workspace_fixture &f, const QString &element, int column)
{
    return elementCombo(f.w, element, column);
}
inline QString pressRun(workspace_fixture &f)
{
    return pressRun(f.w);
}
/// Value of the amount cell of `row` as the cell holds it.
double amountShown(const QTableWidget *t, int row);

/// A new configuration in the scratch file `file` with Ca, C, Na and Cl, its water
/// at density 1.1, on show.
void enterFour(workspace_fixture &f, const QString &file);

/// The J-13 well water: element totals in ppm (mg/kg).
extern const QList<QPair<QString, QString>> j13;
/// A new configuration with a second water "B" beside the default one (named `name`
/// when given), the J-13 elements added and the J-13 amounts typed into the first
/// water, pH 7.41.
void enterJ13(workspace_fixture &f, const QString &path, const QString &name = QString());
/// Types the J-13 water into the workspace's current water as a user does, its
/// elements already in the system: pH 7.41 in molal units, the totals in ppm.
void typeJ13(setup *w);
/// Types a water into the workspace's current water as a user does, its elements
/// already in the system: `pH` in molal units, then each element's total in `units`.
void typeWater(setup *w, const QString &pH, const QString &units,
               const QList<QPair<QString, QString>> &totals);
