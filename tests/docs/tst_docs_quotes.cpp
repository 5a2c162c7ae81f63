// The messages chapter quotes only texts that some test sees the program show: each
// quoted message of its tables and lists, cut at the guide's placeholder "…", has its
// pieces in order in one line that a test run recorded as shown (or in lines that
// follow each other, for a message of more than one line).
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

/// What one test run recorded as shown: its lines joined by blanks, and where each ends.
struct Record
{
    QString text;
    QList<qsizetype> ends;
};

/// The record of each test run; a run named in the build's list that left no record
/// is added to `missing`.
QList<Record> shownRecords(QStringList &missing)
{
    QList<Record> out;
    const QString list = readText(QStringLiteral(VEK7_SHOWN_LIST));
    for (const QString &path : list.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!QFile::exists(path))
            missing << path;
        Record r;
        for (const QString &line : readText(path).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            r.text += line;
            r.ends << r.text.size();
            r.text += QLatin1Char(' ');
        }
        out << r;
    }
    if (list.isEmpty())
        missing << QStringLiteral(VEK7_SHOWN_LIST);
    return out;
}

/// Whether `pieces` stand in order in `text` from `from` on, none passing `end`.
bool inOrder(const QString &text, const QStringList &pieces, qsizetype from, qsizetype end)
{
    for (const QString &piece : pieces) {
        from = text.indexOf(piece, from);
        if (from < 0 || from + piece.size() > end)
            return false;
        from += piece.size();
    }
    return true;
}

/// Whether a run recorded `pieces` in order in one line, or in a line and the two
/// after it.
bool shown(const QList<Record> &records, const QStringList &pieces)
{
    for (const Record &r : records)
        for (qsizetype at = r.text.indexOf(pieces.first()); at >= 0;
             at = r.text.indexOf(pieces.first(), at + 1)) {
            const qsizetype line
                = std::upper_bound(r.ends.begin(), r.ends.end(), at) - r.ends.begin();
            if (inOrder(r.text, pieces, at, r.ends.at(std::min(line + 2, r.ends.size() - 1))))
                return true;
        }
    return false;
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
    QStringList unseen;
    const QList<Record> records = shownRecords(unseen);
    for (QString &path : unseen)
        path = QStringLiteral("no record of what a test run was shown: %1").arg(path);
    const QStringList literals = testLiterals(tests);
    const QStringList sections = headings(guide);
    static const QRegularExpression quote(QStringLiteral("\"([^\"]+)\""));
    // Quotes whose message no test makes the program show yet, one a line; a line
    // left after its quote went from the chapter, or once a test shows it, fails too.
    const QStringList waiting = readText(QStringLiteral(VEK7_TEST_DATA_DIR "/quotes_unseen.txt"))
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList quoted;
    bool inList = false;
    for (const QString &line : chapter.split(QLatin1Char('\n'))) {
        // Table rows, list items and their continued lines hold the messages.
        inList = line.startsWith(QLatin1String("- "))
            || (inList && line.startsWith(QLatin1String("  ")));
        if (!inList
            && !(line.startsWith(QLatin1Char('|')) && !line.startsWith(QLatin1String("|-"))))
            continue;
        for (const QRegularExpressionMatch &m : quote.globalMatch(line)) {
            const QString text = m.captured(1).simplified(); // a line break reads as a blank
            QStringList pieces;
            for (const QString &piece : text.split(QChar(0x2026)))
                if (!piece.simplified().isEmpty())
                    pieces << piece.simplified();
            const auto isLong = [](const QString &piece) { return piece.size() >= 10; };
            if (sections.contains(text) || std::none_of(pieces.begin(), pieces.end(), isLong))
                continue;
            quoted << text;
            // The engine's error lines are checked in the engine's own message list, which
            // no window shows: a test literal holding the whole quote stands for them.
            const auto holds
                = [&pieces](const QString &l) { return inOrder(l, pieces, 0, l.size()); };
            const bool seen = shown(records, pieces)
                || (line.startsWith(QLatin1String("| \"#### error :"))
                    && std::any_of(literals.begin(), literals.end(), holds));
            if (seen && waiting.contains(text))
                unseen << QStringLiteral("\"%1\" is shown now: take it off the list").arg(text);
            else if (!seen && !waiting.contains(text))
                unseen << QStringLiteral("\"%1\" is shown by no test").arg(text);
        }
    }
    for (const QString &text : waiting)
        if (!quoted.contains(text))
            unseen << QStringLiteral("\"%1\" is no longer quoted").arg(text);
    // Each on a line of its own: a failure message is cut after a few hundred letters.
    for (const QString &line : unseen)
        qWarning().noquote() << line;
    QVERIFY2(unseen.isEmpty(),
             qPrintable(QStringLiteral("%1 quotes no test sees, listed above").arg(unseen.size())));
}

QTEST_MAIN(tst_docs_quotes)
#include "tst_docs_quotes.moc"
