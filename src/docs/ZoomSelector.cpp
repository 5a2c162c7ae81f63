#include "ZoomSelector.h"

#include <QLineEdit>

namespace {
const QString textFitWidth = QStringLiteral("Fit Width");
const QString textFitPage = QStringLiteral("Fit Page");
} // namespace

ZoomSelector::ZoomSelector(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    addItem(textFitWidth);
    addItem(textFitPage);
    for (const int percent : {50, 75, 100, 125, 150, 200, 300, 400})
        addItem(QString::number(percent) + QLatin1Char('%'));
    setCompleter(nullptr); // a partial text must not turn into the first choice
    setCurrentText(shownText);
    connect(this, &QComboBox::activated, this, &ZoomSelector::onActivated);
    connect(lineEdit(), &QLineEdit::editingFinished, this, &ZoomSelector::onEditingFinished);
}

qreal ZoomSelector::boundedFactor(qreal factor)
{
    if (!(factor >= minimumFactor)) // also catches NaN
        return minimumFactor;
    return factor > maximumFactor ? maximumFactor : factor;
}

void ZoomSelector::setZoomFactor(qreal factor)
{
    showText(QString::number(qRound(factor * 100)) + QLatin1Char('%'));
}

void ZoomSelector::showText(const QString &text)
{
    shownText = text;
    const QSignalBlocker block(this);
    setCurrentText(text);
}

void ZoomSelector::reset()
{
    applyText(QStringLiteral("100%"));
}

void ZoomSelector::fitWidth()
{
    applyText(textFitWidth);
}

void ZoomSelector::onActivated(int index)
{
    if (itemText(index) != shownText) // the choice in effect is not applied again
        applyText(itemText(index));
}

void ZoomSelector::onEditingFinished()
{
    if (currentText() == shownText)
        return; // nothing new: leaving the field or a list choice already applied
    if (!applyText(currentText()))
        showText(shownText);
}

bool ZoomSelector::applyText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(textFitWidth, Qt::CaseInsensitive) == 0) {
        showText(textFitWidth);
        emit zoomModeChanged(QPdfView::ZoomMode::FitToWidth);
        return true;
    }
    if (t.compare(textFitPage, Qt::CaseInsensitive) == 0) {
        showText(textFitPage);
        emit zoomModeChanged(QPdfView::ZoomMode::FitInView);
        return true;
    }
    QString number = t;
    if (number.endsWith(QLatin1Char('%')))
        number.chop(1);
    bool ok = false;
    const double percent = number.trimmed().toDouble(&ok);
    if (!ok || !(percent > 0) || percent > 1e6)
        return false;
    const qreal factor = boundedFactor(percent / 100.0);
    setZoomFactor(factor);
    emit zoomModeChanged(QPdfView::ZoomMode::Custom);
    emit zoomFactorChanged(factor);
    return true;
}
