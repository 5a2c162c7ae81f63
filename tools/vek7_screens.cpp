// Build-time maker of the user guide's pictures:
//   vek7_screens <output folder>
// Walks the program's road on the offscreen platform (first start, login, main
// menu, a configuration of the J-13 water and seawater, the workspace, a run,
// the result viewer and the other windows), grabs each window at a fixed size
// and writes <name>.png with an index "screens.txt" (name, chapter file, caption
// per line, tab-separated) that the guide's layout tool reads. Settings, the
// application folder and the configuration live in a neutral folder of the
// system's temporary folder, so that no picture shows where the program was built;
// only the DejaVu and Liberation fonts are offered, so the pictures do not change
// with the machine's fonts, and a window drawn in a serif font fails the build.
#include "demo_session.h"

#include "dbmanager.h"
#include "dbparse_driver.h"
#include "doc_about.h"
#include "export_data.h"
#include "mainwindow.h"
#include "model_mixing.h"
#include "setup.h"
#include "viewResult_spcn.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>

namespace {

constexpr int stepLimitMs = 30000; // a window that takes longer is taken as hung
// The folders of the fonts the windows are drawn in, with the package of each.
const std::pair<const char *, const char *> fontFolders[] = {
    {"/usr/share/fonts/truetype/dejavu", "fonts-dejavu-core"},
    {"/usr/share/fonts/truetype/liberation2", "fonts-liberation2"},
};

struct screens;

/// One picture of the guide. `open` brings the window up as a user does and
/// returns it; a row that opens a modal dialog returns null, the dialog is
/// grabbed while it waits, then `answer` closes it (Escape when not given).
struct shot
{
    const char *name; ///< file name of the picture, without ".png"
    const char *chapter; ///< chapter file of the guide the picture belongs to
    const char *caption; ///< text under the picture
    QSize size; ///< size the window is grabbed at, pixels
    std::function<QWidget *(screens &)> open;
    std::function<void(QWidget *)> answer = {};
};

const char *g_picture = nullptr; // name of the picture being made, for the messages

[[noreturn]] void die(const QString &message)
{
    if (g_picture)
        std::fprintf(stderr, "vek7_screens: %s: %s\n", g_picture, qPrintable(message));
    else
        std::fprintf(stderr, "vek7_screens: %s\n", qPrintable(message));
    std::fflush(stderr);
    std::_Exit(1);
}

struct screens
{
    QString folder; ///< output folder
    QString config; ///< the configuration file of the road
    std::unique_ptr<demo_session> s;

    /// Fails the build with the step's error when `ok` is false.
    void check(bool ok) const
    {
        if (!ok)
            die(s->error);
    }
    MainWindow *main() const { return s->main(); }
    /// The window of class `T` that is shown; the build fails when there is none.
    template<class T>
    static QWidget *shown()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<T *>(w) && w->isVisible())
                return w;
        die(QStringLiteral("no %1 window is shown").arg(T::staticMetaObject.className()));
    }
    /// Triggers the menu entry `text` of `root` (nothing is returned: a dialog opens).
    QWidget *trigger(QWidget *root, const QString &text) const
    {
        QAction *a = demo_session::action(root, text);
        if (!a)
            die(QStringLiteral("no menu entry \"%1\"").arg(text));
        a->trigger();
        return nullptr;
    }
    QWidget *press(QWidget *root, const QString &name) const
    {
        QPushButton *b = demo_session::button(root, name);
        if (!b || !b->isEnabled())
            die(QStringLiteral("no enabled button %1").arg(name));
        b->click();
        return nullptr;
    }
};

void clickIn(QWidget *dialog, const char *name)
{
    QPushButton *b = demo_session::button(dialog, QString::fromLatin1(name));
    if (!b)
        die(QStringLiteral("%1 has no button %2").arg(dialog->objectName(), name));
    b->click();
}

// The pictures, in the order a user meets the windows: each row starts from the
// state the rows above it left.
const QList<shot> &table()
{
    static const QList<shot> rows = {
        {"first-start",
         "01-first-start.md",
         "The first start: installing the reference database",
         {760, 520},
         [](screens &c) {
             c.main()->firstInstall_patch();
             return static_cast<QWidget *>(nullptr);
         },
         [](QWidget *d) { clickIn(d, "pushButton_setDB"), clickIn(d, "pushButton_continue"); }},
        {"login",
         "02-login-and-account.md",
         "The login page",
         {1100, 700},
         [](screens &c) { return c.main(); }},
        {"main-menu",
         "03-main-menu.md",
         "The main menu",
         {1100, 700},
         [](screens &c) { return c.check(c.s->start()), c.main(); }},
        {"account",
         "02-login-and-account.md",
         "Manage Account Settings",
         {760, 560},
         [](screens &c) { return c.trigger(c.main(), "Manage Account Settings"); }},
        {"database-manager",
         "03b-database-manager.md",
         "The database manager",
         {1100, 700},
         [](screens &c) {
             c.press(c.main(), "pushButton_DBManager");
             return screens::shown<dbmanager>();
         }},
        {"configuration-file",
         "04-configuration-files.md",
         "The configuration-file page with the J-13 and seawater configuration open",
         {1100, 700},
         [](screens &c) {
             c.check(c.s->speciation() && c.s->open_recent(c.config));
             return c.main();
         }},
        {"setup-system",
         "06-setup-workspace.md",
         "The setup workspace: the chemical system of the J-13 elements and CO2(g)",
         {1280, 760},
         [](screens &c) {
             c.check(c.s->load()
                     && c.s->add_species(
                         [] {
                             QStringList names;
                             for (const auto &a : demo_j13().amounts)
                                 names << a.first;
                             return names;
                         }(),
                         {QStringLiteral("CO2(g)")}));
             return c.main();
         }},
        {"element-picker",
         "06b-element-and-gas-pickers.md",
         "The element picker",
         {820, 620},
         [](screens &c) { return c.press(c.s->workspace(), "pushButton_addElement"); },
         [](QWidget *d) { clickIn(d, "pushButton_cancel"); }},
        {"gas-picker",
         "06b-element-and-gas-pickers.md",
         "The gas picker",
         {820, 620},
         [](screens &c) { return c.press(c.s->workspace(), "pushButton_addGas"); }},
        {"water-composition",
         "07-running-and-results.md",
         "The J-13 water entered in ppm and run",
         {1280, 760},
         [](screens &c) {
             c.check(c.s->enter_water(demo_seawater()));
             const QString sea = c.s->run();
             if (sea != QLatin1String("     DONE"))
                 die(QStringLiteral("the seawater run ended with \"%1\"").arg(sea));
             c.check(c.s->enter_water(demo_j13()));
             const QString j13 = c.s->run();
             if (j13 != QLatin1String("     DONE"))
                 die(QStringLiteral("the J-13 run ended with \"%1\"").arg(j13));
             return c.main();
         }},
        {"water-manager",
         "06c-solution-properties-and-water-set.md",
         "The water set manager with the seawater and J-13 waters",
         {900, 620},
         [](screens &c) { return c.press(c.s->workspace(), "pushButton_waterMgr"); },
         [](QWidget *d) { clickIn(d, "pushButton_cancel"); }},
        {"control-parameters",
         "11-control-parameters.md",
         "The control parameters",
         {900, 680},
         [](screens &c) { return c.trigger(c.s->workspace(), "Control Parameters"); }},
        {"result-viewer",
         "07b-results.md",
         "The result viewer showing the J-13 water",
         {1280, 760},
         [](screens &c) {
             c.press(c.s->workspace(), "pushButton_viewResult");
             return screens::shown<viewResult_spcn>();
         }},
        {"export",
         "08-export.md",
         "The export dialog",
         {1000, 680},
         [](screens &c) {
             c.trigger(c.s->workspace(), "Export Data");
             return screens::shown<export_data>();
         }},
        {"mixing",
         "09-mixing-and-titration.md",
         "The mixing window with the seawater and J-13 waters",
         {1100, 700},
         [](screens &c) {
             c.press(c.s->workspace(), "pushButton_SUMixing");
             return screens::shown<model_mixing>();
         }},
        {"parser",
         "10-data-source-parser.md",
         "The data source parser",
         {1100, 700},
         [](screens &c) {
             c.trigger(c.main(), "Database Parser");
             return screens::shown<dbparse_driver>();
         }},
        {"about",
         "00-introduction.md",
         "About Vek7",
         {900, 640},
         [](screens &c) {
             c.main()->docAbout_open();
             return screens::shown<doc_about>();
         }},
    };
    return rows;
}

/// Every text `window` shows: its title, fields, labels, buttons, lists and tables.
QStringList shownTexts(QWidget *window)
{
    QStringList texts {window->windowTitle()};
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisible())
            continue;
        if (auto *e = qobject_cast<QLineEdit *>(w))
            texts << e->text();
        else if (auto *t = qobject_cast<QTextEdit *>(w))
            texts << t->toPlainText();
        else if (auto *p = qobject_cast<QPlainTextEdit *>(w))
            texts << p->toPlainText();
        else if (auto *l = qobject_cast<QLabel *>(w))
            texts << l->text();
        else if (auto *b = qobject_cast<QAbstractButton *>(w))
            texts << b->text();
        else if (auto *c = qobject_cast<QComboBox *>(w))
            texts << c->currentText();
        else if (auto *v = qobject_cast<QAbstractItemView *>(w); v && v->model())
            for (int r = 0; r < v->model()->rowCount(); ++r)
                for (int k = 0; k < v->model()->columnCount(); ++k)
                    texts << v->model()->index(r, k).data().toString();
    }
    return texts;
}

/// Whether `family`, a font fontconfig matched, is a serif face: the one the
/// generic "serif" leads to, or one named as such ("Liberation Serif", "Nimbus Roman").
bool isSerif(const QString &family)
{
    static const QString generic = QFontInfo(QFont(QStringLiteral("serif"))).family();
    static const QRegularExpression named(QStringLiteral("\\b(Serif|Times|Roman)\\b"));
    if (family.contains(QLatin1String("Sans")))
        return false;
    return family == generic || named.match(family).hasMatch();
}

/// "<widget> (<family asked>): <family drawn>" for the first shown widget of
/// `window` whose text is drawn in a serif font, or nothing: the forms name sans fonts.
QString serifShown(QWidget *window)
{
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *w : widgets) {
        if (!w->isVisible())
            continue;
        const QString family = QFontInfo(w->font()).family();
        if (isSerif(family))
            return QStringLiteral("%1 (%2): %3").arg(w->objectName(), w->font().family(), family);
    }
    return {};
}

/// Lays the window out at `size`, paints it and writes it as `name`.png. A window
/// that shows the folder the program was built in or from is not a picture for the guide.
void grabInto(QWidget *window, const shot &row, const QString &folder)
{
    window->resize(row.size);
    window->show();
    window->raise();
    window->activateWindow();
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    for (const QString &built : {folder, QStringLiteral(VEK7_SOURCE_DIR)})
        for (const QString &text : shownTexts(window))
            if (text.contains(built))
                die(QStringLiteral("the window shows the build's folder: %1").arg(text));
    if (const QString serif = serifShown(window); !serif.isEmpty())
        die(QStringLiteral("the window draws text in the serif font %1").arg(serif));
    const QPixmap picture = window->grab();
    if (picture.isNull() || picture.width() < 100 || picture.height() < 100)
        die(QStringLiteral("the window could not be painted"));
    const QString path = QDir(folder).filePath(QString::fromLatin1(row.name) + ".png");
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || !picture.save(&out, "PNG") || !out.commit())
        die(QStringLiteral("cannot write %1").arg(path));
}

// Watches every step: an unexpected message box or a step that does not end in
// time fails the build with what it showed.
class watchdog : public QObject
{
public:
    watchdog()
    {
        connect(&poll, &QTimer::timeout, this, [] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                die(QStringLiteral("unexpected message \"%1\" %2")
                        .arg(box->text(), box->informativeText()));
        });
        poll.start(20);
        connect(&limit, &QTimer::timeout, this, [] {
            die(QStringLiteral("the window did not open and close within %1 s")
                    .arg(stepLimitMs / 1000));
        });
        limit.setSingleShot(true);
    }
    void restart() { limit.start(stepLimitMs); }

private:
    QTimer poll;
    QTimer limit;
};

/// A fontconfig file offering only the DejaVu and Liberation fonts under the
/// system's own rules, with its cache in `scratch`. The rules are what make the
/// forms' "Arial" Liberation Sans and "Sans Serif" DejaVu Sans, as the program
/// shows them; without them fontconfig falls back on any face, serif ones too.
void useGuideFonts(const QString &scratch)
{
    QByteArray text = "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                      "<fontconfig>\n";
    for (const auto &[folder, package] : fontFolders) {
        if (!QDir(QString::fromLatin1(folder)).exists())
            die(QStringLiteral("the fonts of the pictures are not installed in %1 (package %2)")
                    .arg(folder, package));
        text += QByteArray(" <dir>") + folder + "</dir>\n";
    }
    text += " <include ignore_missing=\"yes\">/etc/fonts/conf.d</include>\n <cachedir>"
        + QDir(scratch).filePath("fontcache").toUtf8() + "</cachedir>\n</fontconfig>\n";
    const QString conf = QDir(scratch).filePath("fonts.conf");
    QFile f(conf);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        die(QStringLiteral("cannot write %1").arg(conf));
    qputenv("FONTCONFIG_FILE", conf.toUtf8());
}

// Keeps warnings, but not the program's debug lines nor the offscreen platform's
// notes on window calls it ignores.
void quietDebug(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type == QtDebugMsg || type == QtInfoMsg
        || msg.startsWith(QLatin1String("This plugin does not support"))
        || msg.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    std::fprintf(stderr, "vek7_screens: %s\n", qPrintable(msg));
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vek7_screens <output folder>\n");
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    if (!QDir().mkpath(folder))
        die(QStringLiteral("cannot make the folder %1").arg(folder));
    // One folder name for every build, so builds at the same time take turns.
    const QString scratch = QDir(QDir::tempPath()).filePath("vek7-guide");
    QLockFile turn(scratch + ".lock");
    // Held as long as the pictures take; a dead holder's lock is taken over.
    turn.setStaleLockTime(0);
    if (!turn.lock())
        die(QStringLiteral("cannot lock %1.lock").arg(scratch));
    QDir(scratch).removeRecursively();
    if (!QDir().mkpath(scratch))
        die(QStringLiteral("cannot make the folder %1").arg(scratch));
    useGuideFonts(scratch);
    if (!demo_session::use_laptop_screen(scratch))
        die(QStringLiteral("cannot describe the screen in %1").arg(scratch));
    demo_session::redirect_settings(scratch);
    qInstallMessageHandler(quietDebug);

    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    demo_session::prepare(scratch);

    screens c;
    c.folder = folder;
    c.config = QDir(scratch).filePath("Documents/J-13 and seawater.jsdb");
    QString error;
    if (!demo_session::write_configuration(c.config, {"J-13", "seawater"}, &error))
        die(error);
    c.s = std::make_unique<demo_session>();
    c.s->main()->setWindowTitle(QStringLiteral("Main Window"));

    watchdog guard;
    QStringList index;
    for (const shot &row : table()) {
        g_picture = row.name;
        guard.restart();
        QWidget *window = nullptr;
        bool grabbedModal = false;
        // A modal dialog is grabbed from the event loop it waits in.
        QTimer modal;
        QObject::connect(&modal, &QTimer::timeout, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog || qobject_cast<QMessageBox *>(dialog) || grabbedModal)
                return;
            grabbedModal = true;
            grabInto(dialog, row, folder);
            if (row.answer)
                row.answer(dialog);
            else
                QMetaObject::invokeMethod(dialog, "reject");
        });
        modal.start(10);
        window = row.open(c);
        modal.stop();
        if (!window && !grabbedModal)
            die(QStringLiteral("no window opened"));
        if (window) {
            grabInto(window->window(), row, folder);
            if (window->window() != c.main())
                window->window()->close();
        }
        index << QStringLiteral("%1\t%2\t%3").arg(row.name, row.chapter, row.caption);
    }
    g_picture = nullptr;
    c.s.reset();

    QSaveFile out(QDir(folder).filePath("screens.txt"));
    const QByteArray text = (index.join('\n') + '\n').toUtf8();
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit())
        die(QStringLiteral("cannot write the index in %1").arg(folder));
    QDir(scratch).removeRecursively();
    std::printf("vek7_screens: %d pictures in %s\n", int(index.size()), qPrintable(folder));
    return 0;
}
