// Build-time maker of the user guide: vek7_userguide <chapter folder> <output pdf>.
// Joins the folder's Markdown chapters (*.md, in file-name order), lays them out on
// A4 pages and writes a PDF whose outline lists every chapter ("#" heading) with its
// sections ("##" headings), each bookmark opening the page that holds its heading.
#include "pdf_outline.h"

#include "global.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>
#include <cstdio>

namespace {

constexpr int resolution = 300; // dots per inch of the layout and the PDF device
constexpr double footerMm = 8; // band at the bottom of each page for the page number

int fail(const QString &message)
{
    std::fprintf(stderr, "vek7_userguide: %s\n", qPrintable(message));
    return 1;
}

// The chapters joined, preceded by the title lines.
QString readChapters(const QString &folder, QStringList *files)
{
    const QDir dir(folder);
    *files = dir.entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name);
    const global g;
    QString text = QStringLiteral("vek7 User Guide\n\nProgram %1, reference database %2, "
                                  "configuration files %3\n\n")
                       .arg(g.version_simulator(), g.version_database(), g.default_format_jsdb());
    for (const QString &name : *files) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        text += QString::fromUtf8(f.readAll()) + QStringLiteral("\n\n");
    }
    return text;
}

// Title on its own page; each chapter starts a new page.
void shapeDocument(QTextDocument *doc)
{
    QTextCursor title(doc->firstBlock());
    title.select(QTextCursor::BlockUnderCursor);
    QTextCharFormat big;
    big.setFontPointSize(28);
    big.setFontWeight(QFont::Bold);
    title.mergeCharFormat(big);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setTopMargin(200 * resolution / 72.0);
    title.mergeBlockFormat(centred);
    QTextCursor sub(doc->firstBlock().next());
    QTextBlockFormat subFormat;
    subFormat.setAlignment(Qt::AlignHCenter);
    sub.mergeBlockFormat(subFormat);

    const double pt = resolution / 72.0; // device units per point
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next()) {
        const int level = b.blockFormat().headingLevel();
        if (level < 1)
            continue;
        QTextCursor c(b);
        QTextBlockFormat f;
        if (level == 1)
            f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        else
            f.setTopMargin(10 * pt);
        f.setBottomMargin(4 * pt);
        c.mergeBlockFormat(f);
    }
}

// Bookmarks of the "#" and "##" headings with the page each was laid out on.
QList<pdf_outline_item> outlineOf(QTextDocument *doc, double pageHeight, double pageHeightPt,
                                  double marginTopPt)
{
    QList<pdf_outline_item> chapters;
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next()) {
        const int level = b.blockFormat().headingLevel();
        if (level != 1 && level != 2)
            continue;
        const double top = layout->blockBoundingRect(b).top();
        pdf_outline_item item;
        item.title = b.text().trimmed();
        item.page = int(std::floor((top + 1) / pageHeight));
        const double inPagePt = (top - item.page * pageHeight) * 72.0 / resolution;
        item.top = pageHeightPt - marginTopPt - inPagePt + 6;
        if (level == 1 || chapters.isEmpty())
            chapters.append(item);
        else
            chapters.last().children.append(item);
    }
    return chapters;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: vek7_userguide <chapter folder> <output pdf>\n");
        return 2;
    }
    QStringList files;
    const QString text = readChapters(args[1], &files);
    if (files.isEmpty())
        return fail(QStringLiteral("no Markdown chapters in %1").arg(args[1]));
    if (text.isEmpty())
        return fail(QStringLiteral("a chapter in %1 could not be read").arg(args[1]));

    const QString tmpPath = args[2] + QStringLiteral(".part");
    QPdfWriter writer(tmpPath);
    writer.setResolution(resolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 18, 20, 14), QPageLayout::Millimeter);
    writer.setTitle(QStringLiteral("vek7 User Guide"));
    writer.setCreator(QStringLiteral("vek7_userguide"));

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    doc.setDocumentMargin(0);
    doc.setMarkdown(text);
    shapeDocument(&doc);

    const double width = writer.width();
    const double footer = footerMm / 25.4 * resolution;
    const double pageHeight = writer.height() - footer;
    doc.setPageSize(QSizeF(width, pageHeight));
    const int pages = doc.pageCount();

    QPainter painter;
    if (!painter.begin(&writer))
        return fail(QStringLiteral("cannot write %1").arg(tmpPath));
    QFont footerFont(QStringLiteral("DejaVu Sans"), 8);
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -p * pageHeight);
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = QRectF(0, p * pageHeight, width, pageHeight);
        painter.setClipRect(ctx.clip);
        doc.documentLayout()->draw(&painter, ctx);
        painter.restore();
        if (p > 0) {
            painter.setFont(footerFont);
            painter.setPen(Qt::darkGray);
            painter.drawText(QRectF(0, pageHeight, width, footer), Qt::AlignCenter,
                             QString::number(p + 1));
        }
    }
    painter.end();

    QFile part(tmpPath);
    if (!part.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read back %1").arg(tmpPath));
    const QByteArray pdf = part.readAll();
    part.close();
    part.remove();

    const QPageLayout pl = writer.pageLayout();
    const QList<pdf_outline_item> outline
        = outlineOf(&doc, pageHeight, pl.fullRect(QPageLayout::Point).height(),
                    pl.margins(QPageLayout::Point).top());
    QString error;
    const QByteArray withOutline = pdf_outline::append(pdf, outline, &error);
    if (withOutline.isEmpty())
        return fail(QStringLiteral("outline not added: %1").arg(error));

    QSaveFile out(args[2]);
    if (!out.open(QIODevice::WriteOnly) || out.write(withOutline) != withOutline.size()
        || !out.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(args[2], out.errorString()));
    int sections = 0;
    for (const pdf_outline_item &c : outline)
        sections += c.children.size();
    std::printf("vek7_userguide: wrote %s: %d pages, %d chapters, %d sections\n",
                qPrintable(args[2]), pages, int(outline.size()), sections);
    return 0;
}
