#include "input_fields.h"

#include "format_fields.h"

#include <QApplication>
#include <QItemEditorFactory>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QToolTip>

namespace {

constexpr char propRefused[] = "vek7_refused"; ///< bool: the field shows a refused text
constexpr char propReason[] = "vek7_refusedReason"; ///< the refusal line of the field
constexpr char propSheet[] = "vek7_sheetBefore"; ///< the style sheet before the mark
constexpr char propTip[] = "vek7_tipBefore"; ///< the tool tip before the mark
constexpr char sheetRefused[] = "background-color: #fd7;";

QString num(double v)
{
    return QString::number(v, 'g', 6);
}

/// Digits after the point of a number's mantissa ("2.5e-3": 1).
qsizetype decimalsOf(const QString &text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0)
        return 0;
    const qsizetype exponent = text.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    return (exponent >= 0 ? exponent : text.size()) - point - 1;
}

/// `text` with its exponent as a user writes it: no plus sign, no leading zeros
/// ("2.5e-04" -> "2.5e-4", "1e+21" -> "1e21").
QString plainExponent(QString text)
{
    static const QRegularExpression exponent(QStringLiteral("[eE]\\+?(-?)0*(\\d)"));
    return text.replace(exponent, QStringLiteral("e\\1\\2"));
}

/// The shortest text that reads back as `v`, plain or with an exponent as Qt
/// chooses, and with an exponent in any case.
QString shortest(double v)
{
    return plainExponent(QString::number(v, 'g', QLocale::FloatingPointShortest));
}
QString shortestWithExponent(double v)
{
    return plainExponent(QString::number(v, 'e', QLocale::FloatingPointShortest));
}

/// True when the user leaves a field for another widget. A field also loses focus
/// while its window is destroyed; nothing is told then.
bool isLeaving(const QEvent *event)
{
    return event->type() == QEvent::FocusOut && QApplication::focusWidget();
}

bool isReturn(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

/// Tells `line` to `tell`, or shows `reason` in a tool tip at `field`.
void tellAt(QWidget *field, const number_field::tell_fn &tell, const QString &line,
            const QString &reason)
{
    if (tell)
        tell(line);
    else if (field->isVisible())
        QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), reason, field);
}

} // namespace

// ---- the rule ----------------------------------------------------------------------

QString number_rule::refusal(const QString &typed, double *value) const
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return emptyAllowed ? QString() : QStringLiteral("enter a number");
    double v = 0.0;
    const QString written = number_text_refusal(text, &v);
    if (!written.isEmpty())
        return written;
    if (value)
        *value = v;
    if (integer
        && (text.contains(QLatin1Char('.')) || text.contains(QLatin1Char('e'), Qt::CaseInsensitive)
            || v != std::floor(v)))
        return QStringLiteral("a whole number only");
    // A value out of range is told so first: no other way of writing it would do.
    const QString note = rangeNote.isEmpty() ? QString() : QStringLiteral(": ") + rangeNote;
    if (aboveLow ? !(v > low) : !(v >= low))
        return (aboveLow ? QStringLiteral("must be greater than ") : QStringLiteral("at least "))
            + num(low) + note;
    if (belowHigh ? !(v < high) : !(v <= high))
        return (belowHigh ? QStringLiteral("must be less than ") : QStringLiteral("at most "))
            + num(high) + note;
    if (decimals >= 0 && decimalsOf(text) > decimals) {
        // Say how to write it: small and large numbers fit with an exponent.
        const QString exact = shortestWithExponent(v);
        if (decimalsOf(exact) <= decimals)
            return QStringLiteral("at most %1 decimals: write it with an exponent, e.g. %2")
                .arg(decimals)
                .arg(exact);
        return QStringLiteral("at most %1 decimals, e.g. %2").arg(decimals).arg(this->text(v));
    }
    return QString();
}

QString number_rule::text(double v) const
{
    const QString exact = shortest(v);
    if (decimals < 0 || decimalsOf(exact) <= decimals)
        return exact;
    const QString withExponent = shortestWithExponent(v);
    if (decimalsOf(withExponent) <= decimals)
        return withExponent;
    // Rounded: plainly to `decimals` decimals, or with an exponent to as many in the
    // mantissa, whichever comes closer to `v`.
    const double plain = QString::number(v, 'f', decimals).toDouble();
    const double scaled = QString::number(v, 'e', decimals).toDouble();
    if (std::abs(plain - v) <= std::abs(scaled - v)) {
        const QString text = shortest(plain);
        if (decimalsOf(text) <= decimals)
            return text;
    }
    const QString text = shortest(scaled);
    return decimalsOf(text) <= decimals ? text : shortestWithExponent(scaled);
}

number_rule number_rule::above(const QString &name, double v, bool inclusive)
{
    number_rule r;
    r.name = name;
    r.low = v;
    r.aboveLow = !inclusive;
    return r;
}

number_rule number_rule::between(const QString &name, double lo, double hi)
{
    number_rule r;
    r.name = name;
    r.low = lo;
    r.high = hi;
    return r;
}

number_rule number_rule::narrowedBy(const number_rule &inner) const
{
    number_rule r = inner;
    if (low > r.low || (low == r.low && aboveLow)) {
        r.low = low;
        r.aboveLow = aboveLow;
    }
    if (high < r.high || (high == r.high && belowHigh)) {
        r.high = high;
        r.belowHigh = belowHigh;
    }
    r.integer = integer || inner.integer;
    r.emptyAllowed = emptyAllowed && inner.emptyAllowed;
    if (decimals >= 0 && (r.decimals < 0 || decimals < r.decimals))
        r.decimals = decimals;
    return r;
}

// ---- numeric line edits --------------------------------------------------------------

number_field::number_field(QLineEdit *e, const number_rule &rule, tell_fn t)
    : QDoubleValidator(e)
    , edit(e)
    , tell(std::move(t))
{
    setLocale(QLocale::c());
    setNotation(QDoubleValidator::ScientificNotation);
    setRule(rule, tell);
}

void number_field::setRule(const number_rule &rule, tell_fn t)
{
    fieldRule = rule;
    tell = std::move(t);
    // Qt's own reading of the range, for whoever asks the validator; 1000 decimals
    // stands for any number of them.
    setBottom(rule.low);
    setTop(rule.high);
    setDecimals(rule.decimals >= 0 ? rule.decimals : 1000);
    lastTold.clear();
    check();
}

number_field *number_field::attach(QLineEdit *edit, const number_rule &rule, tell_fn tell)
{
    auto *field = new number_field(edit, rule, std::move(tell));
    edit->setValidator(field);
    edit->installEventFilter(field);
    connect(edit, &QLineEdit::textChanged, field, &number_field::check);
    // Told after textChanged: the text is judged again as the user's. (A line edit's
    // own modified flag will not do: Return on a refused text writes it anew.)
    connect(edit, &QLineEdit::textEdited, field, [field] {
        field->userTyped = true;
        field->check();
    });
    return field;
}

number_field *number_field::of(const QLineEdit *edit)
{
    return edit ? qobject_cast<number_field *>(const_cast<QValidator *>(edit->validator()))
                : nullptr;
}

bool number_field::isRefused(const QWidget *field)
{
    // The window may set a text with the field's signals blocked: a line edit's
    // text is read again.
    if (const number_field *f = of(qobject_cast<const QLineEdit *>(field)))
        return f->refusedNow();
    return field && field->property(propRefused).toBool();
}

void number_field::setJudgeTypedOnly(bool only)
{
    typedOnly = only;
    check();
}

void number_field::setText(const QString &text, bool typed)
{
    userTyped = typed;
    edit->setText(text);
    check();
}

QString number_field::reasonNow() const
{
    if (!edit->isEnabled() || (typedOnly && !userTyped))
        return QString();
    return fieldRule.refusal(edit->text());
}

QString number_field::refusedIn(const QWidget *root)
{
    for (const QWidget *w : root->findChildren<QWidget *>()) {
        if (!isRefused(w) || !w->isEnabled())
            continue;
        if (const number_field *f = of(qobject_cast<const QLineEdit *>(w)))
            return f->line();
        return w->property(propReason).toString();
    }
    return QString();
}

QString number_field::refusalLine(const number_rule &rule, const QString &text,
                                  const QString &reason)
{
    if (!rule.line.isEmpty())
        return QStringLiteral("##  ") + rule.line.arg(text) + QStringLiteral(" (") + reason
            + QStringLiteral(")");
    return QStringLiteral("##  ") + (rule.name.isEmpty() ? QStringLiteral("value") : rule.name)
        + QStringLiteral(" [ ") + text + QStringLiteral(" ] refused: ") + reason
        + QStringLiteral("; the stored value is kept.");
}

void number_field::mark(QWidget *field, const QString &reason)
{
    // Each time a widget's sheet is replaced Qt resolves its font anew, from the
    // application's font rather than the form's: a field would change size with its
    // mark (or with a window's own sheets) and move what stands beside it. The
    // form's font becomes the field's own before any of its sheets changes.
    if (!field->testAttribute(Qt::WA_SetFont))
        field->setFont(field->font());
    const bool refused = !reason.isEmpty();
    const bool wasRefused = field->property(propRefused).toBool();
    // The window may set its own sheet while the field is marked: it is kept
    // and comes back once the text is accepted.
    if (refused && field->styleSheet() != QLatin1String(sheetRefused)) {
        field->setProperty(propSheet, field->styleSheet());
        field->setStyleSheet(QLatin1String(sheetRefused));
    } else if (!refused && field->styleSheet() == QLatin1String(sheetRefused)) {
        field->setStyleSheet(field->property(propSheet).toString());
    }
    if (refused && !wasRefused)
        field->setProperty(propTip, field->toolTip());
    if (refused)
        field->setToolTip(reason);
    else if (wasRefused)
        field->setToolTip(field->property(propTip).toString());
    field->setProperty(propRefused, refused);
}

QValidator::State number_field::validate(QString &text, int &) const
{
    if (typedOnly && !userTyped && text == edit->text())
        return Acceptable;
    return fieldRule.refusal(text).isEmpty() ? Acceptable : Intermediate;
}

void number_field::check()
{
    // A disabled field holds no entry of the user's: it is never marked.
    const QString reason = reasonNow();
    mark(edit, reason);
    if (reason.isEmpty())
        lastTold.clear();
}

void number_field::tellRefusal()
{
    const QString text = edit->text();
    const QString reason = reasonNow();
    if (reason.isEmpty() || text == lastTold)
        return;
    lastTold = text;
    tellAt(edit, tell, refusalLine(fieldRule, text, reason), reason);
}

QString number_field::line() const
{
    const QString reason = reasonNow();
    return reason.isEmpty() ? QString() : refusalLine(fieldRule, edit->text(), reason);
}

bool number_field::eventFilter(QObject *object, QEvent *event)
{
    if (object == edit && (isReturn(event) || isLeaving(event)))
        tellRefusal();
    else if (object == edit && event->type() == QEvent::EnabledChange)
        check();
    else if (object == edit && event->type() == QEvent::Paint
             && refusedNow() != edit->property(propRefused).toBool())
        QMetaObject::invokeMethod(this, &number_field::check, Qt::QueuedConnection);
    return QValidator::eventFilter(object, event);
}

// ---- numeric cells -------------------------------------------------------------------

number_delegate::number_delegate(QObject *parent, rule_fn rule, number_field::tell_fn t)
    : QStyledItemDelegate(parent)
    , ruleOf(std::move(rule))
    , tell(std::move(t))
{ }

QWidget *number_delegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                       const QModelIndex &index) const
{
    if (!index.isValid())
        return nullptr;
    // A cell without a value yet waits for a number.
    int type = index.data(Qt::EditRole).userType();
    if (type == QMetaType::UnknownType)
        type = QMetaType::Double;
    const QItemEditorFactory *factory
        = itemEditorFactory() ? itemEditorFactory() : QItemEditorFactory::defaultFactory();
    QWidget *editor = factory->createEditor(type, parent);
    if (number_field *field = number_field::of(qobject_cast<QLineEdit *>(editor))) {
        field->setRule(field->rule().narrowedBy(ruleOf ? ruleOf(index) : number_rule()), tell);
        // The editor opens on the stored value: only what the user types is an entry.
        field->setJudgeTypedOnly(true);
        // Told after the field judged the text (it connected first).
        auto *self = const_cast<number_delegate *>(this);
        auto *edit = static_cast<QLineEdit *>(editor);
        connect(edit, &QLineEdit::textEdited, self,
                [self, edit, at = QPersistentModelIndex(index)] { emit self->edited(edit, at); });
    }
    return editor;
}

void number_delegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    if (auto *edit = qobject_cast<QLineEdit *>(editor); number_field::of(edit))
        emit const_cast<number_delegate *>(this)->closing(edit, index);
    editor->setEnabled(false);
    QStyledItemDelegate::destroyEditor(editor, index);
}

void number_delegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *edit = qobject_cast<QLineEdit *>(editor);
    number_field *field = number_field::of(edit);
    if (field && number_field::isRefused(edit))
        return;
    // The stored double in full would often need more decimals than the editor
    // takes: the editor would refuse the program's own number.
    const QVariant value = index.data(Qt::EditRole);
    if (field && value.typeId() == QMetaType::Double) {
        field->setText(field->rule().text(value.toDouble()), false);
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void number_delegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                   const QModelIndex &index) const
{
    const auto *edit = qobject_cast<QLineEdit *>(editor);
    const number_field *field = number_field::of(edit);
    if (!field) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    // Untouched, the editor shows the stored value rounded at most: nothing to write.
    double v = 0.0;
    if (field->typed() && field->rule().refusal(edit->text(), &v).isEmpty())
        model->setData(index, edit->text().trimmed().isEmpty() ? QVariant() : QVariant(v),
                       Qt::EditRole);
}

bool number_delegate::eventFilter(QObject *object, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(object);
    number_field *field = number_field::of(edit);
    if (!field)
        return QStyledItemDelegate::eventFilter(object, event);
    // The view's handling closes the editor or keeps it open without a word:
    // the refusal is told first.
    if (isReturn(event) || isLeaving(event))
        field->tellRefusal();
    // Escape drops the text: the view closes the editor without it, and the field
    // must not tell it either as the editor loses the focus on its way out.
    if (event->type() == QEvent::KeyPress
        && static_cast<const QKeyEvent *>(event)->key() == Qt::Key_Escape)
        edit->removeEventFilter(field);
    // Closed on leaving, a refused text would be gone while the cell shows its old
    // value as if the entry had been taken: it stays open until the user corrects
    // it or drops it with Escape.
    if (event->type() == QEvent::FocusOut && number_field::isRefused(edit))
        return false;
    return QStyledItemDelegate::eventFilter(object, event);
}

// ---- numeric spin boxes ----------------------------------------------------------------

number_spin_box::number_spin_box(QWidget *parent)
    : QDoubleSpinBox(parent)
{
    // A value counts when typed whole, not digit by digit ("150" passes 15).
    setKeyboardTracking(false);
    connect(lineEdit(), &QLineEdit::textChanged, this, &number_spin_box::check);
}

void number_spin_box::check(const QString &text)
{
    const QString reason = unset && text.trimmed().isEmpty() ? QString() : rule().refusal(text);
    number_field::mark(this, reason);
    setProperty(propReason,
                reason.isEmpty() ? QString() : number_field::refusalLine(rule(), text, reason));
    if (reason.isEmpty())
        lastTold.clear();
}

void number_spin_box::setUnset()
{
    unset = true;
    {
        const QSignalBlocker block(this);
        setValue(minimum());
    }
    // The spin box's own clear keeps the text empty when the box is shown or left.
    clear();
    check(QString());
}

bool number_spin_box::isUnset() const
{
    return unset && lineEdit()->text().trimmed().isEmpty();
}

void number_spin_box::setTell(const QString &n, number_field::tell_fn t)
{
    name = n;
    tell = std::move(t);
}

number_rule number_spin_box::rule() const
{
    number_rule r = number_rule::between(name, minimum(), maximum());
    r.decimals = decimals();
    return r;
}

QValidator::State number_spin_box::validate(QString &text, int &) const
{
    return rule().refusal(text).isEmpty() ? QValidator::Acceptable : QValidator::Intermediate;
}

double number_spin_box::valueFromText(const QString &text) const
{
    return QLocale::c().toDouble(text.trimmed());
}

QString number_spin_box::textFromValue(double value) const
{
    return QString::number(value, 'f', decimals());
}

void number_spin_box::finish(const QString &typed, bool wasUnset, double before)
{
    const QString reason = rule().refusal(typed);
    if (reason.isEmpty()) {
        unset = false;
        // A first entry equal to the value the empty box held changes no value,
        // yet it is the user's choice and the window must hear of it.
        if (wasUnset && value() == before)
            emit valueChanged(value());
        return;
    }
    // Passing through an empty box enters nothing: it stays empty and unmarked.
    if (wasUnset && typed.trimmed().isEmpty()) {
        clear();
        return;
    }
    // The box shows its value again on leaving; the refused text stays instead.
    lineEdit()->setText(typed);
    if (typed == lastTold)
        return;
    lastTold = typed;
    tellAt(this, tell, number_field::refusalLine(rule(), typed, reason), reason);
}

void number_spin_box::focusOutEvent(QFocusEvent *event)
{
    const QString typed = lineEdit()->text();
    const bool wasUnset = unset;
    const double before = value();
    QDoubleSpinBox::focusOutEvent(event);
    if (isLeaving(event))
        finish(typed, wasUnset, before);
}

void number_spin_box::keyPressEvent(QKeyEvent *event)
{
    const QString typed = lineEdit()->text();
    const bool wasUnset = unset;
    const double before = value();
    QDoubleSpinBox::keyPressEvent(event);
    if (isReturn(event))
        finish(typed, wasUnset, before);
}

void number_spin_box::stepBy(int steps)
{
    // The first step of an empty box shows its value without changing it: the
    // value shown is then the user's entry.
    const bool wasUnset = isUnset();
    const double before = value();
    QDoubleSpinBox::stepBy(steps);
    unset = false;
    if (wasUnset && value() == before)
        emit valueChanged(value());
}
