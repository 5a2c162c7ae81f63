#include "support_setup.h"

#include "dbdata.h"
#include "input_fields.h"
#include "jsdbfile_mgr.h"
#include "sbatch.h"
#include "setup.h"
#include "test_env.h"
#include "test_press.h"
#include "test_ui.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

QString setupTestDb()
{
    static QString path;
    if (path.isEmpty())
        path = copyGeneratedDb(vek7TestScratchDir());
    return path;
}

QString scratch(const QString &name)
{
    return QDir(vek7TestScratchDir()).filePath(name);
}

QByteArray savedBytes(const QString &path)
{
    static const QRegularExpression date(QStringLiteral("\"date\": \"[^\"]*\""));
    QFile file(path);
    const QString text
        = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    return QString(text).replace(date, QStringLiteral("\"date\": \"\"")).toUtf8();
}

workspace_fixture::workspace_fixture()
    : w(new setup)
{ }

workspace_fixture::~workspace_fixture()
{
    // The workspace links the batch, the batch links records of the reader and the
    // image: release them in that order.
    delete w;
    delete batch;
    delete mgr;
    delete db;
}

sim_data *workspace_fixture::sd() const
{
    return batch ? batch->sdata : nullptr;
}

bool workspace_fixture::loadDb()
{
    db = new dbdata;
    sim_data *s = batch->sdata;
    s->dbtype = 0;
    s->dbref = setupTestDb();
    if (!s->ctrlset->dbaccess) {
        db->db_essential_prePatch(0);
        return true;
    }
    return db->db_retrieve_data(s) == 0 && db->db_manage_data(s) == 0
        && db->db_set_solid_multipleRxns() == 0;
}

bool workspace_fixture::enter()
{
    if (!loadDb())
        return false;
    w->set_simType(0, mgr, db, batch);
    w->settings_read();
    w->setup_system();
    return true;
}

bool workspace_fixture::enterNew(const QString &path, bool redox, bool dbaccess,
                                 const tweak_fn &tweak)
{
    batch = new sbatch;
    mgr = new jsdbfile_mgr;
    batch->simData_init(batch->sdata);
    batch->simData_init(mgr->sdata);
    batch->sdata->file = path;
    batch->sdata->fileBackup = path + QStringLiteral("-bk");
    batch->sdata->ctrlset->redox = redox;
    batch->sdata->ctrlset->dbaccess = dbaccess;
    if (mgr->jsdbfile_json_new(batch) != 0)
        return false;
    if (tweak)
        tweak(mgr->sdata);
    return enter();
}

bool workspace_fixture::enterOpen(const QString &path)
{
    batch = new sbatch;
    mgr = new jsdbfile_mgr;
    batch->simData_init(batch->sdata);
    batch->simData_init(mgr->sdata);
    // A file with a missing section is taken as it was read, as Open does.
    if (mgr->jsdbfile_json_read(path) == 2)
        return false;
    batch->sdata->file = path;
    batch->sdata->fileBackup = path + QStringLiteral("-bk");
    copy_struct cpy;
    delete batch->sdata->ctrlset;
    batch->sdata->ctrlset = cpy.copy_ctrlset(mgr->sdata->ctrlset);
    return enter();
}

bool workspace_fixture::enterAgain(const QString &path, bool open)
{
    const std::unique_ptr<sbatch> oldBatch(batch);
    const std::unique_ptr<jsdbfile_mgr> oldMgr(mgr);
    const std::unique_ptr<dbdata> oldDb(db);
    // The workspace lets go of the old configuration when it takes the new one.
    return open ? enterOpen(path) : enterNew(path);
}

int workspace_fixture::save()
{
    return mgr->jsdbfile_json_save(batch);
}

QString workspace_fixture::messages() const
{
    return w->findChild<QTextEdit *>(QStringLiteral("textEdit_Messages"))->toPlainText();
}

QStringList tableColumn(const QTableWidget *t, int column)
{
    QStringList texts;
    for (int r = 0; r < t->rowCount(); ++r)
        texts << (t->item(r, column) ? t->item(r, column)->text() : QString());
    return texts;
}

namespace {
QStringList treeTexts(const QTreeWidget *tree, int column)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(column);
    return texts;
}
} // namespace

QStringList workspace_fixture::elementNames() const
{
    return treeTexts(w->findChild<QTreeWidget *>(QStringLiteral("treeWidget_elements")), 0);
}

QStringList workspace_fixture::elementDeleteTexts() const
{
    return treeTexts(w->findChild<QTreeWidget *>(QStringLiteral("treeWidget_elements")), 1);
}

QStringList workspace_fixture::gasNames() const
{
    return tableColumn(w->findChild<QTableWidget *>(QStringLiteral("tableWidget_gases")), 0);
}

QStringList workspace_fixture::soluteNames() const
{
    return tableColumn(w->findChild<QTableWidget *>(QStringLiteral("tableWidget_solutes")), 0);
}

QStringList workspace_fixture::soluteTypes() const
{
    return tableColumn(w->findChild<QTableWidget *>(QStringLiteral("tableWidget_solutes")), 1);
}

QStringList workspace_fixture::rxnNames() const
{
    return tableColumn(w->findChild<QTableWidget *>(QStringLiteral("tableWidget_rxns")), 0);
}

QStringList workspace_fixture::rxnTypes() const
{
    return tableColumn(w->findChild<QTableWidget *>(QStringLiteral("tableWidget_rxns")), 2);
}

void workspace_fixture::chooseRxnList(int item)
{
    w->findChild<QComboBox *>(QStringLiteral("comboBox_rxnsList"))->setCurrentIndex(item);
}

bool workspace_fixture::clickDeleteElement(const QString &name)
{
    auto *tree = w->findChild<QTreeWidget *>(QStringLiteral("treeWidget_elements"));
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = tree->topLevelItem(i);
        if (item->text(0) != name)
            continue;
        w->show();
        tree->scrollToItem(item);
        const QRect r = tree->visualItemRect(item);
        const int x = tree->header()->sectionViewportPosition(1) + 5;
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(x, r.center().y()));
        return true;
    }
    return false;
}

bool workspace_fixture::clickDeleteGas(const QString &name)
{
    auto *t = w->findChild<QTableWidget *>(QStringLiteral("tableWidget_gases"));
    for (int r = 0; r < t->rowCount(); ++r) {
        if (!t->item(r, 0) || t->item(r, 0)->text() != name)
            continue;
        w->show();
        t->scrollToItem(t->item(r, 1));
        const QRect rect = t->visualItemRect(t->item(r, 1));
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, rect.center());
        return true;
    }
    return false;
}

void workspace_fixture::addElementDirect(const QString &name)
{
    const int k = db->find_idxDB_element(name);
    if (k < 0)
        return;
    one_element *el = db->sdata->elements.at(k);
    w->add_one_element(el, false, 0);
    w->collect_data_on_element(el);
    w->populateTable_solutes();
    w->populateTable_rxns(sd()->rxnsAqueous, sd()->rxnsGas);
}

void workspace_fixture::addGasDirect(const QString &name)
{
    const int k = db->find_idxDB_gas(name);
    if (k < 0)
        return;
    one_gas *g = db->sdata->gases.at(k);
    w->add_one_gas(g, false);
    w->collect_data_on_gas(g);
}

one_water *currentWater(const workspace_fixture &f)
{
    return f.sd()->waters.at(f.sd()->currentWater);
}

one_elementComp *entryOf(const workspace_fixture &f, const QString &element)
{
    const int k = f.w->find_idxElement_waterComp(f.sd()->currentWater, element);
    return k >= 0 ? currentWater(f)->composition.at(k) : nullptr;
}

QJsonObject referenceCase(const QString &relative)
{
    QFile f(QStringLiteral(VEK7_REFERENCE_DIR "/") + relative + QStringLiteral(".json"));
    return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object()
                                       : QJsonObject();
}

double totalOf(const one_water_result *r, const QString &element)
{
    for (const one_waterResult_element *e : r->soln_elem)
        if (e->element == element)
            return e->cmolal;
    return std::nan("");
}

QString countsMismatch(const sim_data *sd)
{
    struct check
    {
        const char *name;
        qsizetype count;
        qsizetype length;
    };
    const check checks[] = {
        {"nelements", sd->nelements, sd->elements.size()},
        {"nsolutes", sd->nsolutes, sd->solutes.size()},
        {"nsolids", sd->nsolids, sd->solids.size()},
        {"nliquids", sd->nliquids, sd->liquids.size()},
        {"ngases", sd->ngases, sd->gases.size()},
        {"nrxnsAqueous", sd->nrxnsAqueous, sd->rxnsAqueous.size()},
        {"nrxnsSolid", sd->nrxnsSolid, sd->rxnsSolid.size()},
        {"nrxnsLiquid", sd->nrxnsLiquid, sd->rxnsLiquid.size()},
        {"nrxnsGas", sd->nrxnsGas, sd->rxnsGas.size()},
        {"nwaters", sd->nwaters, sd->waters.size()},
    };
    for (const check &c : checks)
        if (c.count != c.length)
            return QStringLiteral("%1 is %2, its list holds %3")
                .arg(c.name)
                .arg(c.count)
                .arg(c.length);
    for (const one_water *w : sd->waters)
        if (w && w->ncomposition != w->composition.size())
            return QStringLiteral("water %1: ncomposition %2, composition holds %3")
                .arg(w->name)
                .arg(w->ncomposition)
                .arg(w->composition.size());
    return QString();
}

BoxCatcher::BoxCatcher()
{
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, this, [this] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        texts << box->text();
        if (box->defaultButton())
            box->defaultButton()->click();
        else
            box->accept();
    });
    timer.start();
}

void whenModal(std::function<void(QWidget *)> act)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || qobject_cast<QMessageBox *>(modal))
            return;
        poll->stop();
        poll->deleteLater();
        act(modal);
    });
    poll->start();
}

namespace {
QtMessageHandler g_previous = nullptr;
QStringList *g_collected = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext &ctx, const QString &msg)
{
    if (type == QtDebugMsg) {
        if (g_collected)
            g_collected->append(msg);
        return;
    }
    if (g_previous)
        g_previous(type, ctx, msg);
}
} // namespace

void quietDebug()
{
    const QtMessageHandler old = qInstallMessageHandler(quietHandler);
    if (old != quietHandler)
        g_previous = old;
}

LogLines::LogLines()
{
    quietDebug();
    g_collected = new QStringList;
}

LogLines::~LogLines()
{
    delete g_collected;
    g_collected = nullptr;
}

QStringList LogLines::lines() const
{
    return g_collected ? *g_collected : QStringList();
}

namespace {
void clickRowOf(QTableWidget *t, const QString &text)
{
    for (int r = 0; r < t->rowCount(); ++r) {
        QTableWidgetItem *item = t->item(r, 0);
        if (item && item->text() == text) {
            t->scrollToItem(item);
            QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(item).center());
            return;
        }
    }
    qWarning() << "setup tests: no row" << text;
}
} // namespace

void pickElement(setup *w, const QString &search, const QString &element, bool usePairs,
                 bool cancel, const std::function<void(QWidget *)> &inspect)
{
    whenModal([=](QWidget *picker) {
        QTest::keyClicks(picker->findChild<QLineEdit *>(QStringLiteral("lineEdit_search")), search);
        clickRowOf(picker->findChild<QTableWidget *>(QStringLiteral("tableWidget_elements")),
                   element);
        auto *box = picker->findChild<QCheckBox *>(QStringLiteral("checkBox_redox"));
        if (usePairs && box && box->isEnabled() && !box->isChecked())
            box->click();
        if (inspect)
            inspect(picker);
        const char *button = cancel ? "pushButton_cancel" : "pushButton_select";
        picker->findChild<QPushButton *>(QString::fromLatin1(button))->click();
    });
    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("pushButton_addElement")),
                      Qt::LeftButton);
}

void pickGas(setup *w, const QString &search, const QString &gas)
{
    whenModal([=](QWidget *picker) {
        QTest::keyClicks(picker->findChild<QLineEdit *>(QStringLiteral("lineEdit_search")), search);
        clickRowOf(picker->findChild<QTableWidget *>(QStringLiteral("tableWidget_gases")), gas);
        picker->findChild<QPushButton *>(QStringLiteral("pushButton_select"))->click();
    });
    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("pushButton_addGas")),
                      Qt::LeftButton);
}

void runWaterManager(setup *w, const std::function<void(QWidget *)> &act)
{
    onNextModal(act);
    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("pushButton_waterMgr")),
                      Qt::LeftButton);
}

void clickWaterRow(QWidget *dlg, const QString &water)
{
    auto *t = dlg->findChild<QTableWidget *>(QStringLiteral("tableWidget_waters"));
    const QTableWidgetItem *item = t->item(int(tableColumn(t, 0).indexOf(water)), 0);
    QVERIFY2(item, qPrintable(water));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(item).center());
}

void manageWaters(setup *w, const QList<water_action> &actions)
{
    runWaterManager(w, [=](QWidget *dlg) {
        for (const water_action &a : actions) {
            clickWaterRow(dlg, a.water);
            if (!a.rename.isEmpty())
                typeOver(dlg->findChild<QLineEdit *>("lineEdit_waterName"), a.rename);
            if (a.button)
                QTest::mouseClick(dlg->findChild<QPushButton *>(a.button), Qt::LeftButton);
        }
        QTest::mouseClick(dlg->findChild<QPushButton *>("pushButton_save"), Qt::LeftButton);
    });
}

bool takeStep(workspace_fixture &f, const QString &step)
{
    const QString what = step.section(' ', 0, 0), rest = step.section(' ', 1);
    const auto combo = [&f](const char *name) { return f.w->findChild<QComboBox *>(name); };
    const bool inSystem
        = step.contains("element") || step.contains("gas") || (what == "delete" && rest != "water");
    if (step == "tabs" || what == "tab" || inSystem || what == "density")
        showTab(f.w, what == "tab" ? rest.toInt() : inSystem ? 0 : 2);
    if (step == "tabs")
        showTab(f.w, 1);
    const QStringList units = rest.split(' ');
    if (what == "unit")
        return std::all_of(units.cbegin(), units.cend(), [&](const QString &u) {
            return pickItem(combo("comboBox_elementUnits"), u);
        });
    if (what == "form")
        return pickItem(qobject_cast<QComboBox *>(
                            waterTable(f.w, "tableWidgetWaters_element_H")->cellWidget(0, 0)),
                        rest);
    if (what == "water")
        return pickItem(combo("comboBox_waters"), rest);
    if (what == "alkalinity" && rest != "on" && rest != "off")
        return pickItem(combo("comboBox_alkalinityUnit"), rest);
    if (step == "another cell")
        return openAmountCell(waterTable(f.w, "tableWidgetWaters_elements"), elementRow(f.w, "Na"));
    if (step == "delete gas")
        return f.clickDeleteGas("CO2(g)");
    if (inSystem && what == "delete")
        return f.clickDeleteElement(rest);
    const QString name = rest.section(" to ", 0, 0);
    if (step == "add element")
        pickElement(f, "mg", "Mg");
    else if (step == "add gas")
        pickGas(f, "co2", "CO2(g)");
    else if (what == "duplicate")
        manageWaters(f.w, {{rest, "", "pushButton_duplicate"}});
    else if (what == "give")
        manageWaters(
            f.w, {{name, "X"}, {rest.section(" to ", 1), name}, {"X", "", "pushButton_remove"}});
    else if (rest == "water")
        manageWaters(f.w,
                     {{"water-default", what == "rename" ? "Renamed" : "",
                       what == "delete" ? "pushButton_remove" : nullptr}});
    else if (what == "density")
        typeOver(f.w->findChild<QLineEdit *>("lineEdit_massDensity"), rest);
    else if (what == "alkalinity")
        pressIndicator(f.w->findChild<QAbstractButton *>("checkBox_alkalinity"));
    else if (step == "save" || step == "close")
        QTest::mouseClick(
            f.w->findChild<QPushButton *>(step == "save" ? "pushButton_Save" : "pushButton_Close"),
            Qt::LeftButton);
    return true;
}

water_values waterValues(const sim_data *sd)
{
    water_values all;
    for (const one_water *w : sd->waters) {
        QMap<QString, double> &v = all[w];
        v = {{"TC", w->TC}, {"d", w->densitymass}, {"alk", w->alkmolal}, {"pH", w->pHcomp}};
        for (const one_elementComp *e : w->composition)
            v[e->element] = e->molal;
    }
    return all;
}

QString valueMoved(const water_values &before, const water_values &now, const one_water *except)
{
    for (auto w = now.cbegin(); w != now.cend(); ++w)
        for (auto v = w->cbegin(); w.key() != except && v != w->cend(); ++v)
            if (before.value(w.key()).value(v.key(), *v) != *v)
                return QStringLiteral("water [ %1 ] %2 went from %3 to %4")
                    .arg(w.key()->name, v.key())
                    .arg(before[w.key()][v.key()])
                    .arg(*v);
    return {};
}

QList<QPair<QLineEdit *, QString>> refusedShown(const setup *w)
{
    QList<QPair<QLineEdit *, QString>> all;
    for (QLineEdit *e : w->findChildren<QLineEdit *>()) {
        if (!e->isEnabled() || e->isHidden() || !number_field::isRefused(e))
            continue;
        QString place = e->objectName();
        for (const char *name : {"tableWidgetWaters_elements", "tableWidgetWaters_element_H"})
            if (const QTableWidget *t = waterTable(w, name); e->parentWidget() == t->viewport()) {
                const QTableWidgetItem *key = t->item(t->indexAt(e->geometry().center()).row(), 3);
                place = key ? "cell:" + key->text() : "cell over no row";
            }
        all.append({e, place});
    }
    return all;
}

QTableWidget *waterTable(const setup *w, const QString &name)
{
    return w->findChild<QTableWidget *>(name);
}

void showTab(setup *w, int index)
{
    QTabBar *bar = w->findChild<QTabWidget *>(QStringLiteral("tabWidget_Setup"))->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

void showWaterPage(setup *w)
{
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    showTab(w, 1);
}

QLineEdit *cellEditor(const QTableWidget *t)
{
    for (QLineEdit *e : t->viewport()->findChildren<QLineEdit *>())
        if (e->isVisible())
            return e;
    return nullptr;
}

void typeOver(QWidget *field, const QString &text, bool enter)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
    if (enter)
        QTest::keyClick(field, Qt::Key_Return);
}

int elementRow(const setup *w, const QString &element)
{
    const QTableWidget *t = waterTable(w, QStringLiteral("tableWidgetWaters_elements"));
    return int(tableColumn(t, 3).indexOf(element));
}

QLineEdit *openAmountCell(QTableWidget *t, int row)
{
    QTableWidgetItem *item = t->item(row, 1);
    if (!item)
        return nullptr;
    t->scrollToItem(item);
    const QPoint at = t->visualItemRect(item).center();
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, at);
    return cellEditor(t);
}

bool typeAmount(QTableWidget *t, int row, const QString &text)
{
    QLineEdit *editor = openAmountCell(t, row);
    if (!editor)
        return false;
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The view commits a closing editor from its event queue.
    QApplication::processEvents();
    return true;
}

bool chooseItem(const setup *w, const QString &name, const QString &text)
{
    return chooseItem(w->findChild<QComboBox *>(name), text);
}

bool chooseItem(QComboBox *combo, const QString &text)
{
    const int k = combo ? combo->findText(text) : -1;
    if (k >= 0)
        combo->setCurrentIndex(k);
    return k >= 0;
}

bool pickItem(QComboBox *combo, const QString &text)
{
    const int k = combo ? combo->findText(text) : -1;
    if (k < 0)
        return false;
    QTest::mouseClick(combo, Qt::LeftButton);
    if (!combo->view()->isVisible())
        return false;
    for (int i = combo->currentIndex(); i != k; i += k > i ? 1 : -1)
        QTest::keyClick(combo->view(), k > i ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    return combo->currentIndex() == k;
}

QComboBox *elementCombo(const setup *w, const QString &element, int column)
{
    const int row = elementRow(w, element);
    return row < 0
        ? nullptr
        : qobject_cast<QComboBox *>(
            waterTable(w, QStringLiteral("tableWidgetWaters_elements"))->cellWidget(row, column));
}

QString pressRun(setup *w)
{
    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("pushButton_spcn")),
                      Qt::LeftButton);
    return w->findChild<QLineEdit *>(QStringLiteral("lineEdit_spcnStat"))->text();
}

double amountShown(const QTableWidget *t, int row)
{
    const QTableWidgetItem *item = t->item(row, 1);
    return item && item->data(Qt::EditRole).isValid() ? item->data(Qt::EditRole).toDouble()
                                                      : std::nan("");
}

const QList<QPair<QString, QString>> j13
    = {{"Na", "45.8"},   {"Si", "28.4995"}, {"Ca", "13"},     {"K", "5.04001"}, {"Mg", "2.01"},
       {"Li", "0.048"},  {"C", "27.6372"},  {"F", "2.18001"}, {"Cl", "7.14"},   {"N", "1.98338"},
       {"S", "6.14192"}, {"B", "0.133929"}, {"Al", "0.008"},  {"Mn", "0.012"},  {"Fe", "0.04"},
       {"Sr", "0.04"},   {"P", "0.0387256"}};

void enterFour(workspace_fixture &f, const QString &file)
{
    QVERIFY(f.enterNew(scratch(file)));
    f.sd()->waters.first()->densitymass = 1.1;
    for (const char *e : {"Ca", "C", "Na", "Cl"})
        f.addElementDirect(e);
    showWaterPage(f);
}

void enterJ13(workspace_fixture &f, const QString &path, const QString &name)
{
    QVERIFY(f.enterNew(path, false, true, [name](sim_data *cfg) {
        if (!name.isEmpty())
            cfg->waters.first()->name = name;
        copy_struct cpy;
        one_water *b = cfg->own(cpy.copy_water(cfg->waters.first()));
        b->name = QStringLiteral("B");
        cfg->waters.append(b);
    }));
    for (const auto &e : j13)
        f.addElementDirect(e.first);
    typeJ13(f.w);
}

void typeJ13(setup *w)
{
    typeWater(w, QStringLiteral("7.41"), QStringLiteral("ppm"), j13);
}

void typeWater(setup *w, const QString &pH, const QString &units,
               const QList<QPair<QString, QString>> &totals)
{
    showWaterPage(w);
    QVERIFY(chooseItem(w, QStringLiteral("comboBox_elementUnits"), QStringLiteral("molal")));
    QVERIFY(typeAmount(waterTable(w, QStringLiteral("tableWidgetWaters_element_H")), 0, pH));
    QVERIFY(chooseItem(w, QStringLiteral("comboBox_elementUnits"), units));
    QTableWidget *t = waterTable(w, QStringLiteral("tableWidgetWaters_elements"));
    for (const auto &e : totals)
        QVERIFY2(typeAmount(t, elementRow(w, e.first), e.second), qPrintable(e.first));
}
