#include "test_layout.h"

#include <QApplication>
#include <QTabWidget>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSet>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>

namespace {

void settle()
{
    // Pages brought to the top are laid out by posted events.
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

/// Visits every combination reached by walking the tab widgets one after the other:
/// each tab widget's pages in turn while the others stay where they are.
void walkTabs(const QList<QTabWidget *> &tabs, const std::function<void()> &visit)
{
    visit();
    for (QTabWidget *t : tabs) {
        const int current = t->currentIndex();
        for (int i = 0; i < t->count(); ++i) {
            if (i == current || !t->isTabEnabled(i))
                continue;
            t->setCurrentIndex(i);
            settle();
            visit();
        }
        t->setCurrentIndex(current);
        settle();
    }
}

QString nameOf(const QWidget *w)
{
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

bool hasText(const QWidget *w)
{
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return !label->text().isEmpty() && !label->wordWrap();
    if (const auto *button = qobject_cast<const QAbstractButton *>(w))
        return !button->text().isEmpty() && !qobject_cast<const QToolButton *>(w);
    return false;
}

bool isControl(const QWidget *w)
{
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w)
        || qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
        || qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QTextEdit *>(w);
}

/// Part of `w` the user sees: its rectangle clipped by every parent up to its window.
QRect seenPart(const QWidget *w)
{
    QRect r = w->rect();
    QPoint offset;
    for (const QWidget *p = w; p && !p->isWindow(); p = p->parentWidget()) {
        offset += p->pos();
        r = r.intersected(p->parentWidget()->rect().translated(-offset));
    }
    return r;
}

/// Cell texts of `table` wider than their columns; a cell holding a widget is a control.
QStringList cutCells(const QTableView *table)
{
    struct Cells : QTableView
    {
        using QTableView::initViewItemOption;
    };
    QStyleOptionViewItem option; // as the table paints its cells
    (table->*&Cells::initViewItemOption)(&option);
    const QAbstractItemModel *m = table->model();
    QStringList cut;
    for (int r = 0; m && r < m->rowCount(); ++r)
        for (int c = 0; c < m->columnCount(); ++c) {
            const QModelIndex i = m->index(r, c);
            if (!i.data().toString().isEmpty() && !table->isColumnHidden(c)
                && !table->indexWidget(i)
                && table->itemDelegateForIndex(i)->sizeHint(option, i).width() + table->showGrid()
                    > table->columnWidth(c))
                cut << i.data().toString();
        }
    return cut;
}

} // namespace

void forEachTabPage(QWidget *root, const std::function<void()> &visit)
{
    settle();
    walkTabs(root->findChildren<QTabWidget *>(), visit);
}

QStringList cutOffTexts(QWidget *root)
{
    QStringList cut;
    QSet<const QWidget *> seen;
    forEachTabPage(root, [&] {
        for (const QWidget *w : root->findChildren<QWidget *>()) {
            if (!w->isVisibleTo(root) || seen.contains(w))
                continue;
            if (const auto *rows = qobject_cast<const QHeaderView *>(w);
                rows && rows->orientation() == Qt::Vertical && rows->count() > 0) {
                // Row numbers: the header's own hint is the width its longest one needs.
                seen.insert(w);
                if (rows->sizeHint().width() > rows->width())
                    cut << QStringLiteral("%1 row numbers (%2 > %3)")
                               .arg(nameOf(rows->parentWidget()))
                               .arg(rows->sizeHint().width())
                               .arg(rows->width());
                continue;
            }
            if (const auto *titles = qobject_cast<const QHeaderView *>(w);
                titles && titles->orientation() == Qt::Horizontal) {
                seen.insert(w); // column titles: each whole in its section
                for (int i = 0; i < titles->count(); ++i) {
                    const QString title = titles->model()->headerData(i, Qt::Horizontal).toString();
                    if (!titles->isSectionHidden(i) && !title.trimmed().isEmpty()
                        && titles->sectionSizeHint(i) > titles->sectionSize(i))
                        cut << nameOf(titles->parentWidget()) + QStringLiteral(" title ") + title;
                }
                continue;
            }
            if (const auto *table = qobject_cast<const QTableView *>(w)) {
                seen.insert(w); // cell texts: each whole in its column
                for (const QString &text : cutCells(table))
                    cut << nameOf(w) + QStringLiteral(" cell ") + text;
                continue;
            }
            if (const auto *list = qobject_cast<const QComboBox *>(w)) {
                seen.insert(w); // items: one that opens a bracket it never closes reads cut short
                for (int i = 0; i < list->count(); ++i)
                    if (list->itemText(i).count('(') > list->itemText(i).count(')'))
                        cut << nameOf(w) + QStringLiteral(" item ") + list->itemText(i);
                continue;
            }
            if (!hasText(w))
                continue;
            seen.insert(w);
            const QSize need = w->sizeHint();
            if (need.width() > w->width() || need.height() > w->height())
                cut << QStringLiteral("%1 (%2x%3 > %4x%5)")
                           .arg(nameOf(w))
                           .arg(need.width())
                           .arg(need.height())
                           .arg(w->width())
                           .arg(w->height());
        }
    });
    return cut;
}

QStringList unreachableControls(QWidget *root)
{
    QStringList lost;
    QSet<const QWidget *> seen;
    forEachTabPage(root, [&] {
        for (QWidget *w : root->findChildren<QWidget *>()) {
            if (!isControl(w) || !w->isVisibleTo(root) || seen.contains(w) || w->window() != root)
                continue;
            seen.insert(w);
            // As a user would: scroll each enclosing area to it, innermost first.
            for (QWidget *p = w->parentWidget(); p; p = p->parentWidget())
                if (auto *area = qobject_cast<QScrollArea *>(p))
                    area->ensureWidgetVisible(w, 0, 0);
            settle();
            const QRect part = seenPart(w);
            const QSize least(qMin(w->width(), 12), qMin(w->height(), 12));
            if (part.width() < least.width() || part.height() < least.height())
                lost << nameOf(w);
        }
    });
    return lost;
}
