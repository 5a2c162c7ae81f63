#include "pdf_outline.h"

#include <QMap>
#include <QRegularExpression>

namespace {

// What the last trailer and cross-reference sections tell about the file.
struct pdf_file_index
{
    qint64 lastXref = -1; // offset of the newest cross-reference section
    int size = 0; // /Size: one more than the highest object number
    int root = 0; // object number of the catalog
    QByteArray info; // "/Info n g R" when present
    QByteArray id; // "/ID [...]" when present
    QMap<int, qint64> offsets; // object number -> byte offset (in-use entries)
};

QByteArray trailerEntry(const QByteArray &trailer, const char *pattern)
{
    const QRegularExpression re(QString::fromLatin1(pattern));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(trailer));
    return m.hasMatch() ? m.captured(0).toLatin1() : QByteArray();
}

// Reads the cross-reference sections from the newest back along /Prev; the
// newest entry of an object wins.
bool readIndex(const QByteArray &pdf, pdf_file_index *index, QString *error)
{
    const int sx = pdf.lastIndexOf("startxref");
    if (sx < 0) {
        *error = QStringLiteral("no startxref");
        return false;
    }
    bool ok = false;
    const QByteArray afterStart = pdf.mid(sx + 9, 32).trimmed();
    index->lastXref = afterStart.left(afterStart.indexOf('\n')).trimmed().toLongLong(&ok);
    if (!ok || index->lastXref <= 0 || index->lastXref >= pdf.size()) {
        *error = QStringLiteral("bad startxref offset");
        return false;
    }
    qint64 xref = index->lastXref;
    bool newest = true;
    for (int guard = 0; xref > 0 && guard < 64; ++guard) {
        if (pdf.mid(xref, 4) != "xref") {
            *error = QStringLiteral("no cross-reference table at the startxref offset "
                                    "(cross-reference streams are not supported)");
            return false;
        }
        const int trailerPos = pdf.indexOf("trailer", xref);
        if (trailerPos < 0) {
            *error = QStringLiteral("no trailer");
            return false;
        }
        const QList<QByteArray> lines = pdf.mid(xref + 4, trailerPos - xref - 4).split('\n');
        int objNum = 0;
        for (QByteArray line : lines) {
            line = line.trimmed();
            if (line.isEmpty())
                continue;
            const QList<QByteArray> f = line.split(' ');
            if (f.size() == 2) {
                objNum = f[0].toInt();
            } else if (f.size() == 3) {
                if (f[2] == "n" && !index->offsets.contains(objNum))
                    index->offsets.insert(objNum, f[0].toLongLong());
                ++objNum;
            }
        }
        const int dictEnd = pdf.indexOf("startxref", trailerPos);
        const QByteArray trailer = pdf.mid(trailerPos, dictEnd - trailerPos);
        if (newest) {
            const QByteArray size = trailerEntry(trailer, "/Size\\s+\\d+");
            const QByteArray root = trailerEntry(trailer, "/Root\\s+\\d+\\s+\\d+\\s+R");
            index->size = size.mid(5).trimmed().toInt();
            index->root = root.mid(5).trimmed().split(' ').value(0).toInt();
            index->info = trailerEntry(trailer, "/Info\\s+\\d+\\s+\\d+\\s+R");
            index->id = trailerEntry(trailer, "/ID\\s*\\[[^\\]]*\\]");
            newest = false;
        }
        const QByteArray prev = trailerEntry(trailer, "/Prev\\s+\\d+");
        xref = prev.isEmpty() ? 0 : prev.mid(5).trimmed().toLongLong();
    }
    if (index->size <= 0 || index->root <= 0) {
        *error = QStringLiteral("trailer without /Size or /Root");
        return false;
    }
    return true;
}

// The text between "n g obj" and "endobj" of object `num`.
QByteArray objectBody(const QByteArray &pdf, const pdf_file_index &index, int num)
{
    const qint64 at = index.offsets.value(num, -1);
    if (at < 0)
        return QByteArray();
    const int start = pdf.indexOf("obj", at);
    const int end = pdf.indexOf("endobj", at);
    if (start < 0 || end < 0 || end < start)
        return QByteArray();
    return pdf.mid(start + 3, end - start - 3).trimmed();
}

// The catalog dictionary's entries without its delimiters and without the
// keys this update replaces.
QByteArray catalogEntries(const QByteArray &catalog)
{
    const int open = catalog.indexOf("<<");
    const int close = catalog.lastIndexOf(">>");
    if (open < 0 || close <= open)
        return QByteArray();
    QString entries = QString::fromLatin1(catalog.mid(open + 2, close - open - 2));
    entries.remove(QRegularExpression(QStringLiteral("/Outlines\\s+\\d+\\s+\\d+\\s+R")));
    entries.remove(QRegularExpression(QStringLiteral("/PageMode\\s*/\\w+")));
    return entries.trimmed().toLatin1();
}

// Object numbers of the pages in order, from the catalog's /Pages node.
QList<int> pageObjects(const QByteArray &pdf, const pdf_file_index &index,
                       const QByteArray &catalog)
{
    QList<int> pages;
    const QRegularExpression pagesRe(QStringLiteral("/Pages\\s+(\\d+)\\s+\\d+\\s+R"));
    const QRegularExpressionMatch m = pagesRe.match(QString::fromLatin1(catalog));
    if (!m.hasMatch())
        return pages;
    const QByteArray node = objectBody(pdf, index, m.captured(1).toInt());
    const int kids = node.indexOf("/Kids");
    const int open = node.indexOf('[', kids);
    const int close = node.indexOf(']', open);
    if (kids < 0 || open < 0 || close < 0)
        return pages;
    const QRegularExpression refRe(QStringLiteral("(\\d+)\\s+\\d+\\s+R"));
    auto it = refRe.globalMatch(QString::fromLatin1(node.mid(open + 1, close - open - 1)));
    while (it.hasNext()) {
        const int num = it.next().captured(1).toInt();
        // A kid that is itself a page tree node is not handled: give up on it.
        if (objectBody(pdf, index, num).contains("/Type /Pages"))
            return QList<int>();
        pages.append(num);
    }
    return pages;
}

// An outline entry with the object number it is written under.
struct numbered_item
{
    int num = 0;
    const pdf_outline_item *item = nullptr;
    QList<numbered_item> children;
};

// Numbers the entries depth-first from `*next`.
QList<numbered_item> numberItems(const QList<pdf_outline_item> &items, int *next)
{
    QList<numbered_item> out;
    for (const pdf_outline_item &item : items) {
        numbered_item n;
        n.num = (*next)++;
        n.item = &item;
        n.children = numberItems(item.children, next);
        out.append(n);
    }
    return out;
}

// Entries below `items`, all levels (every entry is written open).
int countAll(const QList<numbered_item> &items)
{
    int n = 0;
    for (const numbered_item &item : items)
        n += 1 + countAll(item.children);
    return n;
}

QByteArray ref(int num)
{
    return QByteArray::number(num) + " 0 R";
}

// Appends the bodies of `items`, children of object `parent`, to `objects`.
void writeItems(const QList<numbered_item> &items, int parent, const QList<int> &pages,
                QList<QPair<int, QByteArray>> *objects)
{
    for (int i = 0; i < items.size(); ++i) {
        const numbered_item &n = items[i];
        const int page = qBound(0, n.item->page, int(pages.size()) - 1);
        QByteArray body
            = "<< /Title " + pdf_outline::textString(n.item->title) + " /Parent " + ref(parent);
        if (i > 0)
            body += " /Prev " + ref(items[i - 1].num);
        if (i + 1 < items.size())
            body += " /Next " + ref(items[i + 1].num);
        if (!n.children.isEmpty())
            body += " /First " + ref(n.children.first().num) + " /Last "
                + ref(n.children.last().num) + " /Count "
                + QByteArray::number(countAll(n.children));
        body += " /Dest [" + ref(pages[page]) + " /XYZ 0 " + QByteArray::number(n.item->top, 'f', 2)
            + " null] >>";
        objects->append({n.num, body});
        writeItems(n.children, n.num, pages, objects);
    }
}

} // namespace

QByteArray pdf_outline::textString(const QString &text)
{
    QByteArray hex = "<FEFF";
    for (const QChar ch : text)
        hex += QByteArray::number(ch.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex + ">";
}

QByteArray pdf_outline::append(const QByteArray &pdf, const QList<pdf_outline_item> &items,
                               QString *error)
{
    QString localError;
    QString *err = error ? error : &localError;
    if (items.isEmpty()) {
        *err = QStringLiteral("no outline entries");
        return QByteArray();
    }
    pdf_file_index index;
    if (!readIndex(pdf, &index, err))
        return QByteArray();
    const QByteArray catalog = objectBody(pdf, index, index.root);
    const QByteArray entries = catalogEntries(catalog);
    if (entries.isEmpty() || !entries.contains("/Catalog")) {
        *err = QStringLiteral("catalog object not found");
        return QByteArray();
    }
    const QList<int> pages = pageObjects(pdf, index, catalog);
    if (pages.isEmpty()) {
        *err = QStringLiteral("page tree not understood");
        return QByteArray();
    }

    // New objects: the catalog, the outline root, then the entries depth-first.
    const int catalogNum = index.size;
    const int outlinesNum = index.size + 1;
    int next = index.size + 2;
    const QList<numbered_item> tree = numberItems(items, &next);
    QList<QPair<int, QByteArray>> objects;
    objects.append(
        {catalogNum,
         "<< " + entries + " /Outlines " + ref(outlinesNum) + " /PageMode /UseOutlines >>"});
    objects.append({outlinesNum,
                    "<< /Type /Outlines /First " + ref(tree.first().num) + " /Last "
                        + ref(tree.last().num) + " /Count " + QByteArray::number(countAll(tree))
                        + " >>"});
    writeItems(tree, outlinesNum, pages, &objects);

    QByteArray out = pdf;
    if (!out.endsWith('\n'))
        out += '\n';
    QMap<int, qint64> offsets;
    for (const auto &obj : objects) {
        offsets.insert(obj.first, out.size());
        out += QByteArray::number(obj.first) + " 0 obj\n" + obj.second + "\nendobj\n";
    }
    const qint64 xref = out.size();
    out += "xref\n" + QByteArray::number(catalogNum) + ' ' + QByteArray::number(offsets.size())
        + '\n';
    for (auto it = offsets.cbegin(); it != offsets.cend(); ++it)
        out += QByteArray::number(it.value()).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<< /Size " + QByteArray::number(next) + " /Root "
        + QByteArray::number(catalogNum) + " 0 R";
    if (!index.info.isEmpty())
        out += ' ' + index.info;
    if (!index.id.isEmpty())
        out += ' ' + index.id;
    out += " /Prev " + QByteArray::number(index.lastXref) + " >>\nstartxref\n"
        + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}
