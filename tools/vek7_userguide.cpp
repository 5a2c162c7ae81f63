// Build-time maker of the user guide:
//   vek7_userguide <chapter folder> <output pdf> [<pictures index>]
// Joins the folder's Markdown chapters (*.md, in file-name order), lays them out on
// A4 pages and writes a PDF whose outline lists every chapter ("#" heading) with its
// sections ("##" headings), each bookmark opening the page that holds its heading.
// The pictures index (written by vek7_screens beside its pictures) names one
// picture a line: file name, chapter file and caption, tab-separated; each picture
// is placed with its caption after its chapter's opening text, before the first
// section, in the order of the index.
#include "pdf_outline.h"

#include "global.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMap>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

#include <algorithm>
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

/// One picture of the guide, as its index lists it.
struct picture
{
    QString file; ///< full path of the PNG file
    QString caption; ///< text shown under it
};

/// The pictures of each chapter file, read from the index `path`; false with
/// `error` set when a line is malformed or a picture is missing.
bool readPictures(const QString &path, QMap<QString, QList<picture>> *pictures, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the pictures index %1").arg(path);
        return false;
    }
    const QDir folder = QFileInfo(path).absoluteDir();
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QStringList fields = line.split('\t');
        if (fields.size() != 3) {
            *error = QStringLiteral("malformed line in %1: %2").arg(path, line);
            return false;
        }
        const QString file = folder.filePath(fields.at(0) + QStringLiteral(".png"));
        if (!QFileInfo::exists(file)) {
            *error = QStringLiteral("picture %1 is missing").arg(file);
            return false;
        }
        (*pictures)[fields.at(1)].append({file, fields.at(2)});
    }
    return true;
}

/// `chapter` with its pictures' Markdown after the opening text (before the first
/// "##" section, or at its end).
QString withPictures(const QString &chapter, const QList<picture> &pictures)
{
    QString md;
    for (const picture &p : pictures)
        md += QStringLiteral("![%1](%2)\n\n*%1*\n\n")
                  .arg(p.caption, QUrl::fromLocalFile(p.file).toString());
    static const QRegularExpression section(QStringLiteral("^## "),
                                            QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = section.match(chapter);
    if (!m.hasMatch())
        return chapter + QStringLiteral("\n\n") + md;
    QString text = chapter;
    return text.insert(m.capturedStart(), md);
}

// The chapters joined, preceded by the title lines; each with its pictures.
QString readChapters(const QString &folder, QStringList *files,
                     QMap<QString, QList<picture>> pictures)
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
        text += withPictures(QString::fromUtf8(f.readAll()), pictures.take(name))
            + QStringLiteral("\n\n");
    }
    // A picture meant for a chapter that is not there would vanish unseen.
    if (!pictures.isEmpty()) {
        std::fprintf(stderr, "vek7_userguide: no chapter %s for its pictures\n",
                     qPrintable(pictures.firstKey()));
        return QString();
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

// A heading left at the foot of a page, apart from the text it heads, starts the
// next page instead. A format change lays out only part of the document again, so
// after each move the whole is laid out anew before the next heading is looked at.
void keepHeadingsWithText(QTextDocument *doc, double pageHeight)
{
    const auto pageOf = [pageHeight](double y) { return int(std::floor(y / pageHeight)); };
    const auto apart = [&](const QTextBlock &b) {
        QAbstractTextDocumentLayout *layout = doc->documentLayout();
        const QRectF heading = layout->blockBoundingRect(b);
        const QRectF next = layout->blockBoundingRect(b.next());
        const QTextLayout *lines = b.next().layout();
        const double firstLine
            = lines && lines->lineCount() > 0 ? lines->lineAt(0).height() : next.height();
        const int page = pageOf(heading.top() + 1);
        return page != pageOf(heading.bottom() - 1) || page != pageOf(next.top() + firstLine - 1);
    };
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() < 2 || !b.next().isValid() || !apart(b))
            continue;
        QTextCursor c(b);
        QTextBlockFormat f;
        f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        c.mergeBlockFormat(f);
        doc->markContentsDirty(0, doc->characterCount());
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

/// Loads every picture of the document and sizes it for the page: its pixels at
/// 120 per inch, no wider than `width` nor taller than `height` (device units).
bool sizePictures(QTextDocument *doc, double width, double height)
{
    QList<QPair<int, QTextImageFormat>> images; // position in the document, format
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                images.append(
                    {it.fragment().position(), it.fragment().charFormat().toImageFormat()});
    for (auto &[position, image] : images) {
        const QUrl url(image.name());
        const QImage picture(url.toLocalFile());
        if (picture.isNull()) {
            std::fprintf(stderr, "vek7_userguide: cannot read picture %s\n",
                         qPrintable(url.toLocalFile()));
            return false;
        }
        doc->addResource(QTextDocument::ImageResource, url, picture);
        // The layout measures images in pixels of 96 per inch, scaled to the device.
        const double toPx = 96.0 / resolution;
        const double w = picture.width() * 96.0 / 120.0;
        const double h = picture.height() * 96.0 / 120.0;
        const double scale = std::min({1.0, width * toPx / w, height * toPx / h});
        image.setWidth(w * scale);
        image.setHeight(h * scale);
        QTextCursor c(doc);
        c.setPosition(position);
        c.setPosition(position + 1, QTextCursor::KeepAnchor);
        c.setCharFormat(image);
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 4) {
        std::fprintf(stderr,
                     "usage: vek7_userguide <chapter folder> <output pdf> [<pictures index>]\n");
        return 2;
    }
    QMap<QString, QList<picture>> pictures;
    QString error;
    if (args.size() == 4 && !readPictures(args[3], &pictures, &error))
        return fail(error);
    QStringList files;
    const QString text = readChapters(args[1], &files, pictures);
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
    if (!sizePictures(&doc, width, pageHeight * 0.6))
        return fail(QStringLiteral("a picture could not be placed"));
    doc.setPageSize(QSizeF(width, pageHeight));
    keepHeadingsWithText(&doc, pageHeight);
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
