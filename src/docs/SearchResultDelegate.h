#pragma once

#include <QStyledItemDelegate>

/// Draws one hit of the PDF search list on one line: the text before the hit,
/// the hit in bold, the text after it, the outer parts shortened to fit.
class SearchResultDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    /// A delegate for a list showing a QPdfSearchModel.
    explicit SearchResultDelegate(QObject *parent = nullptr);

    /// Paints the row of `index` as context, bold hit, context.
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    /// One text line with some room above and below.
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    /// The three parts of a row: context before, hit, context after, each on
    /// one line with the blanks next to the hit kept.
    static QStringList parts(const QModelIndex &index);
    /// `context` with line breaks and control marks turned into single blanks.
    static QString oneLine(const QString &context);
};
