#include "PreciseDoubleFactory.h"

#include <QDoubleValidator>
#include <QLineEdit>
#include <QLocale>

#include <limits>

QWidget *PreciseDoubleFactory::createEditor(int userType, QWidget *parent) const
{
    if (userType != QMetaType::Double)
        return QItemEditorFactory::createEditor(userType, parent);

    auto *edit = new QLineEdit(parent);
    const double big = std::numeric_limits<double>::max();
    auto *validator = new QDoubleValidator(-big, big, 8, edit);
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    validator->setLocale(c);
    validator->setNotation(QDoubleValidator::ScientificNotation);
    edit->setValidator(validator);
    edit->setFrame(false);
    edit->setAlignment(Qt::AlignCenter);
    return edit;
}
