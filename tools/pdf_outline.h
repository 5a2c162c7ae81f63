#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

/// One entry of a PDF outline (a bookmark): its title, the 0-based page it
/// opens, where on that page (PDF points from the page's bottom edge) and the
/// entries nested under it.
struct pdf_outline_item
{
    QString title; ///< text shown in the bookmark list
    int page = 0; ///< 0-based page index
    double top = 0; ///< height of the target line above the page's bottom edge, points
    QList<pdf_outline_item> children; ///< nested entries, in reading order
};

/// Adds an outline to a finished PDF file as an incremental update: the
/// original bytes stay as they are, and new objects (the outline tree and a
/// new catalog that points at it), a new cross-reference section and a
/// trailer with /Prev are appended. Works on files with a classic
/// cross-reference table and a single page tree node, as QPdfWriter writes.
class pdf_outline
{
public:
    /// Returns `pdf` with `items` appended as its outline, or an empty array
    /// and a reason in `error` when the file cannot be understood.
    static QByteArray append(const QByteArray &pdf, const QList<pdf_outline_item> &items,
                             QString *error);

    /// `text` as a PDF text string: UTF-16BE with byte-order mark, in hex.
    static QByteArray textString(const QString &text);
};
