#pragma once

#include <QItemEditorFactory>

/// Editors of the composition tables' cells. A double (an amount, a pH) is edited
/// in a plain line edit that reads the whole range of a double in scientific
/// notation, keeps every keystroke and says why it refuses a text, instead of a
/// spin box whose range and decimals would cut small amounts such as 1e-30 off.
/// Other values get Qt's default editors. The workspace holds one factory for its
/// whole life; the tables' delegates hold its address.
class PreciseDoubleFactory : public QItemEditorFactory
{
public:
    /// Decimals a mantissa may have: more than a concentration is known to.
    static constexpr int decimals = 8;

    /// A frameless, centred numeric line edit for QMetaType::Double; the base
    /// factory's editor for any other type. The view owns what is returned.
    QWidget *createEditor(int userType, QWidget *parent) const override;
};
