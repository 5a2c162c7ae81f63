#pragma once

#include <QItemEditorFactory>

/// Item-editor factory for cells holding a double: a frameless, centred line edit
/// that takes the whole finite range of a double in plain or scientific notation,
/// instead of the spin box Qt offers by default. Other types get Qt's editors.
///
/// The validator reads the C locale and refuses group separators, so "0,5" is
/// never taken for a number and "nan", "inf" or "1e309" are never accepted.
class PreciseDoubleFactory : public QItemEditorFactory
{
public:
    /// A validated line edit for `userType` QMetaType::Double, else the base's editor.
    QWidget *createEditor(int userType, QWidget *parent) const override;
};
