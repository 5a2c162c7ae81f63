// The element picker driven as a user drives it, on the generated reference
// database: the element list and its search, the fields of a clicked element,
// Select and Cancel, elements already in the system, and the redox pair tree.
#include "doc_redoxQG.h"
#include "setup_add_element.h"
#include "support_pickers.h"
#include "test_env.h"
#include "test_press.h"
#include "test_ui.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using namespace pickers_support;

namespace {

struct picker_view
{
    QTableWidget *table;
    QLineEdit *search;
    QLineEdit *element;
    QLineEdit *basis;
    QLineEdit *molwt;
    QTextEdit *description;
    QCheckBox *redox;
    QGroupBox *group;
    QTreeWidget *tree;
    QCheckBox *all;
    QTextEdit *redoxSetup;
    QPushButton *quickGuide;
    QPushButton *select;
    QPushButton *cancel;
};

picker_view viewOf(QDialog *d)
{
    return {d->findChild<QTableWidget *>("tableWidget_elements"),
            d->findChild<QLineEdit *>("lineEdit_search"),
            d->findChild<QLineEdit *>("lineEdit_element"),
            d->findChild<QLineEdit *>("lineEdit_basis"),
            d->findChild<QLineEdit *>("lineEdit_molwt"),
            d->findChild<QTextEdit *>("textEdit_description"),
            d->findChild<QCheckBox *>("checkBox_redox"),
            d->findChild<QGroupBox *>("groupBox_redox"),
            d->findChild<QTreeWidget *>("treeWidget_redoxPairs"),
            d->findChild<QCheckBox *>("checkBox_redoxAllRxns"),
            d->findChild<QTextEdit *>("textEdit_redoxSetup"),
            d->findChild<QPushButton *>("pushButton_redoxQ1"),
            d->findChild<QPushButton *>("pushButton_select"),
            d->findChild<QPushButton *>("pushButton_cancel")};
}

/// Types `key` into the search field and clicks the row of `name`.
void pick(const picker_view &v, const QString &key, const QString &name)
{
    v.search->clear();
    QTest::keyClicks(v.search, key);
    const int row = rowOf(v.table, name);
    QVERIFY2(row >= 0, qPrintable(name));
    clickCell(v.table, row);
}

/// Ticks "  Use Redox Reaction Pair(s)", which opens the pair tree to clicks.
void useRedox(const picker_view &v)
{
    QVERIFY(v.redox->isEnabled());
    if (!v.redox->isChecked())
        pressIndicator(v.redox);
    QVERIFY(v.group->isEnabled());
}

QStringList names(const QList<one_solute *> &list)
{
    QStringList out;
    for (const one_solute *s : list)
        out << s->name;
    return out;
}

/// Tick of column 2 of every pair row and its solute rows, as "pair:solute,solute".
QStringList ticks(const QTreeWidget *tree)
{
    QStringList out;
    auto mark = [](const QTreeWidgetItem *i) {
        return QString(i->checkState(2) == Qt::Checked ? "+" : "-") + i->text(1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *pair = tree->topLevelItem(i);
        QStringList solutes;
        for (int k = 0; k < pair->childCount(); ++k)
            solutes << mark(pair->child(k));
        out << mark(pair) + ":" + solutes.join(',');
    }
    return out;
}

/// True when every pair and solute row of `tree` has the tick `state`.
bool everyTick(const QTreeWidget *tree, Qt::CheckState state)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *pair = tree->topLevelItem(i);
        if (pair->checkState(2) != state)
            return false;
        for (int k = 0; k < pair->childCount(); ++k)
            if (pair->child(k)->checkState(2) != state)
                return false;
    }
    return true;
}

} // namespace

class tst_pickers_element : public QObject
{
    Q_OBJECT

private:
    dbdata *db = nullptr;

    struct opened
    {
        std::unique_ptr<sbatch> batch;
        std::unique_ptr<setup_add_element> dialog;
        picker_view v;
    };

    /// A shown picker on a batch holding H, O and `more`.
    opened open(bool redox, const QStringList &more = QStringList())
    {
        opened o;
        o.batch = makeBatch(db, redox, QStringList({"H", "O"}) + more);
        o.dialog = std::make_unique<setup_add_element>(o.batch.get(), db);
        o.dialog->setWindowTitle("Elements Browser");
        o.v = viewOf(o.dialog.get());
        o.dialog->show();
        if (!QTest::qWaitForWindowExposed(o.dialog.get()))
            qWarning() << "element picker not exposed";
        return o;
    }

private slots:
    void initTestCase()
    {
        db = pickersDatabase();
        QVERIFY(db);
        QVERIFY(db->sdata->elements.size() > 80);
    }

    void cleanupTestCase() { releasePickersDatabase(); }

    void init() { QSettings().clear(); }

    void form_data()
    {
        QTest::addColumn<bool>("redox");
        QTest::newRow("standard") << false;
        QTest::newRow("redox") << true;
    }

    void form()
    {
        QFETCH(bool, redox);
        SlotWarningGuard watch;
        opened o = open(redox);
        QVERIFY2(watch.warnings().isEmpty(), qPrintable(watch.warnings().join('\n')));
        const picker_view &v = o.v;
        QVERIFY(v.table && v.search && v.element && v.basis && v.molwt && v.description);
        QVERIFY(v.redox && v.group && v.tree && v.all && v.redoxSetup && v.quickGuide);
        QVERIFY(v.select && v.cancel);

        QCOMPARE(o.dialog->findChild<QLabel *>("label_dialog")->text(), QString("Elements List"));
        QCOMPARE(o.dialog->findChild<QLabel *>("label_search")->text(), QString("Search Keyword"));
        QCOMPARE(o.dialog->findChild<QLabel *>("label_description")->text(),
                 QString(redox ? "Additional\nData" : "Additional Data"));
        QCOMPARE(v.redox->text(), QString("  Use Redox Reaction Pair(s)"));
        QCOMPARE(v.all->text(), QString("Select All"));
        QCOMPARE(
            v.select->toolTip(),
            QString("Add the selected element \nto the chemical system \nand close this window"));
        QCOMPARE(v.table->horizontalHeaderItem(0)->text(), QString("elem."));
        QCOMPARE(v.table->horizontalHeaderItem(1)->text(), QString("basis"));

        // Nothing can be selected before a row is clicked; the quick guide never shows.
        QVERIFY(!v.select->isEnabled());
        QVERIFY(!v.select->autoDefault() && !v.cancel->autoDefault());
        QVERIFY(!o.dialog->selectedElement());
        QVERIFY(!v.quickGuide->isVisible());
        QCOMPARE(v.quickGuide->text(), QString(redox ? " redox pairs" : ""));
        QCOMPARE(v.quickGuide->icon().isNull(), !redox);
        QVERIFY(!v.redox->isEnabled());
        QVERIFY(!v.group->isEnabled());
        QCOMPARE(v.group->isVisible(), redox);
        QCOMPARE(v.redox->isVisible(), redox);
        QCOMPARE(v.tree->isVisible(), redox);
    }

    void quickGuideOpensOnce()
    {
        // The button never shows; its slot still opens one guide and raises it after.
        opened o = open(true);
        QVERIFY(QMetaObject::invokeMethod(o.dialog.get(), "on_pushButton_redoxQ1_clicked"));
        QVERIFY(QMetaObject::invokeMethod(o.dialog.get(), "on_pushButton_redoxQ1_clicked"));
        const QList<doc_redoxQG *> guides = o.dialog->findChildren<doc_redoxQG *>();
        QCOMPARE(guides.size(), 1);
        QVERIFY(guides.first()->isVisible());
        QCOMPARE(guides.first()->windowTitle(), QString("Quick Guide: Redox Reaction Pairs"));
    }

    void listsEveryElement()
    {
        opened o = open(false, {"Ca"});
        const picker_view &v = o.v;
        QCOMPARE(v.table->rowCount(), db->sdata->elements.size());
        QStringList dbNames;
        for (const one_element *e : db->sdata->elements)
            dbNames << e->name;
        QCOMPARE(columnTexts(v.table), dbNames);
        // Elements already in the system are listed too, on grey.
        const QColor grey(225, 225, 225);
        for (const QString name : {"H", "O", "Ca"}) {
            const int row = rowOf(v.table, name);
            QVERIFY(row >= 0);
            QCOMPARE(v.table->item(row, 0)->background().color(), grey);
            QCOMPARE(v.table->item(row, 1)->background().color(), grey);
        }
        const int fe = rowOf(v.table, "Fe");
        QCOMPARE(v.table->item(fe, 1)->text(), QString("Fe++"));
        QCOMPARE(v.table->item(fe, 0)->background().style(), Qt::NoBrush);
    }

    void search_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("lower") << "fe" << QStringList({"Fe"});
        QTest::newRow("upper") << "FE" << QStringList({"Fe"});
        QTest::newRow("ca") << "ca" << QStringList({"Ca"});
        QTest::newRow("part") << "r" << QStringList();
        QTest::newRow("nothing") << "qq" << QStringList();
    }

    void search()
    {
        QFETCH(QString, key);
        QFETCH(QStringList, expected);
        opened o = open(false);
        QTest::keyClicks(o.v.search, key);
        QStringList want = expected;
        if (key == "r") // every name holding an r or R, in database order
            for (const one_element *e : db->sdata->elements)
                if (e->name.contains('r', Qt::CaseInsensitive))
                    want << e->name;
        QCOMPARE(columnTexts(o.v.table), want);
        // Clearing the field lists every element again.
        o.v.search->clear();
        QCOMPARE(o.v.table->rowCount(), db->sdata->elements.size());
    }

    void clickShowsFieldsAndSelectReturnsIt()
    {
        auto batch = makeBatch(db, false, {"H", "O"});
        setup_add_element picker(batch.get(), db);
        const one_element *ca = db->sdata->elements.at(db->find_idxDB_element("Ca"));
        QString element, basis, molwt, description;
        const int result = execAnswered(&picker, [&](QDialog *d) {
            const picker_view v = viewOf(d);
            pick(v, "ca", "Ca");
            element = v.element->text();
            basis = v.basis->text();
            molwt = v.molwt->text();
            description = v.description->toPlainText();
            if (v.select->isEnabled())
                QTest::mouseClick(v.select, Qt::LeftButton);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(element, QString("Ca"));
        QCOMPARE(basis, QString("Ca++"));
        QCOMPARE(molwt, QString::number(ca->mol_wt, 'g', 6));
        QCOMPARE(description, "data tag : " + QString::number(ca->tag));
        QCOMPARE(picker.selectedElement(), ca);
        QVERIFY(!picker.usage_redoxPairs());
        QVERIFY(picker.selectAllRxns());
        QVERIFY(picker.selectedRedoxPairs().isEmpty());
        // Only the standard layout's geometry was stored.
        QSettings s;
        QVERIFY(s.contains("ELEMENTS_LIST/std_geometry"));
        QVERIFY(s.contains("ELEMENTS_LIST/std_wx"));
        QVERIFY(s.contains("ELEMENTS_LIST/std_height"));
        QVERIFY(!s.contains("ELEMENTS_LIST/redox_geometry"));
    }

    void cancelRejects()
    {
        auto batch = makeBatch(db, true, {"H", "O"});
        setup_add_element picker(batch.get(), db);
        const int result = execAnswered(&picker, [](QDialog *d) {
            const picker_view v = viewOf(d);
            pick(v, "fe", "Fe");
            QTest::mouseClick(v.cancel, Qt::LeftButton);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QSettings s;
        QVERIFY(s.contains("ELEMENTS_LIST/redox_geometry"));
        QVERIFY(s.contains("ELEMENTS_LIST/redox_width"));
        QVERIFY(!s.contains("ELEMENTS_LIST/std_geometry"));
    }

    void closeBoxStoresNothing()
    {
        opened o = open(false);
        o.dialog->close();
        QVERIFY(QSettings().allKeys().isEmpty());
    }

    void geometryRestoredPerLayout()
    {
        {
            opened o = open(true);
            o.dialog->setGeometry(120, 140, 820, 590);
            QTest::mouseClick(o.v.cancel, Qt::LeftButton);
        }
        opened redox = open(true);
        QCOMPARE(redox.dialog->size(), QSize(820, 590));
        opened standard = open(false);
        QCOMPARE(standard.dialog->size(), QSize(800, 570));
    }

    void elementInSystemCannotBeSelected_data()
    {
        QTest::addColumn<bool>("redox");
        QTest::newRow("standard") << false;
        QTest::newRow("redox") << true;
    }

    void elementInSystemCannotBeSelected()
    {
        QFETCH(bool, redox);
        opened o = open(redox, {"Ca"});
        const picker_view &v = o.v;
        pick(v, "mn", "Mn");
        QVERIFY(v.select->isEnabled());
        if (redox) {
            useRedox(v);
            QVERIFY(v.all->isEnabled());
        }
        pick(v, "ca", "Ca");
        QCOMPARE(v.element->text(), QString("Ca"));
        QCOMPARE(v.description->toPlainText(), QString("This element was already selected.\n"));
        QVERIFY(!v.select->isEnabled());
        // Neither Select All nor the (empty) tree can bring Select back.
        QVERIFY(!v.all->isEnabled());
        QCOMPARE(v.tree->topLevelItemCount(), 0);
        v.all->click();
        QVERIFY(!v.select->isEnabled());
        QVERIFY(o.dialog->allRedoxSolutes().isEmpty());
        QVERIFY(o.dialog->selectedRedoxPairs().isEmpty());
        QVERIFY(o.dialog->selectAllRxns());
    }

    void standardLayoutShowsNoPairs()
    {
        opened o = open(false);
        pick(o.v, "fe", "Fe");
        QCOMPARE(o.v.tree->topLevelItemCount(), 0);
        QVERIFY(!o.v.redox->isEnabled());
        QVERIFY(o.v.redoxSetup->toPlainText().isEmpty());
        QVERIFY(o.dialog->allRedoxSolutes().isEmpty());
    }

    void ironOffersItsOnePair()
    {
        auto batch = makeBatch(db, true, {"H", "O"});
        setup_add_element picker(batch.get(), db);
        QStringList shown, redoxLines;
        QString expression;
        bool allTicked = false, allEnabled = true, redoxEnabled = false;
        const int result = execAnswered(&picker, [&](QDialog *d) {
            const picker_view v = viewOf(d);
            pick(v, "fe", "Fe");
            shown = ticks(v.tree);
            expression = v.tree->topLevelItemCount() ? v.tree->topLevelItem(0)->text(3) : "";
            allTicked = v.all->isChecked();
            allEnabled = v.all->isEnabled();
            redoxEnabled = v.redox->isEnabled();
            pressIndicator(v.redox);
            redoxLines = v.redoxSetup->toPlainText().split('\n', Qt::SkipEmptyParts);
            QTest::mouseClick(v.select, Qt::LeftButton);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(shown, QStringList({"+Fe+++ / Fe++:+Fe+++,+Fe++"}));
        const one_rxn *fe3 = db->sdata->rxnsNonOrganic.at(db->find_idxDB_rxn("Fe+++", 2));
        QCOMPARE(expression, fe3->expression);
        QVERIFY(allTicked);
        QVERIFY(!allEnabled); // a lone pair cannot be unselected through Select All
        QVERIFY(redoxEnabled);
        QCOMPARE(redoxLines,
                 QStringList({"Redox reactions enabled:", "Select from available reactions"}));

        QCOMPARE(picker.selectedElement()->name, QString("Fe"));
        QVERIFY(picker.usage_redoxPairs());
        QVERIFY(picker.selectAllRxns());
        const QList<one_redoxRxn *> pairs = picker.selectedRedoxPairs();
        QCOMPARE(pairs.size(), 1);
        QVERIFY(batch->sdata->rxnsRedox.contains(pairs.first()));
        QCOMPARE(pairs.first()->rxn, fe3);
        QCOMPARE(names(picker.selectedRedoxSolutes()), QStringList({"Fe+++", "Fe++"}));
        QVERIFY(picker.unusedRedoxSolutes().isEmpty());
        QCOMPARE(names(picker.allRedoxSolutes()), QStringList({"Fe+++", "Fe++"}));
    }

    void redoxBoxTogglesTheGroup()
    {
        opened o = open(true);
        pick(o.v, "fe", "Fe");
        pressIndicator(o.v.redox);
        QVERIFY(o.v.group->isEnabled());
        pressIndicator(o.v.redox);
        QVERIFY(!o.v.group->isEnabled());
        QVERIFY(o.v.redoxSetup->toPlainText().endsWith("\n\nRedox reactions disabled"));
        // Pairs stay ticked, but the caller is told not to use them.
        QVERIFY(!o.dialog->usage_redoxPairs());
        QCOMPARE(o.dialog->selectedRedoxPairs().size(), 1);
    }

    void elementWithoutPairsLeavesTreeGrey()
    {
        opened o = open(true);
        pick(o.v, "mn", "Mn");
        QVERIFY(o.v.tree->topLevelItemCount() > 1);
        pick(o.v, "ca", "Ca");
        QVERIFY(o.v.select->isEnabled());
        QCOMPARE(o.v.tree->topLevelItemCount(), 0);
        QVERIFY(!o.v.tree->isEnabled());
        QCOMPARE(o.v.tree->styleSheet(), QString("background-color: #ddd;"));
        QVERIFY(!o.v.redox->isEnabled());
        // The pairs of the element clicked before are gone with the tree.
        QVERIFY(o.dialog->allRedoxSolutes().isEmpty());
        QVERIFY(o.dialog->selectedRedoxPairs().isEmpty());
        QVERIFY(o.dialog->selectedRedoxSolutes().isEmpty());
        QVERIFY(o.dialog->selectAllRxns());
    }

    void selectAllTogglesSelect()
    {
        opened o = open(true);
        pick(o.v, "mn", "Mn");
        useRedox(o.v);
        QVERIFY(o.v.all->isEnabled() && o.v.all->isChecked());
        pressIndicator(o.v.all);
        QVERIFY(!o.v.select->isEnabled());
        QVERIFY(everyTick(o.v.tree, Qt::Unchecked));
        QVERIFY(!o.dialog->selectAllRxns());
        QVERIFY(o.dialog->selectedRedoxPairs().isEmpty());
        pressIndicator(o.v.all);
        QVERIFY(o.v.select->isEnabled());
        QVERIFY(everyTick(o.v.tree, Qt::Checked));
        QCOMPARE(o.dialog->selectedRedoxPairs().size(), o.v.tree->topLevelItemCount());
    }

    void sharedSoluteFollowsAcrossPairs()
    {
        opened o = open(true);
        pick(o.v, "mn", "Mn");
        useRedox(o.v);
        QTreeWidget *tree = o.v.tree;
        QCOMPARE(ticks(tree),
                 QStringList({"+Mn+++ / Mn++:+Mn+++,+Mn++", "+MnO4-- / Mn++:+MnO4--,+Mn++"}));

        // Unticking Mn++ under the first pair takes it out of both pairs.
        clickTick(tree, tree->topLevelItem(0)->child(1), 2);
        QCOMPARE(ticks(tree),
                 QStringList({"-Mn+++ / Mn++:+Mn+++,-Mn++", "-MnO4-- / Mn++:+MnO4--,-Mn++"}));
        QVERIFY(!o.v.all->isChecked());
        QVERIFY(o.v.select->isEnabled());
        QVERIFY(o.dialog->selectedRedoxPairs().isEmpty());
        QVERIFY(o.dialog->selectedRedoxSolutes().isEmpty());
        QCOMPARE(names(o.dialog->unusedRedoxSolutes()), QStringList({"Mn+++", "Mn++", "MnO4--"}));

        // Ticking the first pair row brings Mn++ back everywhere, but not the second pair.
        clickTick(tree, tree->topLevelItem(0), 2);
        QCOMPARE(ticks(tree),
                 QStringList({"+Mn+++ / Mn++:+Mn+++,+Mn++", "-MnO4-- / Mn++:+MnO4--,+Mn++"}));
        QVERIFY(!o.v.all->isChecked());
        const QList<one_redoxRxn *> pairs = o.dialog->selectedRedoxPairs();
        QCOMPARE(pairs.size(), 1);
        QCOMPARE(pairs.first()->rxn->name, QString("Mn+++"));
        QCOMPARE(names(o.dialog->selectedRedoxSolutes()), QStringList({"Mn+++", "Mn++"}));
        QCOMPARE(names(o.dialog->unusedRedoxSolutes()), QStringList({"MnO4--"}));

        // Ticking the second pair row completes the set again.
        clickTick(tree, tree->topLevelItem(1), 2);
        QVERIFY(o.v.all->isChecked());
        QCOMPARE(o.dialog->selectedRedoxPairs().size(), 2);
    }

    void clicksOutsideTheTickColumnChangeNothing()
    {
        opened o = open(true);
        pick(o.v, "mn", "Mn");
        useRedox(o.v);
        const QStringList before = ticks(o.v.tree);
        QTreeWidgetItem *solute = o.v.tree->topLevelItem(0)->child(0);
        const QRect r = o.v.tree->visualItemRect(solute);
        const int x1 = o.v.tree->header()->sectionViewportPosition(1) + 5;
        QTest::mouseClick(o.v.tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(x1, r.center().y()));
        QCOMPARE(ticks(o.v.tree), before);
    }

    void untickingEverySoluteDisablesSelect()
    {
        opened o = open(true);
        pick(o.v, "fe", "Fe");
        useRedox(o.v);
        QTreeWidget *tree = o.v.tree;
        clickTick(tree, tree->topLevelItem(0)->child(0), 2);
        QVERIFY(o.v.select->isEnabled());
        clickTick(tree, tree->topLevelItem(0)->child(1), 2);
        QCOMPARE(ticks(tree), QStringList({"-Fe+++ / Fe++:-Fe+++,-Fe++"}));
        QVERIFY(!o.v.select->isEnabled());
        // The pair row brings both solutes and Select back.
        clickTick(tree, tree->topLevelItem(0), 2);
        QCOMPARE(ticks(tree), QStringList({"+Fe+++ / Fe++:+Fe+++,+Fe++"}));
        QVERIFY(o.v.select->isEnabled());
    }
};

QTEST_MAIN(tst_pickers_element)
#include "tst_pickers_element.moc"
