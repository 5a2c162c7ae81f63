#include "support_pickers.h"

#include "test_env.h"
#include "test_press.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QtDebug>

namespace {

/// Owns the loaded database image and the control set it was loaded with.
struct loaded_db
{
    std::unique_ptr<dbdata> db;
    sim_data config;
    bool tried = false;
};

loaded_db &shared()
{
    static loaded_db d;
    return d;
}

/// The element whose oxidation state a solute carries, as the pair rule sees it:
/// its only element other than H, O and C; empty for H+, H2O and O2(g).
QString redoxElement(const sim_data *names, const one_solute *s)
{
    if (!s || s->name == names->nameHplus || s->name == names->nameH2O || s->name == names->nameO2g
        || !s->composition)
        return QString();
    QStringList rest;
    for (const QString &e : s->composition->element)
        if (e != names->nameH && e != names->nameO && e != names->nameC)
            rest << e;
    return rest.size() == 1 ? rest.first() : QString();
}

/// The database's element pairs: a solute taken up by an aux reaction against a
/// produced solute of the same redox element.
void compilePairs(sbatch *batch, dbdata *db)
{
    sim_data *sd = batch->sdata;
    const sim_data *img = db->sdata;
    for (const QString &name : img->namesRedox) {
        const int idx = db->find_idxDB_rxn(name, 2);
        if (idx < 0)
            continue;
        one_rxn *r = img->rxnsNonOrganic.at(idx);
        if (r->typeRequested != 2 || !r->composition)
            continue;
        QList<one_solute *> neg, pos;
        for (int i = 0; i < r->composition->solute.size(); ++i) {
            const double c = r->composition->stoich.value(i);
            const int s = db->find_idxDB_solute(r->composition->solute.at(i));
            if (c == 0.0 || s < 0)
                continue;
            (c < 0 ? neg : pos).append(img->solutes.at(s));
        }
        one_redoxRxn *rec = nullptr;
        for (one_solute *n : neg) {
            const QString e = redoxElement(sd, n);
            if (e.isEmpty())
                continue;
            for (one_solute *p : pos) {
                const int el = db->find_idxDB_element(e);
                if (redoxElement(sd, p) != e || el < 0)
                    continue;
                if (!rec)
                    rec = sd->own(new one_redoxRxn);
                rec->elementRec = img->elements.at(el);
                rec->rxn = r;
                rec->soluteRecs << n << p;
            }
        }
        if (rec)
            sd->rxnsRedox.append(rec);
    }
}

} // namespace

namespace pickers_support {

dbdata *pickersDatabase()
{
    loaded_db &d = shared();
    if (d.tried)
        return d.db.get();
    d.tried = true;
    const QString path
        = copyGeneratedDb(QDir(vek7TestScratchDir()).filePath(QStringLiteral("pickers-db")));
    if (path.isEmpty()) {
        qWarning() << "pickers: no reference database to copy";
        return nullptr;
    }
    d.config.dbref = path;
    d.config.dbtype = 0;
    d.config.ctrlset = new one_ctrlset;
    d.config.ctrlset->dbaccess = true;
    d.config.ctrlset->redox = true;
    auto db = std::make_unique<dbdata>();
    if (db->db_retrieve_data(&d.config) != 0 || db->db_manage_data(&d.config) != 0) {
        qWarning() << "pickers: reference database not loaded" << db->messages();
        db->sdata->ctrlset = nullptr;
        return nullptr;
    }
    db->db_set_solid_multipleRxns();
    // The control set belongs to `config`; the image only links it.
    db->sdata->ctrlset = nullptr;
    d.db = std::move(db);
    return d.db.get();
}

void releasePickersDatabase()
{
    shared().db.reset();
}

std::unique_ptr<sbatch> makeBatch(dbdata *db, bool redox, const QStringList &elements,
                                  const QStringList &gases)
{
    auto batch = std::make_unique<sbatch>();
    sim_data *sd = batch->sdata;
    batch->simData_init(sd);
    sd->ctrlset->redox = redox;
    const sim_data *img = db->sdata;
    sd->nameH = img->nameH;
    sd->nameO = img->nameO;
    sd->nameC = img->nameC;
    sd->nameHplus = img->nameHplus;
    sd->nameH2O = img->nameH2O;
    sd->nameCl = img->nameCl;
    sd->nameO2g = img->nameO2g;
    sd->nameOH = img->nameOH;
    for (const QString &e : elements) {
        const int i = db->find_idxDB_element(e);
        if (i >= 0)
            sd->elements.append(img->elements.at(i));
        else
            qWarning() << "pickers: no database element" << e;
    }
    sd->nelements = int(sd->elements.size());
    for (const QString &g : gases) {
        const int i = db->find_idxDB_gas(g);
        if (i >= 0)
            sd->gases.append(img->gases.at(i));
        else
            qWarning() << "pickers: no database gas" << g;
    }
    sd->ngases = int(sd->gases.size());
    if (redox)
        compilePairs(batch.get(), db);
    return batch;
}

int execAnswered(QDialog *dialog, const std::function<void(QDialog *)> &act)
{
    QTimer::singleShot(0, dialog, [act]() {
        if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            act(d);
    });
    QTimer::singleShot(10000, dialog, [dialog]() {
        if (dialog->isVisible()) {
            qWarning() << "pickers: dialog left open, rejected";
            dialog->reject();
        }
    });
    return dialog->exec();
}

int rowOf(const QTableWidget *table, const QString &text)
{
    for (int r = 0; r < table->rowCount(); ++r)
        if (table->item(r, 0) && table->item(r, 0)->text() == text)
            return r;
    return -1;
}

QStringList columnTexts(const QTableWidget *table, int column)
{
    QStringList out;
    for (int r = 0; r < table->rowCount(); ++r)
        out << (table->item(r, column) ? table->item(r, column)->text() : QString());
    return out;
}

void clickCell(QTableWidget *table, int row, int column)
{
    QTableWidgetItem *item = table->item(row, column);
    if (!item) {
        qWarning() << "pickers: no cell" << row << column;
        return;
    }
    table->scrollToItem(item);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                      table->visualItemRect(item).center());
}

void clickTick(QTreeWidget *tree, QTreeWidgetItem *item, int column)
{
    pressItemCheck(tree, item, column);
}

} // namespace pickers_support
