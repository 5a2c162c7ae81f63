// The about box, the quick guide and the zoom choice as a user meets them.
#include "support_docs.h"
#include "test_env.h"

#include "SearchResultDelegate.h"
#include "ZoomSelector.h"
#include "doc_about.h"
#include "doc_folder.h"
#include "doc_redoxQG.h"
#include "global.h"
#include "pdfWindow.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

#include <memory>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

QString freshFolder(const QString &name)
{
    const QString path = vek7TestScratchDir() + QLatin1Char('/') + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

} // namespace

class tst_docs_viewers : public QObject
{
    Q_OBJECT

private slots:
    void constructingPrintsNoSlotWarning_data();
    void constructingPrintsNoSlotWarning();
    void aboutShowsProgramAndNotices();
    void quickGuideShowsRedoxPairs();
    void emptyFolderSaysSo_data();
    void emptyFolderSaysSo();
    void documentsTakenInNameOrderByKind();
    void aboutCloseSavesGeometryAndSignals();
    void quickGuideCloseSavesGeometry();
    void zoomChoices_data();
    void zoomChoices();
    void searchContextOnOneLine_data();
    void searchContextOnOneLine();
};

void tst_docs_viewers::constructingPrintsNoSlotWarning_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("about") << "doc_about";
    QTest::newRow("quick guide") << "doc_redoxQG";
    QTest::newRow("pdf viewer") << "pdfWindow";
}

void tst_docs_viewers::constructingPrintsNoSlotWarning()
{
    QFETCH(QString, window);
    SlotWarningGuard guard;
    std::unique_ptr<QWidget> w;
    if (window == QLatin1String("doc_about"))
        w = std::make_unique<doc_about>();
    else if (window == QLatin1String("doc_redoxQG"))
        w = std::make_unique<doc_redoxQG>();
    else
        w = std::make_unique<pdfWindow>();
    w->show();
    QCoreApplication::processEvents();
    QVERIFY2(guard.warnings().isEmpty(), qPrintable(guard.warnings().join('\n')));
}

void tst_docs_viewers::aboutShowsProgramAndNotices()
{
    doc_about about;
    about.setup_about();
    const auto *first = about.findChild<QTextBrowser *>("textBrowser_about");
    const auto *second = about.findChild<QTextBrowser *>("textBrowser_notices");
    QVERIFY(first && second);
    const global g;
    const QString program = first->toPlainText();
    QVERIFY(program.contains(g.version_simulator()));
    QVERIFY(program.contains(g.version_database()));
    QVERIFY(program.contains(g.default_format_jsdb()));
    QVERIFY(program.contains(QString::number(g.tag_compilation())));
    QVERIFY(program.contains(QLatin1String("speciation")));
    QVERIFY(!program.contains(QLatin1String("{{")));
    // The solution properties grey out the extended Debye-Hueckel model: not offered here.
    QVERIFY(!program.contains(QLatin1String("extended Debye"), Qt::CaseInsensitive));

    const QString notices = second->toPlainText();
    QVERIFY(notices.contains(QLatin1String("data0.com.V8.R6")));
    QVERIFY(notices.contains(QLatin1String("1996")));
    // The data file's licence asks for its full notice in the documentation.
    QFile licence(QStringLiteral(VEK7_DATA0_FILE));
    licence.setFileName(QFileInfo(licence).absolutePath() + QStringLiteral("/LICENSE-EQ3_6"));
    if (licence.open(QIODevice::ReadOnly)) {
        const QStringList lines
            = QString::fromUtf8(licence.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &line : lines)
            QVERIFY2(notices.contains(line.trimmed()), qPrintable(line));
    }
    QVERIFY(notices.contains(QLatin1String("LGPL")));
    QVERIFY(notices.contains(QLatin1String("SQLite")));
    QVERIFY(notices.contains(QString::fromLatin1(qVersion())));
}

void tst_docs_viewers::quickGuideShowsRedoxPairs()
{
    doc_redoxQG guide;
    guide.setup_about();
    const auto *pane = guide.findChild<QTextBrowser *>("textBrowser_guide");
    QVERIFY(pane);
    const QString text = pane->toPlainText();
    QVERIFY(text.contains(QLatin1String("Redox reaction pairs")));
    QVERIFY(text.contains(QLatin1String("Use Redox Reaction Pair(s)")));
    QVERIFY(!text.contains(QLatin1String("no documents found")));
}

void tst_docs_viewers::emptyFolderSaysSo_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("folderExists");
    QTest::newRow("quick guide, empty folder") << "doc_redoxQG" << true;
    QTest::newRow("quick guide, no folder") << "doc_redoxQG" << false;
    QTest::newRow("about, empty folder") << "doc_about" << true;
    QTest::newRow("about, no folder") << "doc_about" << false;
}

void tst_docs_viewers::emptyFolderSaysSo()
{
    QFETCH(QString, window);
    QFETCH(bool, folderExists);
    QString folder = freshFolder(QStringLiteral("empty-docs"));
    if (!folderExists)
        folder += QStringLiteral("/absent");
    // An unreadable file counts as no document.
    if (folderExists)
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/a-subfolder.html")));
    std::unique_ptr<QWidget> w;
    QTextBrowser *pane = nullptr;
    if (window == QLatin1String("doc_redoxQG")) {
        auto *g = new doc_redoxQG;
        g->set_folder(folder);
        g->setup_about();
        pane = g->findChild<QTextBrowser *>("textBrowser_guide");
        w.reset(g);
    } else {
        auto *a = new doc_about;
        a->set_folder(folder);
        a->setup_about();
        pane = a->findChild<QTextBrowser *>("textBrowser_about");
        w.reset(a);
    }
    QVERIFY(pane);
    w->show();
    QCOMPARE(pane->toPlainText().trimmed(), QStringLiteral("no documents found"));
    QVERIFY(pane->toHtml().contains(QLatin1String("font-weight:700"))
            || pane->toHtml().contains(QLatin1String("font-weight:600")));
}

void tst_docs_viewers::documentsTakenInNameOrderByKind()
{
    const QString folder = freshFolder(QStringLiteral("about-docs"));
    writeFile(folder + QStringLiteral("/02-second.md"),
              "## Markdown part\n\nversion {{versionVek7}}\n");
    writeFile(folder + QStringLiteral("/01-first.html"), "<p>First <b>html</b> part</p>");
    writeFile(folder + QStringLiteral("/03-third.txt"), "plain <not a tag> & text");
    doc_about about;
    about.set_folder(folder);
    about.setup_about();
    const QString first = about.findChild<QTextBrowser *>("textBrowser_about")->toPlainText();
    const QString rest = about.findChild<QTextBrowser *>("textBrowser_notices")->toPlainText();
    QCOMPARE(first.trimmed(), QStringLiteral("First html part"));
    QVERIFY(rest.contains(QLatin1String("Markdown part")));
    QVERIFY(!rest.contains(QLatin1String("##")));
    QVERIFY(rest.contains(QLatin1String("version ") + global().version_simulator()));
    QVERIFY(rest.contains(QLatin1String("plain <not a tag> & text")));
    QVERIFY(rest.indexOf(QLatin1String("Markdown part")) < rest.indexOf(QLatin1String("plain")));
}

void tst_docs_viewers::aboutCloseSavesGeometryAndSignals()
{
    QSettings().remove(QLatin1String(doc_about::settingsGroup));
    const QRect placed(120, 140, 640, 480);
    {
        doc_about about;
        about.show();
        about.setGeometry(placed);
        QSignalSpy closed(&about, &doc_about::signal_docAbout_close);
        // The close box leaves the settings alone.
        about.close();
        QVERIFY(QSettings().value(QStringLiteral("DOC_ABOUT/geometry")).isNull());
        about.show();
        about.setGeometry(placed);
        about.findChild<QPushButton *>("pushButton_close")->click();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!about.isVisible());
        QVERIFY(!QSettings().value(QStringLiteral("DOC_ABOUT/geometry")).toByteArray().isEmpty());
    }
    doc_about again;
    QCOMPARE(again.size(), placed.size());
}

void tst_docs_viewers::quickGuideCloseSavesGeometry()
{
    QSettings().remove(QLatin1String(doc_redoxQG::settingsGroup));
    const QRect placed(200, 160, 500, 420);
    {
        doc_redoxQG guide;
        guide.show();
        guide.setGeometry(placed);
        guide.findChild<QPushButton *>("pushButton_close")->click();
        QVERIFY(!guide.isVisible());
    }
    QVERIFY(!QSettings().value(QStringLiteral("DOC_REDOXQG/geometry")).toByteArray().isEmpty());
    doc_redoxQG again;
    QCOMPARE(again.size(), placed.size());
}

void tst_docs_viewers::zoomChoices_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("factor"); // -1: no factor emitted
    QTest::addColumn<QString>("shown");
    const int custom = int(QPdfView::ZoomMode::Custom);
    QTest::newRow("fit width") << "Fit Width" << true << int(QPdfView::ZoomMode::FitToWidth) << -1.0
                               << "Fit Width";
    QTest::newRow("fit page") << "fit page" << true << int(QPdfView::ZoomMode::FitInView) << -1.0
                              << "Fit Page";
    QTest::newRow("percent") << "150%" << true << custom << 1.5 << "150%";
    QTest::newRow("bare number") << "120" << true << custom << 1.2 << "120%";
    QTest::newRow("below range") << "20%" << true << custom << 0.5 << "50%";
    QTest::newRow("above range") << "1000" << true << custom << 4.0 << "400%";
    QTest::newRow("text") << "abc" << false << -1 << -1.0 << "100%";
    QTest::newRow("empty") << "" << false << -1 << -1.0 << "100%";
    QTest::newRow("nan") << "nan" << false << -1 << -1.0 << "100%";
    QTest::newRow("inf") << "inf%" << false << -1 << -1.0 << "100%";
    QTest::newRow("negative") << "-50" << false << -1 << -1.0 << "100%";
}

void tst_docs_viewers::zoomChoices()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(int, mode);
    QFETCH(double, factor);
    QFETCH(QString, shown);
    ZoomSelector zoom;
    zoom.show();
    QCOMPARE(zoom.currentText(), QStringLiteral("100%"));
    QSignalSpy modes(&zoom, &ZoomSelector::zoomModeChanged);
    QSignalSpy factors(&zoom, &ZoomSelector::zoomFactorChanged);
    zoom.lineEdit()->selectAll();
    QTest::keyClicks(zoom.lineEdit(), typed);
    modes.clear();
    factors.clear();
    QTest::keyClick(zoom.lineEdit(), Qt::Key_Return);
    QCOMPARE(zoom.currentText(), shown);
    if (!accepted) {
        QCOMPARE(modes.count(), 0);
        QCOMPARE(factors.count(), 0);
        return;
    }
    QVERIFY(modes.count() >= 1);
    QCOMPARE(int(modes.last().at(0).value<QPdfView::ZoomMode>()), mode);
    if (factor > 0) {
        QVERIFY(factors.count() >= 1);
        QVERIFY(qAbs(factors.last().at(0).toDouble() - factor) < 1e-9);
    } else {
        QCOMPARE(factors.count(), 0);
    }
}

void tst_docs_viewers::searchContextOnOneLine_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("shown");
    QTest::newRow("return symbol") << QStringLiteral("line end\u23CEnext") << "line end next";
    QTest::newRow("CR LF pairs") << "one\r\n\r\ntwo"
                                 << "one two";
    QTest::newRow("blank next to hit kept") << "the "
                                            << "the ";
    QTest::newRow("leading blank kept") << " after"
                                        << " after";
    QTest::newRow("hyphen mark") << QStringLiteral("compiled\u0002in") << "compiled-in";
    QTest::newRow("tabs and runs") << "a\t\t  b"
                                   << "a b";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_docs_viewers::searchContextOnOneLine()
{
    QFETCH(QString, context);
    QFETCH(QString, shown);
    QCOMPARE(SearchResultDelegate::oneLine(context), shown);
}

QTEST_MAIN(tst_docs_viewers)
#include "tst_docs_viewers.moc"
