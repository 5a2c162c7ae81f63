#include "test_press.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSpontaneKeyEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>

void pressIndicator(QAbstractButton *button)
{
    if (!button) {
        qWarning("pressIndicator: no button");
        return;
    }
    QStyleOptionButton opt;
    opt.initFrom(button);
    opt.text = button->text();
    opt.icon = button->icon();
    opt.iconSize = button->iconSize();
    opt.state |= button->isChecked() ? QStyle::State_On : QStyle::State_Off;
    const bool radio = qobject_cast<QRadioButton *>(button) != nullptr;
    const QRect box = button->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &opt, button);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, box.center());
}

void pressItemCheck(QAbstractItemView *view, const QModelIndex &index)
{
    view->scrollTo(index);
    QStyleOptionViewItem opt;
    opt.initFrom(view->viewport());
    opt.rect = view->visualRect(index);
    opt.features = QStyleOptionViewItem::HasCheckIndicator;
    opt.checkState = Qt::CheckState(index.data(Qt::CheckStateRole).toInt());
    opt.text = index.data(Qt::DisplayRole).toString();
    if (!opt.text.isEmpty())
        opt.features |= QStyleOptionViewItem::HasDisplay;
    const QRect check
        = view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, view);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, check.center());
}

namespace {

QModelIndex treeIndex(const QTreeWidget *tree, QTreeWidgetItem *item, int column)
{
    if (QTreeWidgetItem *parent = item->parent())
        return tree->model()->index(parent->indexOfChild(item), column, treeIndex(tree, parent, 0));
    return tree->model()->index(tree->indexOfTopLevelItem(item), column);
}

} // namespace

void pressItemCheck(QTreeWidget *tree, QTreeWidgetItem *item, int column)
{
    pressItemCheck(tree, treeIndex(tree, item, column));
}

void turnWheel(QWidget *box, QWidget *under)
{
    auto *combo = qobject_cast<QComboBox *>(box);
    const int delta = combo && combo->currentIndex() < combo->count() / 2 ? -120 : 120;
    const QPointF at = box->mapToGlobal(QPointF(box->width() / 2.0, box->height() / 2.0));
    QWidget *to = under ? under : box;
    for (int i = 0; i < 3; ++i) {
        QWheelEvent wheel(to->mapFromGlobal(at), at, QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&wheel); // sendEvent would clear it
        qApp->notify(to, &wheel);
    }
}
