// The mixing and titration window as a user works it from the workspace: opening
// it, a mixing run, the naming dialog, the saved model water in the workspace,
// the water set manager and the file, a refused titration, waters that vanish
// before Save, and the window's layout.

#include "records.h"
#include "sbatch.h"
#include "setup.h"
#include "support_models.h"
#include "support_setup.h"
#include "test_env.h"
#include "test_layout.h"
#include "test_press.h"
#include "test_ui.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

#include <cmath>

namespace {

QString scratch(const QString &name)
{
    return QDir(vek7TestScratchDir()).filePath(name);
}

template<class T>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qWarning("no widget %s", name);
    return c;
}

QWidget *mixingWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("model_mixing"))
            return w;
    return nullptr;
}

void click(QWidget *w, const char *button)
{
    QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
}

void typeInto(QWidget *field, const QString &text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}

/// A new configuration with the reference case's two waters, entered and run.
void enterSources(workspace_fixture &f, const QString &path)
{
    QVERIFY(f.enterNew(path, false, true, [](sim_data *cfg) {
        copy_struct cpy;
        one_water *b = cfg->own(cpy.copy_water(cfg->waters.first()));
        cfg->waters.first()->name = QStringLiteral("seawater");
        b->name = QStringLiteral("J13");
        cfg->waters.append(b);
        cfg->nwaters = 2;
    }));
    const QJsonObject sources = mixingReference().value("sources").toObject();
    const QStringList elements
        = sources.value("J13-lite").toObject().value("totals").toObject().keys();
    for (const QString &e : elements)
        f.addElementDirect(e);
    showWaterPage(f);
    const QStringList keys {"seawater-lite", "J13-lite"};
    const QStringList names {"seawater", "J13"};
    for (int i = 0; i < 2; ++i) {
        const QJsonObject src = sources.value(keys.at(i)).toObject();
        const QJsonObject totals = src.value("totals").toObject();
        QVERIFY(chooseItem(f, QStringLiteral("comboBox_waters"), names.at(i)));
        QVERIFY(chooseItem(f, QStringLiteral("comboBox_elementUnits"), QStringLiteral("molal")));
        QVERIFY(typeAmount(waterTable(f, QStringLiteral("tableWidgetWaters_element_H")), 0,
                           QString::number(src.value("pH").toDouble())));
        QTableWidget *t = waterTable(f, QStringLiteral("tableWidgetWaters_elements"));
        for (const QString &e : elements)
            QVERIFY(typeAmount(t, elementRow(f, e),
                               QString::number(totals.value(e).toDouble(), 'g', 13)));
        QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
    }
}

QWidget *openWindow(workspace_fixture &f, const char *button)
{
    click(f.w, button);
    QWidget *win = mixingWindow();
    if (win)
        win->resize(win->sizeHint());
    return win;
}

} // namespace

class tst_models_window : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietDebug(); }
    void mixing_savedWaterJoinsWorkspaceManagerAndFile();
    void titration_unreachablePH_savesNothing();
    void save_refusedWhenAWaterIsGone();
    void window_connectsEverySlotAndFits();
};

void tst_models_window::mixing_savedWaterJoinsWorkspaceManagerAndFile()
{
    const QString path = scratch("mix.jsdb");
    {
        workspace_fixture f;
        enterSources(f, path);
        QWidget *win = openWindow(f, "pushButton_SUMixing");
        QVERIFY(win && win->isVisible());
        QCOMPARE(win->windowTitle(), QStringLiteral("Water Mixing Model"));
        QCOMPARE(openWindow(f, "pushButton_SUMixing"), win); // one window, set up again
        child<QComboBox>(win, "comboBox_water1")->setCurrentText("seawater");
        child<QComboBox>(win, "comboBox_water2")->setCurrentText("J13");
        typeInto(child<QDoubleSpinBox>(win, "doubleSpinBox_volume1"), "20");
        QCOMPARE(child<QDoubleSpinBox>(win, "doubleSpinBox_volume2")->value(), 80.0);
        click(win, "pushButton_run");
        const QString shown = child<QTextEdit>(win, "textEdit_messages")->toPlainText();
        QVERIFY2(shown.contains(">> model water: 20 % [ seawater ] + 80 % [ J13 ]"),
                 qPrintable(shown));

        // the name dialog refuses a name in use in another case, then takes a new one
        QString warned;
        onNextModal([&](QWidget *dialog) {
            typeInto(child<QLineEdit>(dialog, "lineEdit_name"), "SEAWATER");
            click(dialog, "pushButton_save");
            warned = dialog->isVisible() ? child<QLabel>(dialog, "label_warning")->text() : "";
            typeInto(child<QLineEdit>(dialog, "lineEdit_name"), "mix 20/80");
            click(dialog, "pushButton_save");
        });
        click(win, "pushButton_save");
        QVERIFY2(warned.contains("exists already"), qPrintable(warned));
        QCOMPARE(f.sd()->nwaters, 3);
        QVERIFY(chooseItem(f, QStringLiteral("comboBox_waters"), "mix 20/80"));
        QVERIFY(f.w->unsaved_changes());
        const one_water *model = f.sd()->waters.at(2);
        QVERIFY(model->statmixing && !model->stattitrate && model->mixdata);
        const double pH = model->pHspcn;
        QVERIFY(std::fabs(pH - 7.411) < 0.03);

        // the workspace's own run of the saved water gives its pH
        QCOMPARE(pressRun(f), QStringLiteral("     DONE"));
        QVERIFY(std::fabs(f.sd()->waters.at(2)->pHspcn - pH) <= 0.001);

        // the water set manager lists it as a mixing model
        QStringList properties;
        onNextModal([&](QWidget *mgr) {
            auto *t = child<QTableWidget>(mgr, "tableWidget_waters");
            const int row = int(tableColumn(t, 0).indexOf("mix 20/80"));
            QTest::mouseClick(t->viewport(), Qt::LeftButton, {},
                              t->visualItemRect(t->item(row, 0)).center());
            auto *data = child<QTableWidget>(mgr, "tableWidget_waterData");
            for (int r = 0; r < data->rowCount(); ++r)
                properties << data->item(r, 0)->text() + "=" + data->item(r, 1)->text();
            click(mgr, "pushButton_cancel");
        });
        click(f.w, "pushButton_waterMgr");
        QVERIFY2(properties.contains("mixing model=true"), qPrintable(properties.join("; ")));

        BoxCatcher boxes;
        click(f.w, "pushButton_Save"); // the main window writes the file on this signal
        QVERIFY(!f.w->unsaved_changes());
        QCOMPARE(f.save(), 0);
        // Close of the workspace closes the window
        click(f.w, "pushButton_Close");
        QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join('\n')));
        QVERIFY(!win->isVisible());
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject waters = QJsonDocument::fromJson(file.readAll())
                                   .object()
                                   .value("waters")
                                   .toObject()
                                   .value("allwaters")
                                   .toObject();
    const QJsonObject mix = waters.value("mix 20/80").toObject().value("mix").toObject();
    QCOMPARE(mix["statmixing"].toString(), QStringLiteral("1"));
    const QJsonObject data = mix["mixdata"].toObject();
    QCOMPARE(data["namewaterone"].toString(), QStringLiteral("seawater"));
    QCOMPARE(data["namewatertwo"].toString(), QStringLiteral("J13"));
    QCOMPARE(data["volumeone"].toString(), QStringLiteral("20"));
    QCOMPARE(data["volumetwo"].toString(), QStringLiteral("80"));
    QCOMPARE(data["targetTC"].toString(), QStringLiteral("25"));

    workspace_fixture g;
    QVERIFY(g.enterOpen(path));
    const int k = g.batch->find_idxBatch_water("mix 20/80");
    QVERIFY(k >= 0);
    const one_water *reread = g.sd()->waters.at(k);
    QVERIFY(reread->statmixing && reread->mixdata);
    QCOMPARE(reread->mixdata->namewatertwo, QStringLiteral("J13"));
    QCOMPARE(reread->mixdata->volumeone, 20.0);
}

void tst_models_window::titration_unreachablePH_savesNothing()
{
    workspace_fixture f;
    enterSources(f, scratch("titration.jsdb"));
    QWidget *win = openWindow(f, "pushButton_SUTitration");
    QVERIFY(win);
    QCOMPARE(win->windowTitle(), QStringLiteral("Titration Model"));
    QCOMPARE(child<QLabel>(win, "label_heading")->text(), QStringLiteral("Water Titration Model"));
    auto *text = child<QTextEdit>(win, "textEdit_messages");
    typeInto(child<QDoubleSpinBox>(win, "doubleSpinBox_targetpH"), "9");
    click(win, "pushButton_run");
    QVERIFY2(text->toPlainText().contains("gives pH 7.410 to 8.220"),
             qPrintable(text->toPlainText()));
    QVERIFY(!child<QPushButton>(win, "pushButton_save")->isEnabled());
    QCOMPARE(f.sd()->nwaters, 2);

    // on Cl instead: the model's Cl total is the target
    pressIndicator(child<QRadioButton>(win, "radioButton_element"));
    child<QComboBox>(win, "comboBox_element")->setCurrentText("Cl");
    typeInto(child<QLineEdit>(win, "lineEdit_targetConcn"), "0.1097");
    click(win, "pushButton_run");
    QVERIFY(child<QPushButton>(win, "pushButton_save")->isEnabled());
    onNextModal([&](QWidget *dialog) { click(dialog, "pushButton_save"); });
    click(win, "pushButton_save");
    QCOMPARE(f.sd()->nwaters, 3);
    const one_water *model = f.sd()->waters.at(2);
    QCOMPARE(model->name, QStringLiteral("seawater dupl1"));
    QVERIFY(model->stattitrate && !model->mixdata->titrationph);
    QCOMPARE(model->mixdata->nameelement, QStringLiteral("Cl"));
    for (const one_waterResult_element *e : model->results->soln_elem)
        if (e->element == "Cl")
            QCOMPARE(QString::number(e->cmolal, 'g', 6), QStringLiteral("0.1097"));
    win->close();
}

void tst_models_window::save_refusedWhenAWaterIsGone()
{
    workspace_fixture f;
    enterSources(f, scratch("gone.jsdb"));
    QWidget *win = openWindow(f, "pushButton_SUMixing");
    QVERIFY(win);
    click(win, "pushButton_run");
    QVERIFY(child<QPushButton>(win, "pushButton_save")->isEnabled());
    // the second water leaves the configuration while the window is open
    f.sd()->waters.removeAt(1);
    f.sd()->nwaters = 1;
    click(win, "pushButton_save");
    QVERIFY(
        child<QTextEdit>(win, "textEdit_messages")->toPlainText().contains("Nothing was saved"));
    QCOMPARE(f.sd()->nwaters, 1);
    click(win, "pushButton_run");
    QVERIFY(child<QTextEdit>(win, "textEdit_messages")
                ->toPlainText()
                .contains("is no longer in the configuration"));
    QVERIFY(!child<QPushButton>(win, "pushButton_save")->isEnabled());
    click(win, "pushButton_close");
    QVERIFY(!win->isVisible());
}

void tst_models_window::window_connectsEverySlotAndFits()
{
    SlotWarningGuard guard;
    workspace_fixture f;
    enterSources(f, scratch("layout.jsdb"));
    for (const char *button : {"pushButton_SUMixing", "pushButton_SUTitration"}) {
        QWidget *win = openWindow(f, button);
        QVERIFY(win);
        win->resize(std::min(win->width(), 1366), std::min(win->height(), 740));
        QVERIFY(QTest::qWaitForWindowExposed(win));
        QVERIFY(win->width() <= 1366 && win->height() <= 740);
        QVERIFY2(cutOffTexts(win).isEmpty(), qPrintable(cutOffTexts(win).join(", ")));
        QVERIFY2(unreachableControls(win).isEmpty(),
                 qPrintable(unreachableControls(win).join(", ")));
        click(win, "pushButton_run");
        click(win, "pushButton_viewResult");
    }
    onNextModal([&](QWidget *dialog) {
        QVERIFY2(cutOffTexts(dialog).isEmpty(), qPrintable(cutOffTexts(dialog).join(", ")));
        click(dialog, "pushButton_cancel");
    });
    click(mixingWindow(), "pushButton_save");
    QCOMPARE(f.sd()->nwaters, 2);
    QVERIFY2(guard.warnings().isEmpty(), qPrintable(guard.warnings().join('\n')));
}

QTEST_MAIN(tst_models_window)
#include "tst_models_window.moc"
