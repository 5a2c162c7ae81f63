#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QPdfDocument;
class QPdfPageNavigator;
class QSpinBox;

/// Page box of the PDF viewer: a spin box with the 1-based page number and the
/// label "of N". It follows the page navigator and makes it jump when the user
/// picks a page.
class PageSpinBox : public QWidget
{
    Q_OBJECT

public:
    /// Builds the spin box and its label; both stay disabled until a document
    /// with pages is set.
    explicit PageSpinBox(QWidget *parent = nullptr);

    /// Takes the page count of `document` now and whenever it changes.
    void setDocument(QPdfDocument *document);
    /// Follows `navigator`'s current page and jumps it to the pages chosen here.
    void setNavigator(QPdfPageNavigator *navigator);

    /// The spin box (object name "spinBox_page").
    QSpinBox *spinBox() const { return spin; }
    /// The label "of N" (object name "label_pageCount").
    QLabel *countLabel() const { return label; }

private slots:
    void updatePageCount();
    void showPage(int page);
    void jumpToValue(int value);

private:
    QSpinBox *spin = nullptr; ///< child: 1-based page number
    QLabel *label = nullptr; ///< child: "of N"
    QPointer<QPdfDocument> document; ///< link: the viewer's document
    QPointer<QPdfPageNavigator> navigator; ///< link: the view's page navigator
};
