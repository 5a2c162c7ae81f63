#include "SearchResultDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QPdfSearchModel>

SearchResultDelegate::SearchResultDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{ }

QString SearchResultDelegate::oneLine(const QString &context)
{
    // The contexts mark line ends with a return symbol (U+23CE) and may hold
    // control marks (0x02 where a word was hyphenated); on one line they read as blanks.
    QString out;
    out.reserve(context.size());
    for (const QChar ch : context) {
        const QChar c = ch == QChar(0x02) ? QChar(u'-')
            : (ch.isSpace() || ch == QChar(0x23CE) || ch.category() == QChar::Other_Control
               || ch.category() == QChar::Other_Format)
            ? QChar(u' ')
            : ch;
        if (c == u' ' && out.endsWith(u' '))
            continue;
        out.append(c);
    }
    return out;
}

QStringList SearchResultDelegate::parts(const QModelIndex &index)
{
    const auto *model = qobject_cast<const QPdfSearchModel *>(index.model());
    const QString hit = model ? model->searchString() : QString();
    const QString before
        = oneLine(index.data(int(QPdfSearchModel::Role::ContextBefore)).toString());
    const QString after = oneLine(index.data(int(QPdfSearchModel::Role::ContextAfter)).toString());
    return {before, hit, after};
}

void SearchResultDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear(); // the background and focus only: the text is drawn below
    const QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const QStringList p = parts(index);
    QFont boldFont = opt.font;
    boldFont.setBold(true);
    const QFontMetrics plain(opt.font);
    const QFontMetrics bold(boldFont);
    const QRect r = opt.rect.adjusted(4, 0, -4, 0);
    const int hitWidth = qMin(bold.horizontalAdvance(p[1]), r.width());
    const int side = qMax(0, (r.width() - hitWidth) / 2);
    // Give the after-context what the before-context leaves unused.
    const QString before = plain.elidedText(p[0], Qt::ElideLeft, side);
    const int beforeWidth = plain.horizontalAdvance(before);
    const QString after
        = plain.elidedText(p[2], Qt::ElideRight, qMax(0, r.width() - beforeWidth - hitWidth));

    painter->save();
    painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                         : QPalette::Text));
    int x = r.left();
    painter->setFont(opt.font);
    painter->drawText(QRect(x, r.top(), beforeWidth, r.height()), Qt::AlignVCenter, before);
    x += beforeWidth;
    painter->setFont(boldFont);
    painter->drawText(QRect(x, r.top(), hitWidth, r.height()), Qt::AlignVCenter,
                      bold.elidedText(p[1], Qt::ElideRight, hitWidth));
    x += hitWidth;
    painter->setFont(opt.font);
    painter->drawText(QRect(x, r.top(), r.right() - x, r.height()), Qt::AlignVCenter, after);
    painter->restore();
}

QSize SearchResultDelegate::sizeHint(const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const
{
    Q_UNUSED(index)
    return QSize(option.rect.width(), option.fontMetrics.height() + 8);
}
