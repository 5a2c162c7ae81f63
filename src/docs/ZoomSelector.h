#pragma once

#include <QComboBox>
#include <QPdfView>

/// Zoom choice of the PDF viewer: "Fit Width", "Fit Page" or a factor from
/// 50 % to 400 %, picked from the list or typed ("120", "120%").
class ZoomSelector : public QComboBox
{
    Q_OBJECT

public:
    /// Smallest zoom factor offered (50 %).
    static constexpr qreal minimumFactor = 0.5;
    /// Largest zoom factor offered (400 %).
    static constexpr qreal maximumFactor = 4.0;

    /// Builds the list; shows "100%".
    explicit ZoomSelector(QWidget *parent = nullptr);

    /// `factor` limited to the offered range.
    static qreal boundedFactor(qreal factor);

public slots:
    /// Shows `factor` (for example "125%") without emitting anything.
    void setZoomFactor(qreal factor);
    /// Shows "100%" and asks for a custom zoom of 1.
    void reset();
    /// Shows "Fit Width" and asks the view to fit the page width.
    void fitWidth();

signals:
    /// A fit mode or a custom zoom was chosen.
    void zoomModeChanged(QPdfView::ZoomMode zoomMode);
    /// A custom zoom factor was chosen (1 = 100 %).
    void zoomFactorChanged(qreal zoomFactor);

private slots:
    void onActivated(int index);
    void onEditingFinished();

private:
    /// Shows `text` as the choice in effect, emitting nothing.
    void showText(const QString &text);
    /// Applies `text`; returns false when it names no zoom.
    bool applyText(const QString &text);

    QString shownText = QStringLiteral("100%"); ///< last valid choice, restored after bad input
};
