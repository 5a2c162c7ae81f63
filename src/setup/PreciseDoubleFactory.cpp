#include "PreciseDoubleFactory.h"

#include "input_fields.h"

#include <QLineEdit>

#include <limits>

QWidget *PreciseDoubleFactory::createEditor(int userType, QWidget *parent) const
{
    if (userType != QMetaType::Double)
        return QItemEditorFactory::createEditor(userType, parent);
    auto *edit = new QLineEdit(parent);
    // Every finite double, written with a point and an optional exponent; the
    // delegate puts the cell's own rule (an amount above 0, a pH) on top.
    const double largest = std::numeric_limits<double>::max();
    number_rule rule = number_rule::between(QStringLiteral("value"), -largest, largest);
    rule.decimals = decimals;
    number_field::attach(edit, rule);
    edit->setFrame(false);
    edit->setAlignment(Qt::AlignCenter);
    return edit;
}
