// The messages chapter quotes only texts that some test sees the program show: each
// quoted message of its tables and lists, cut at the guide's placeholder "…", stands
// in a string literal of a test source.
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

/// The string literals of every test source but this one, adjacent ones joined.
QStringList testLiterals(const QDir &tests)
{
    static const QRegularExpression joined(QStringLiteral("\"\\s*\\n\\s*\""));
    static const QRegularExpression literal(QStringLiteral("\"((?:[^\"\\\\\\n]|\\\\.)*)\""));
    QStringList out;
    QDirIterator it(tests.path(), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(QStringLiteral("/tst_docs_quotes.cpp")))
            continue;
        QString text = readText(path).remove(QStringLiteral("'\"'")).replace(joined, QString());
        for (const QRegularExpressionMatch &m : literal.globalMatch(text))
            out << m.captured(1)
                       .replace(QStringLiteral("\\\""), QStringLiteral("\""))
                       .replace(QStringLiteral("\\n"), QStringLiteral(" "))
                       .simplified();
    }
    return out;
}

/// Headings of the guide: a quote naming one points to a section, it is no message.
QStringList headings(const QDir &guide)
{
    QStringList out;
    for (const QString &name : guide.entryList({QStringLiteral("*.md")}))
        for (const QString &line : readText(guide.filePath(name)).split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1Char('#')))
                out << line.section(QLatin1Char(' '), 1).trimmed();
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
    const QString chapter = readText(guide.filePath(QStringLiteral("12-messages.md")));
    QVERIFY(!chapter.isEmpty());
    const QStringList literals = testLiterals(tests);
    const QStringList sections = headings(guide);
    static const QRegularExpression quote(QStringLiteral("\"([^\"]+)\""));
    // Quotes whose message no test makes the program show yet, one a line; a line
    // left after its quote went from the chapter fails too.
    const QStringList waiting = readText(QStringLiteral(VEK7_TEST_DATA_DIR "/quotes_unseen.txt"))
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList unseen, quoted;
    bool inList = false;
    for (const QString &line : chapter.split(QLatin1Char('\n'))) {
        // Table rows, list items and their continued lines hold the messages.
        inList = line.startsWith(QLatin1String("- "))
            || (inList && line.startsWith(QLatin1String("  ")));
        if (!inList
            && !(line.startsWith(QLatin1Char('|')) && !line.startsWith(QLatin1String("|-"))))
            continue;
        for (const QRegularExpressionMatch &m : quote.globalMatch(line)) {
            if (sections.contains(m.captured(1)))
                continue;
            for (QString part : m.captured(1).split(QChar(0x2026))) {
                part = part.simplified(); // a line break of a message reads as a blank
                const auto holds = [&part](const QString &l) { return l.contains(part); };
                quoted << part;
                if (part.size() >= 10 && !waiting.contains(part)
                    && std::none_of(literals.begin(), literals.end(), holds))
                    unseen << QStringLiteral("\"%1\" of \"%2\"").arg(part, m.captured(1));
            }
        }
    }
    for (const QString &part : waiting)
        if (!quoted.contains(part))
            unseen << QStringLiteral("\"%1\" is no longer quoted").arg(part);
    // Each on a line of its own: a failure message is cut after a few hundred letters.
    for (const QString &line : unseen)
        qWarning().noquote() << line;
    QVERIFY2(unseen.isEmpty(),
             qPrintable(QStringLiteral("%1 quotes no test sees, listed above").arg(unseen.size())));
}

QTEST_MAIN(tst_docs_quotes)
#include "tst_docs_quotes.moc"
