// The messages chapter quotes only texts that some test sees the program show: each
// piece of a quoted message of its tables and lists, cut at the guide's placeholder
// "…", stands in a text that a test run recorded as shown (common/test_env.cpp).
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

namespace {

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

/// Every test source but this one, with the literals split over lines joined.
QString testSources(const QDir &tests)
{
    static const QRegularExpression joined(QStringLiteral("\"\\s*\\n\\s*\""));
    QString out;
    QDirIterator it(tests.path(), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        if (const QString path = it.next(); !path.endsWith(QStringLiteral("/tst_docs_quotes.cpp")))
            out += readText(path).replace(joined, QString()) + QLatin1Char('\n');
    return out;
}

} // namespace

class tst_docs_quotes : public QObject
{
    Q_OBJECT

private slots:
    void messagesChapterQuotesWhatTestsSee();
};

void tst_docs_quotes::messagesChapterQuotesWhatTestsSee()
{
    const QDir tests(QDir::cleanPath(QStringLiteral(VEK7_TEST_DATA_DIR "/../..")));
    const QDir guide(QDir::cleanPath(tests.filePath(QStringLiteral("../src/Resources/userguide"))));
    QStringList unseen;
    QString shown; // every record, one text a line
    for (const QString &path :
         readText(QStringLiteral(VEK7_SHOWN_LIST)).split('\n', Qt::SkipEmptyParts)) {
        if (!QFile::exists(path))
            unseen << QStringLiteral("no record of what a test run was shown: %1").arg(path);
        shown += readText(path);
    }
    QVERIFY(!shown.isEmpty());
    // The engine's error lines are checked in its own message list, which no window
    // shows: a test source holding the whole quote stands for them.
    const QString sources = testSources(tests);
    QString headings; // a quote naming a section of the guide is no message
    for (const QString &name : guide.entryList({QStringLiteral("*.md")}))
        headings += readText(guide.filePath(name));
    static const QRegularExpression quote(QStringLiteral("\"([^\"]+)\""));
    bool inList = false;
    for (const QString &line :
         readText(guide.filePath(QStringLiteral("12-messages.md"))).split('\n')) {
        // Table rows, list items and their continued lines hold the messages.
        inList = line.startsWith(QLatin1String("- "))
            || (inList && line.startsWith(QLatin1String("  ")));
        if (!inList
            && !(line.startsWith(QLatin1Char('|')) && !line.startsWith(QLatin1String("|-"))))
            continue;
        for (const QRegularExpressionMatch &m : quote.globalMatch(line)) {
            const QString text = m.captured(1).simplified();
            QStringList pieces = text.split(QChar(0x2026));
            for (QString &piece : pieces)
                piece = piece.simplified();
            pieces.removeAll(QString());
            const auto isLong = [](const QString &piece) { return piece.size() >= 10; };
            if (headings.contains(QStringLiteral("# ") + text + QLatin1Char('\n'))
                || std::none_of(pieces.begin(), pieces.end(), isLong))
                continue;
            const auto in = [&pieces](const QString &record) {
                return std::all_of(pieces.begin(), pieces.end(),
                                   [&record](const QString &p) { return record.contains(p); });
            };
            if (!in(shown) && !(line.startsWith(QLatin1String("| \"#### error :")) && in(sources)))
                unseen << QStringLiteral("\"%1\" is shown by no test").arg(text);
        }
    }
    // Each on a line of its own: a failure message is cut after a few hundred letters.
    for (const QString &line : unseen)
        qWarning().noquote() << line;
    QVERIFY2(unseen.isEmpty(),
             qPrintable(QStringLiteral("%1 quotes no test sees").arg(unseen.size())));
}

QTEST_MAIN(tst_docs_quotes)
#include "tst_docs_quotes.moc"
