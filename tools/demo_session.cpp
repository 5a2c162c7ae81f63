#include "demo_session.h"

#include "app_folder.h"
#include "copy_struct.h"
#include "dbdata.h"
#include "jsdbfile_mgr.h"
#include "mainwindow.h"
#include "sbatch.h"
#include "setup.h"
#include "simfile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>

demo_water demo_j13()
{
    return {QStringLiteral("J-13"),
            QStringLiteral("ppm"),
            7.41,
            {{"Na", 45.8},
             {"Si", 28.4995},
             {"Ca", 13},
             {"K", 5.04001},
             {"Mg", 2.01},
             {"Li", 0.048},
             {"C", 27.6372},
             {"F", 2.18001},
             {"Cl", 7.14},
             {"N", 1.98338},
             {"S", 6.14192},
             {"B", 0.133929},
             {"Al", 0.008},
             {"Mn", 0.012},
             {"Fe", 0.04},
             {"Sr", 0.04},
             {"P", 0.0387256}}};
}

demo_water demo_seawater()
{
    return {QStringLiteral("seawater"),
            QStringLiteral("molal"),
            8.22,
            {{"Ca", 0.0102874},
             {"Cl", 0.545882},
             {"C", 0.002022},
             {"K", 0.0102076},
             {"Mg", 0.0531496},
             {"Na", 0.468382},
             {"S", 0.0282313}}};
}

void demo_session::redirect_settings(const QString &scratch)
{
    qputenv("XDG_CONFIG_HOME", QDir(scratch).filePath(QStringLiteral("config")).toLocal8Bit());
}

bool demo_session::use_laptop_screen(const QString &scratch)
{
    QDir().mkpath(scratch);
    QFile f(QDir(scratch).filePath(QStringLiteral("screen.json")));
    const QByteArray json = "{\"screens\": [{\"name\": \"laptop\", \"x\": 0, \"y\": 0, "
                            "\"width\": 1366, \"height\": 768, \"logicalDpi\": 96, "
                            "\"logicalBaseDpi\": 96, \"dpr\": 1}]}\n";
    if (!f.open(QIODevice::WriteOnly) || f.write(json) != json.size())
        return false;
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + f.fileName().toUtf8());
    return true;
}

void demo_session::prepare(const QString &scratch)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tarlow"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("tarlow.example"));
    QCoreApplication::setApplicationName(QStringLiteral("vek7"));
    QSettings().clear();
    QFile sheet(QStringLiteral(":/styleSheets/qss_primary_std.qss"));
    if (sheet.open(QIODevice::ReadOnly))
        qApp->setStyleSheet(QString::fromLatin1(sheet.readAll()));
    const QString app = QDir(scratch).filePath(QStringLiteral("vek7"));
    QDir().mkpath(app);
    app_folder::set_path(app);
}

void demo_session::install_database(const QString &db)
{
    QSettings settings;
    settings.setValue(QStringLiteral("VEK7.EQ/vek7type"), QStringLiteral("vek7.eq"));
    settings.beginGroup(QStringLiteral("DEFAULT"));
    settings.beginWriteArray(QStringLiteral("DBTypes"), 1);
    settings.setArrayIndex(0);
    settings.setValue(QStringLiteral("aDBType"),
                      QStringLiteral("EQ36 1996: data0.cmp - data0.com.V8.R6"));
    settings.endArray();
    settings.endGroup();
    settings.beginGroup(QStringLiteral("DB"));
    settings.setValue(QStringLiteral("dbtype_index"), 0);
    settings.beginWriteArray(QStringLiteral("file_DBTypes"), 1);
    settings.setArrayIndex(0);
    settings.setValue(QStringLiteral("file"), db);
    settings.setValue(QStringLiteral("user"),
                      QFileInfo(db).absolutePath() + QStringLiteral("/db_UserLocal.db"));
    settings.endArray();
    settings.endGroup();
    settings.sync();
}

bool demo_session::write_configuration(const QString &path, const QStringList &waters,
                                       QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    sbatch batch;
    batch.simData_init(batch.sdata);
    sim_data *sd = batch.sdata;
    sd->file = path;
    sd->fileBackup = path + QStringLiteral("-bk");
    if (sd->waters.isEmpty() || waters.isEmpty()) {
        *error = QStringLiteral("a new configuration holds no water to copy");
        return false;
    }
    one_water *model = sd->waters.first();
    copy_struct copy;
    for (int i = 1; i < waters.size(); ++i) {
        one_water *w = sd->own(copy.copy_water(model));
        w->name = waters.at(i);
        sd->waters.append(w);
    }
    model->name = waters.first();
    sd->nwaters = int(sd->waters.size());
    jsdbfile_mgr writer;
    if (writer.jsdbfile_json_new(&batch) != 0) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, writer.messages().join(' '));
        return false;
    }
    return true;
}

demo_session::demo_session()
    : win(std::make_unique<MainWindow>())
{
    win->show();
}

demo_session::~demo_session() = default;

simfile *demo_session::files() const
{
    return win->findChild<simfile *>();
}

setup *demo_session::workspace() const
{
    return win->findChild<setup *>();
}

QWidget *demo_session::page() const
{
    auto *stack = win->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
    return stack ? stack->currentWidget() : nullptr;
}

QPushButton *demo_session::button(QWidget *root, const QString &name)
{
    return root ? root->findChild<QPushButton *>(name) : nullptr;
}

QAction *demo_session::action(QWidget *root, const QString &text)
{
    if (!root)
        return nullptr;
    for (QAction *a : root->findChildren<QAction *>())
        if (a->text() == text)
            return a;
    return nullptr;
}

bool demo_session::fail(const QString &why)
{
    error = why;
    return false;
}

bool demo_session::start()
{
    QPushButton *start = button(win.get(), QStringLiteral("pushButton_Login"));
    if (!start)
        return fail(QStringLiteral("the login page has no Start button"));
    start->click();
    return page() && page()->objectName() == QLatin1String("page_mainWindow")
        ? true
        : fail(QStringLiteral("Start did not show the main menu"));
}

bool demo_session::speciation()
{
    QPushButton *b = button(win.get(), QStringLiteral("pushButton_Speciation"));
    if (!b || !b->isEnabled())
        return fail(QStringLiteral("Speciation is not enabled on the main menu"));
    b->click();
    return page() == files() ? true
                             : fail(QStringLiteral("Speciation did not show the files page"));
}

bool demo_session::open_recent(const QString &file)
{
    files()->adjustForCurrentFile(file);
    QAction *recent = action(files(), QFileInfo(file).fileName());
    if (!recent)
        return fail(QStringLiteral("%1 is not in the Open Recent list").arg(file));
    recent->trigger();
    QPushButton *load = button(files(), QStringLiteral("pushButton_Load"));
    return load && load->isEnabled() ? true
                                     : fail(QStringLiteral("%1 could not be opened").arg(file));
}

bool demo_session::load(bool database)
{
    auto *access = files()->findChild<QCheckBox *>(QStringLiteral("checkBox_DBAccess"));
    if (access && access->isChecked() != database)
        access->click();
    auto *reload = files()->findChild<QCheckBox *>(QStringLiteral("checkBox_DBReload"));
    if (reload && reload->isEnabled() && !reload->isChecked())
        reload->click();
    button(files(), QStringLiteral("pushButton_Load"))->click();
    return page() == workspace() ? true
                                 : fail(QStringLiteral("Load did not show the setup workspace"));
}

void demo_session::close_workspace()
{
    button(workspace(), QStringLiteral("pushButton_Close"))->click();
}

bool demo_session::add_species(const QStringList &elements, const QStringList &gases)
{
    setup *w = workspace();
    sbatch *batch = w->retrieve_sbatch();
    dbdata *db = files()->retrieve_dbdata();
    if (!batch || !db)
        return fail(QStringLiteral("the workspace holds no configuration and database"));
    for (const QString &name : elements) {
        const int k = db->find_idxDB_element(name);
        if (k < 0)
            return fail(QStringLiteral("element %1 is not in the database").arg(name));
        one_element *el = db->sdata->elements.at(k);
        w->add_one_element(el, false, 0);
        w->collect_data_on_element(el);
    }
    for (const QString &name : gases) {
        const int k = db->find_idxDB_gas(name);
        if (k < 0)
            return fail(QStringLiteral("gas %1 is not in the database").arg(name));
        one_gas *gas = db->sdata->gases.at(k);
        w->add_one_gas(gas, false);
        w->collect_data_on_gas(gas);
    }
    w->populateTable_solutes();
    w->populateTable_rxns(batch->sdata->rxnsAqueous, batch->sdata->rxnsGas);
    return true;
}

bool demo_session::choose_water(const QString &name)
{
    auto *tabs = workspace()->findChild<QTabWidget *>(QStringLiteral("tabWidget_Setup"));
    tabs->setCurrentIndex(1);
    auto *waters = workspace()->findChild<QComboBox *>(QStringLiteral("comboBox_waters"));
    const int k = waters->findText(name);
    if (k < 0)
        return fail(QStringLiteral("no water %1 in the workspace").arg(name));
    waters->setCurrentIndex(k);
    return true;
}

namespace {
bool choose(QWidget *root, const QString &combo, const QString &text)
{
    auto *box = root->findChild<QComboBox *>(combo);
    const int k = box ? box->findText(text) : -1;
    if (k >= 0)
        box->setCurrentIndex(k);
    return k >= 0;
}
} // namespace

bool demo_session::enter_water(const demo_water &water)
{
    if (!choose_water(water.name))
        return false;
    setup *w = workspace();
    const QString units = QStringLiteral("comboBox_elementUnits");
    auto *hRow = w->findChild<QTableWidget *>(QStringLiteral("tableWidgetWaters_element_H"));
    if (!choose(w, units, QStringLiteral("molal")) || !hRow->item(0, 1))
        return fail(QStringLiteral("the hydrogen row takes no pH"));
    hRow->item(0, 1)->setData(Qt::EditRole, water.pH);
    if (!choose(w, units, water.unit))
        return fail(QStringLiteral("no composition unit %1").arg(water.unit));
    auto *t = w->findChild<QTableWidget *>(QStringLiteral("tableWidgetWaters_elements"));
    for (const auto &amount : water.amounts) {
        int row = -1;
        for (int r = 0; r < t->rowCount(); ++r)
            if (t->item(r, 3) && t->item(r, 3)->text() == amount.first)
                row = r;
        if (row < 0 || !t->item(row, 1))
            return fail(QStringLiteral("no row for %1 in water %2").arg(amount.first, water.name));
        t->item(row, 1)->setData(Qt::EditRole, amount.second);
    }
    return true;
}

QString demo_session::run()
{
    button(workspace(), QStringLiteral("pushButton_spcn"))->click();
    auto *status = workspace()->findChild<QLineEdit *>(QStringLiteral("lineEdit_spcnStat"));
    return status ? status->text() : QString();
}
