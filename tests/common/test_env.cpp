// Every test executable starts headless, with its settings store and home for
// temporary files in a fresh folder, so no test reads or writes the user's settings.
// A run that names a file in VEK7_SHOWN_FILE also gets there every line the program
// showed (message panes, boxes, labels, tool tips, table cells), for the check that the guide
// quotes only messages some test sees.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QList>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSet>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QtGlobal>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string g_settingsDir;

void removeSettingsDir()
{
    if (!g_settingsDir.empty())
        QDir(QString::fromStdString(g_settingsDir)).removeRecursively();
}

/// Sans families a desktop commonly has; the one a run asks for replaces them all.
const char *const sansFamilies[]
    = {"DejaVu Sans",        "Liberation Sans",     "Nimbus Sans", "Nimbus Sans L",
       "Nimbus Sans Narrow", "Droid Sans Fallback", "Arial",       "Helvetica",
       "Sans Serif",         "sans-serif",          "sans"};

/// Writes a font configuration in `dir` under which `family` is the only sans font
/// (the others are hidden and every sans name leads to it) and points fontconfig at
/// it. Must run before the application object exists.
void useOnlySans(const QByteArray &dir, const QByteArray &family)
{
    QByteArray conf = "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                      "<fontconfig>\n <dir>/usr/share/fonts</dir>\n"
                      " <cachedir>/var/cache/fontconfig</cachedir>\n <cachedir>"
        + dir + "/fontcache</cachedir>\n <selectfont><rejectfont>\n";
    for (const char *other : sansFamilies)
        if (family != other)
            conf += QByteArray("  <pattern><patelt name=\"family\"><string>") + other
                + "</string></patelt></pattern>\n";
    conf += " </rejectfont></selectfont>\n";
    for (const char *name : sansFamilies)
        conf += QByteArray(" <alias binding=\"strong\"><family>") + name
            + "</family><prefer><family>" + family + "</family></prefer></alias>\n";
    conf += " <alias><family>monospace</family><prefer><family>DejaVu Sans Mono</family>"
            "<family>Liberation Mono</family></prefer></alias>\n</fontconfig>\n";
    QFile file(QString::fromUtf8(dir + "/fonts.conf"));
    if (file.open(QIODevice::WriteOnly) && file.write(conf) == conf.size()) {
        file.close();
        qputenv("FONTCONFIG_FILE", file.fileName().toUtf8());
    }
}

/// Makes the headless screen `size` ("1366x768") large, written as the offscreen
/// platform's screen configuration in `dir`; false when it cannot be written.
bool useScreen(const QByteArray &dir, const QByteArray &size)
{
    const QList<QByteArray> wh = size.split('x');
    if (wh.size() != 2 || wh.at(0).toInt() <= 0 || wh.at(1).toInt() <= 0)
        return false;
    const QByteArray json = "{\"screens\": [{\"name\": \"test\", \"x\": 0, \"y\": 0, \"width\": "
        + wh.at(0) + ", \"height\": " + wh.at(1)
        + ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}\n";
    QFile file(QString::fromUtf8(dir + "/screen.json"));
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size())
        return false;
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + file.fileName().toUtf8());
    return true;
}

QSet<QString> g_shown; // the texts shown, whole and line by line, blanks simplified

void recordShown(QString text)
{
    if (Qt::mightBeRichText(text))
        text = QTextDocumentFragment::fromHtml(text).toPlainText();
    const QStringList lines = text.replace(QChar::LineSeparator, QLatin1Char('\n')).split('\n');
    for (const QString &line : lines + QStringList(lines.join(QLatin1Char(' '))))
        if (!line.simplified().isEmpty())
            g_shown.insert(line.simplified());
}

void writeShown()
{
    QFile file(QString::fromLocal8Bit(qgetenv("VEK7_SHOWN_FILE")));
    if (file.open(QIODevice::WriteOnly))
        file.write(QStringList(g_shown.begin(), g_shown.end()).join('\n').toUtf8() + '\n');
}

/// Records what the windows show: a message box's title and texts, a label's text as
/// it is drawn (tool tips are labels too), a shown widget's tool tip as it changes, and
/// from the moment they are first shown the lines of a read-only text pane and the
/// cells of a table as they are set.
class ShownRecorder : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        auto *widget = watched->isWidgetType() ? static_cast<QWidget *>(watched) : nullptr;
        if (auto *label = qobject_cast<QLabel *>(watched);
            label && (type == QEvent::Paint || type == QEvent::Show))
            recordShown(label->text());
        if (type == QEvent::ToolTipChange && widget && widget->isVisible())
            recordShown(widget->toolTip());
        if (type != QEvent::Show || !widget)
            return false;
        if (auto *box = qobject_cast<QMessageBox *>(watched)) {
            for (const QString &text : {box->windowTitle(), box->text(), box->informativeText()})
                recordShown(text);
            return false;
        }
        auto *table = qobject_cast<QTableWidget *>(watched);
        const auto cells = [table](int top, int left, int bottom, int right) {
            for (int r = top; r <= bottom; ++r)
                for (int c = left; c <= right; ++c)
                    if (const QTableWidgetItem *item = table->item(r, c))
                        recordShown(item->text());
        };
        if (table)
            cells(0, 0, table->rowCount() - 1, table->columnCount() - 1);
        if (widget->property("vek7Shown").toBool())
            return false;
        widget->setProperty("vek7Shown", true);
        if (table) {
            connect(table->model(), &QAbstractItemModel::dataChanged, table,
                    [table, cells](const QModelIndex &a, const QModelIndex &b) {
                        if (table->isVisible())
                            cells(a.row(), a.column(), b.row(), b.column());
                    });
        } else if (auto *edit = qobject_cast<QTextEdit *>(watched); edit && edit->isReadOnly()) {
            watch(edit->document());
        } else if (auto *plain = qobject_cast<QPlainTextEdit *>(watched);
                   plain && plain->isReadOnly()) {
            watch(plain->document());
        }
        return false;
    }

private:
    /// Records the document's text and, from then on, each block an edit touches, also
    /// joined to the block before it: a message may take two lines.
    static void watch(QTextDocument *doc)
    {
        recordShown(doc->toPlainText());
        connect(doc, &QTextDocument::contentsChange, doc, [doc](int from, int, int added) {
            for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() <= from + added;
                 b = b.next())
                recordShown(b.previous().text() + QLatin1Char('\n') + b.text());
        });
    }
};

void installShownRecorder()
{
    if (!qEnvironmentVariableIsEmpty("VEK7_SHOWN_FILE"))
        QCoreApplication::instance()->installEventFilter(
            new ShownRecorder(QCoreApplication::instance()));
}

struct TestEnvironment
{
    TestEnvironment()
    {
        // A run that stops early leaves no record rather than an old one.
        if (!qEnvironmentVariableIsEmpty("VEK7_SHOWN_FILE")) {
            QFile::remove(QString::fromLocal8Bit(qgetenv("VEK7_SHOWN_FILE")));
            std::atexit(writeShown);
        }
        // Only the end-to-end road asks for a real X server; every other run is headless.
        const bool realX = qgetenv("QT_QPA_PLATFORM") == "xcb";
        if (!realX)
            qputenv("QT_QPA_PLATFORM", "offscreen");
        std::string tmpl = QDir::tempPath().toStdString() + "/vek7-test-XXXXXX";
        if (char *dir = mkdtemp(tmpl.data())) {
            g_settingsDir = dir;
            // Windows are tried on a laptop's screen unless a run asks for another.
            const QByteArray screen = qgetenv("VEK7_TEST_SCREEN");
            if (!realX)
                useScreen(dir, screen.isEmpty() ? QByteArray("1366x768") : screen);
            qputenv("XDG_CONFIG_HOME", QByteArray(dir) + "/config");
            qputenv("XDG_DATA_HOME", QByteArray(dir) + "/data");
            qputenv("XDG_CACHE_HOME", QByteArray(dir) + "/cache");
            std::atexit(removeSettingsDir);
            // A run may ask for one sans font, as a desktop with only that font has.
            const QByteArray sans = qgetenv("VEK7_TEST_SANS");
            if (!sans.isEmpty())
                useOnlySans(dir, sans);
        }
    }
};

const TestEnvironment g_environment;

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installShownRecorder)

/// Folder that holds this test run's redirected settings and scratch files.
QString vek7TestScratchDir()
{
    return QString::fromStdString(g_settingsDir);
}

QString copyGeneratedDb(const QString &dir)
{
    // The compiled-in copy is what the program installs; the build's file is the fallback.
    QString src = QStringLiteral(":/thermo/db-EQ3v1996.db");
    if (!QFileInfo::exists(src))
        src = QStringLiteral(VEK7_GENERATED_DB);
    if (!QFileInfo::exists(src))
        return QString();
    QDir().mkpath(dir);
    const QString dst = QDir(dir).filePath(QStringLiteral("db-EQ3v1996.db"));
    QFile::remove(dst);
    return QFile::copy(src, dst) ? dst : QString();
}
