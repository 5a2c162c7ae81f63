#pragma once

// Numeric input fields as every window uses them: they keep what was typed and say
// why they refuse it.

#include <QDoubleSpinBox>
#include <QDoubleValidator>
#include <QStyledItemDelegate>

#include <cmath>
#include <functional>

class QLineEdit;

/// What a numeric field accepts. Numbers are read with a point as decimal separator
/// and an optional exponent ("1.5", "-2.5e3"), never with group separators.
struct number_rule
{
    QString name; ///< what the field holds, as a refusal line names it
    double low = -HUGE_VAL; ///< smallest value accepted
    double high = HUGE_VAL; ///< largest value accepted
    bool aboveLow = false; ///< true: `low` itself is refused
    bool belowHigh = false; ///< true: `high` itself is refused
    bool integer = false; ///< whole numbers only
    bool emptyAllowed = false; ///< an empty field is accepted (it stands for "none")
    int decimals = -1; ///< most digits after the point; -1 for any number
    /// What the range stands for, told after a value out of it ("at most 100: <note>").
    QString rangeNote;
    /// The window's own refusal line, "%1" the text typed; told as "##  <line> (<reason>)".
    /// Empty: "##  <name> [ text ] refused: <reason>; ...".
    QString line;

    /// Why `text` is refused, in a few words ("at most 100"); empty when accepted.
    /// `value` gets the number read when there is one.
    QString refusal(const QString &text, double *value = nullptr) const;
    /// The shortest text of `v` whose decimals this rule accepts: `v` as it is when
    /// it can be written so, with an exponent where the plain form needs more
    /// decimals ("2.01395098e-4"), else rounded to the decimals the rule allows.
    QString text(double v) const;
    /// A value greater than `v` (or at least `v` when `inclusive`), finite.
    static number_rule above(const QString &name, double v, bool inclusive = false);
    /// A finite value from `lo` to `hi`, both included.
    static number_rule between(const QString &name, double lo, double hi);
    /// The values both this rule and `inner` accept, named and told as `inner`.
    number_rule narrowedBy(const number_rule &inner) const;
};

/// The validator and marker of one numeric line edit. It keeps every keystroke:
/// a text the rule refuses is kept as typed, shown amber with the reason as its
/// tool tip, and never reaches the window (the line edit's editingFinished and
/// returnPressed wait for an accepted text), so the stored value stays. When the
/// user leaves the field or presses Return on a refused text, the reason is told:
/// to the window's `tell` (its message pane), or in a tool tip at the field.
/// As a double validator it holds the rule's range and decimals, in scientific
/// notation; what it accepts is the rule's to say.
class number_field : public QDoubleValidator
{
    Q_OBJECT

public:
    /// Receives a refusal line such as "temperature [ 1,5 ] refused: ...".
    using tell_fn = std::function<void(const QString &line)>;

    /// Gives `edit` the numeric behaviour of `rule`; the field owns it.
    static number_field *attach(QLineEdit *edit, const number_rule &rule, tell_fn tell = {});
    /// The numeric behaviour of `edit`, or null.
    static number_field *of(const QLineEdit *edit);
    /// True when `field` (a line edit or spin box) shows a refused text.
    static bool isRefused(const QWidget *field);
    /// The refusal line of the first refused field under `root`; empty when none.
    static QString refusedIn(const QWidget *root);
    /// Marks `field` as refused for `reason` (amber, tool tip) or clears the mark.
    static void mark(QWidget *field, const QString &reason);
    /// The line that tells why `text` was refused under `rule`.
    static QString refusalLine(const number_rule &rule, const QString &text, const QString &reason);

    QValidator::State validate(QString &text, int &pos) const override;
    void fixup(QString &) const override { }
    const number_rule &rule() const { return fieldRule; }
    /// Replaces the rule (and where refusals are told), marking the text anew.
    void setRule(const number_rule &rule, tell_fn tell);
    /// True: a text the program wrote and the user has not changed since is no
    /// entry of the user's, so it is never refused (a cell's editor opening on the
    /// stored value). False (the default): every text is judged.
    void setJudgeTypedOnly(bool typedOnly);
    /// Writes `text` into the field as the program's, or as the user's entry when
    /// `typed` (an entry the program brings back).
    void setText(const QString &text, bool typed);
    /// True when the user has changed the text since the program last wrote it.
    bool typed() const { return userTyped; }
    /// Takes `text` as the refused text told last, so that a field that takes over
    /// from another (an editor the program opens again) does not tell it twice.
    void setTold(const QString &text) { lastTold = text; }
    /// Tells why the field's text is refused, once per text; nothing when accepted.
    void tellRefusal();
    /// The line that tells why the field's text is refused now; empty when it is not.
    QString line() const;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    number_field(QLineEdit *edit, const number_rule &rule, tell_fn tell);
    void check();
    /// The reason the field's text is refused now; empty when it is accepted, when
    /// the field is disabled, or when the user has not touched a text judged so.
    QString reasonNow() const;
    /// True when the field is enabled and its text refused.
    bool refusedNow() const { return !reasonNow().isEmpty(); }

    QLineEdit *edit; ///< link: the field (owner)
    number_rule fieldRule; ///< what the field accepts
    tell_fn tell; ///< where refusals are told; empty: a tool tip at the field
    QString lastTold; ///< the refused text told last
    bool typedOnly = false; ///< only a text the user changed can be refused
    bool userTyped = false; ///< the user changed the text since the program wrote it
};

/// Cell delegate for numbers. Its editors come from the item editor factory it is
/// given (Qt's default one otherwise) for the type of the cell's value; a cell
/// without a value is edited as a number. A numeric editor (a line edit with a
/// number_field) takes the rule `ruleOf` gives for the cell on top of its own and
/// judges only what the user types in it. A refused text is never written into the cell: the editor
/// stays open with it, on Return and when the user goes elsewhere, and says why; Escape drops it.
class number_delegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using rule_fn = std::function<number_rule(const QModelIndex &index)>;
    number_delegate(QObject *parent, rule_fn ruleOf, number_field::tell_fn tell = {});

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    /// Disables the editor before it goes: a closed editor counts as no entry.
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;
    /// Shows the cell's value in a text the editor's rule accepts, except over a
    /// refused text the user typed: a value written while the user corrects it
    /// would drop the entry unseen.
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    /// Writes the accepted number the user typed into the cell as a double; an
    /// editor the user did not type in writes nothing, so the stored value keeps
    /// the digits its text was rounded from.
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

    /// Closes `editor` as Escape does: what it shows is dropped, nothing is written.
    void dropEntry(QWidget *editor) { emit closeEditor(editor, RevertModelCache); }

signals:
    /// The user changed the text of the numeric editor of `index` (judged already).
    void edited(QLineEdit *editor, const QModelIndex &index);
    /// The numeric editor of `index` is closing; what it showed goes with it.
    void closing(QLineEdit *editor, const QModelIndex &index);

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    rule_fn ruleOf;
    number_field::tell_fn tell;
};

/// Double spin box with the numeric behaviour of number_field: its range and
/// decimals are the rule, a refused text stays as typed (the value does not
/// change), and a typed value counts once the user presses Return or leaves.
/// The box can also be empty, unset: it then asks for nothing until the user
/// enters a value, and the window decides what an unset box means.
class number_spin_box : public QDoubleSpinBox
{
    Q_OBJECT

public:
    explicit number_spin_box(QWidget *parent = nullptr);

    /// Names the field in refusal lines and sets where they are told.
    void setTell(const QString &name, number_field::tell_fn tell);
    /// The rule of the box: its range and decimals.
    number_rule rule() const;
    /// Empties the box, unmarked; value() is the minimum until a value is entered
    /// or set. No signal is sent. The first value the user enters is signalled
    /// even when it equals the minimum.
    void setUnset();
    /// True while the box, emptied by setUnset(), shows no text and the user has
    /// entered no value since: an empty box is then no refused entry.
    bool isUnset() const;

    QValidator::State validate(QString &text, int &pos) const override;
    void fixup(QString &) const override { }
    double valueFromText(const QString &text) const override;
    QString textFromValue(double value) const override;
    void stepBy(int steps) override;

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void finish(const QString &typed, bool wasUnset, double before);
    /// Marks the box for `text`: refused, or not.
    void check(const QString &text);

    QString name;
    number_field::tell_fn tell;
    QString lastTold;
    bool unset = false; ///< emptied by setUnset(), no value entered since
};
