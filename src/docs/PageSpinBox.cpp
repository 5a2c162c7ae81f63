#include "PageSpinBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QSignalBlocker>
#include <QSpinBox>

PageSpinBox::PageSpinBox(QWidget *parent)
    : QWidget(parent)
    , spin(new QSpinBox(this))
    , label(new QLabel(this))
{
    spin->setObjectName(QStringLiteral("spinBox_page"));
    label->setObjectName(QStringLiteral("label_pageCount"));
    spin->setKeyboardTracking(false); // jump once the number is complete
    spin->setAlignment(Qt::AlignRight);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(spin);
    layout->addWidget(label);
    connect(spin, &QSpinBox::valueChanged, this, &PageSpinBox::jumpToValue);
    updatePageCount();
}

void PageSpinBox::setDocument(QPdfDocument *doc)
{
    if (document)
        disconnect(document, nullptr, this, nullptr);
    document = doc;
    if (document)
        connect(document, &QPdfDocument::pageCountChanged, this, &PageSpinBox::updatePageCount);
    updatePageCount();
}

void PageSpinBox::setNavigator(QPdfPageNavigator *nav)
{
    if (navigator)
        disconnect(navigator, nullptr, this, nullptr);
    navigator = nav;
    if (navigator) {
        connect(navigator, &QPdfPageNavigator::currentPageChanged, this, &PageSpinBox::showPage);
        showPage(navigator->currentPage());
    }
}

void PageSpinBox::updatePageCount()
{
    const int count = document ? document->pageCount() : 0;
    const QSignalBlocker block(spin);
    spin->setRange(count > 0 ? 1 : 0, count);
    label->setText(QStringLiteral("of %1").arg(count));
    spin->setEnabled(count > 0);
    label->setEnabled(count > 0);
}

void PageSpinBox::showPage(int page)
{
    const QSignalBlocker block(spin);
    spin->setValue(page + 1);
}

void PageSpinBox::jumpToValue(int value)
{
    if (!navigator || value < 1 || !document || value > document->pageCount())
        return;
    if (navigator->currentPage() != value - 1)
        navigator->jump(value - 1, QPointF(), navigator->currentZoom());
}
