#include "pdfWindow.h"
#include "ui_pdfWindow.h"

#include "PageSpinBox.h"
#include "SearchResultDelegate.h"
#include "ZoomSelector.h"
#include "doc_geometry.h"

#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPdfBookmarkModel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfSearchModel>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardItemModel>
#include <QtMath>

#include <algorithm>

pdfWindow::pdfWindow(QMainWindow *parent)
    : QMainWindow(parent)
    , pdfDocument(new QPdfDocument(this))
    , bookmarkModel(new QPdfBookmarkModel(this))
    , searchModel(new QPdfSearchModel(this))
    , thumbnailModel(new QStandardItemModel(this))
    , ui(new Ui::pdfWindow)
{
    ui->setupUi(this);
    setup_toolBar();

    ui->pdfView->setDocument(pdfDocument);
    ui->pdfView->setPageMode(QPdfView::PageMode::MultiPage);

    bookmarkModel->setDocument(pdfDocument);
    ui->treeView_bookmarks->setModel(bookmarkModel);
    ui->treeView_bookmarks->setHeaderHidden(true);

    searchModel->setDocument(pdfDocument);
    ui->listView_search->setModel(searchModel);
    ui->listView_search->setItemDelegate(new SearchResultDelegate(ui->listView_search));

    ui->listView_pages->setModel(thumbnailModel);
    ui->listView_pages->setIconSize(QSize(thumbnailWidth, thumbnailWidth * 3 / 2));
    // Room for the chapter titles in the side pane; the page takes the rest.
    ui->splitter->setStretchFactor(1, 1);
    ui->splitter->setSizes({320, 680});

    QPdfPageNavigator *nav = ui->pdfView->pageNavigator();
    connect(nav, &QPdfPageNavigator::currentPageChanged, this, &pdfWindow::update_pageActions);
    connect(nav, &QPdfPageNavigator::backAvailableChanged, this, &pdfWindow::update_pageActions);
    connect(nav, &QPdfPageNavigator::forwardAvailableChanged, this, &pdfWindow::update_pageActions);
    connect(pdfDocument, &QPdfDocument::pageCountChanged, this, &pdfWindow::update_pageActions);
    update_pageActions();
}

pdfWindow::~pdfWindow()
{
    // Closing, the document announces a page count of 0: no slot of this window,
    // half destroyed, may hear it. The views and models drop it when it is gone.
    disconnect(pdfDocument, nullptr, this, nullptr);
    delete pdfDocument;
    delete ui;
}

void pdfWindow::setup_toolBar()
{
    zoomSelector = new ZoomSelector(ui->mainToolBar);
    zoomSelector->setObjectName(QStringLiteral("zoomSelector"));
    zoomSelector->setMaximumWidth(150);
    ui->mainToolBar->insertWidget(ui->actionZoom_In, zoomSelector);
    connect(zoomSelector, &ZoomSelector::zoomModeChanged, this, [this](QPdfView::ZoomMode mode) {
        zoom_keepingPlace([this, mode] { ui->pdfView->setZoomMode(mode); });
    });
    connect(zoomSelector, &ZoomSelector::zoomFactorChanged, this, [this](qreal factor) {
        zoom_keepingPlace([this, factor] { ui->pdfView->setZoomFactor(factor); });
    });
    connect(ui->pdfView, &QPdfView::zoomFactorChanged, zoomSelector, &ZoomSelector::setZoomFactor);
    // A guide is read at page width; the list offers the other zooms.
    zoomSelector->fitWidth();

    pageSpinBox = new PageSpinBox(ui->mainToolBar);
    pageSpinBox->setObjectName(QStringLiteral("pageSpinBox"));
    ui->mainToolBar->insertWidget(ui->actionNext_Page, pageSpinBox);
    pageSpinBox->setDocument(pdfDocument);
    pageSpinBox->setNavigator(ui->pdfView->pageNavigator());
}

void pdfWindow::set_identifier(QString id)
{
    windowId = id;
    settings_read();
}

void pdfWindow::open(const QUrl &url)
{
    if (!url.isLocalFile()) {
        qDebug() << "PW: #### not a local file" << url;
        report_failure(QStringLiteral("%1 is not a valid local file").arg(url.toString()));
        return;
    }
    const QString file = url.toLocalFile();
    // Try the file on a scratch document first, so a failure leaves the one shown.
    {
        QPdfDocument probe;
        const QPdfDocument::Error err = probe.load(file);
        if (err != QPdfDocument::Error::None) {
            qDebug() << "PW: #### could not open" << file << err;
            report_failure(QStringLiteral("%1 could not be opened: %2")
                               .arg(QDir::toNativeSeparators(file), describe_error(int(err))));
            return;
        }
    }
    const QPdfDocument::Error err = pdfDocument->load(file);
    if (err != QPdfDocument::Error::None) {
        report_failure(QStringLiteral("%1 could not be opened: %2")
                           .arg(QDir::toNativeSeparators(file), describe_error(int(err))));
        return;
    }
    const QString title = pdfDocument->metaData(QPdfDocument::MetaDataField::Title).toString();
    setWindowTitle(title.isEmpty() ? QFileInfo(file).fileName() : title);
    // First page shown, and no way back into the document shown before.
    ui->pdfView->pageNavigator()->jump(0, QPointF(), ui->pdfView->pageNavigator()->currentZoom());
    ui->pdfView->pageNavigator()->clear();
    ui->treeView_bookmarks->expandAll();
    build_thumbnails();
    searchModel->setSearchString(ui->lineEdit_search->text());
    update_pageActions();
}

QString pdfWindow::describe_error(int error)
{
    switch (QPdfDocument::Error(error)) {
    case QPdfDocument::Error::FileNotFound:
        return QStringLiteral("the file does not exist.");
    case QPdfDocument::Error::InvalidFileFormat:
        return QStringLiteral("the file is not a readable PDF document.");
    case QPdfDocument::Error::IncorrectPassword:
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        return QStringLiteral("the document is protected.");
    case QPdfDocument::Error::DataNotYetAvailable:
        return QStringLiteral("the document is not yet available.");
    default:
        return QStringLiteral("unknown error.");
    }
}

void pdfWindow::report_failure(const QString &text)
{
    QMessageBox::critical(this, QStringLiteral("Failed to open"), text);
}

void pdfWindow::build_thumbnails()
{
    thumbnailModel->clear();
    for (int page = 0; page < pdfDocument->pageCount(); ++page) {
        const QSizeF pt = pdfDocument->pagePointSize(page);
        const int h = pt.width() > 0 ? qRound(thumbnailWidth * pt.height() / pt.width())
                                     : thumbnailWidth * 3 / 2;
        const QImage image = pdfDocument->render(page, QSize(thumbnailWidth, h));
        auto *item
            = new QStandardItem(QIcon(QPixmap::fromImage(image)), pdfDocument->pageLabel(page));
        item->setData(page, Qt::UserRole);
        item->setEditable(false);
        thumbnailModel->appendRow(item);
    }
}

void pdfWindow::update_pageActions()
{
    const QPdfPageNavigator *nav = ui->pdfView->pageNavigator();
    const int page = nav->currentPage();
    const int count = pdfDocument->pageCount();
    ui->actionPrevious_Page->setEnabled(page > 0);
    ui->actionNext_Page->setEnabled(page + 1 < count);
    // Asked each time: clearing the history announces no change.
    ui->actionBack->setEnabled(nav->backAvailable());
    ui->actionForward->setEnabled(nav->forwardAvailable());
}

void pdfWindow::on_actionPrevious_Page_triggered()
{
    QPdfPageNavigator *nav = ui->pdfView->pageNavigator();
    if (nav->currentPage() > 0)
        nav->jump(nav->currentPage() - 1, QPointF(), nav->currentZoom());
}

void pdfWindow::on_actionNext_Page_triggered()
{
    QPdfPageNavigator *nav = ui->pdfView->pageNavigator();
    if (nav->currentPage() + 1 < pdfDocument->pageCount())
        nav->jump(nav->currentPage() + 1, QPointF(), nav->currentZoom());
}

void pdfWindow::on_actionBack_triggered()
{
    ui->pdfView->pageNavigator()->back();
}

void pdfWindow::on_actionForward_triggered()
{
    ui->pdfView->pageNavigator()->forward();
}

void pdfWindow::zoom_keepingPlace(const std::function<void()> &change)
{
    // The view keeps its scroll position in pixels through a change of zoom, which at
    // another scale lies on another page while the page box stays. The view takes its
    // current page from the line at 40 % of its height: the point of the document on
    // that line is brought back to it, so the page and the place on it stay in sight.
    QPdfView *view = ui->pdfView;
    QScrollBar *bar = view->verticalScrollBar();
    // Pages are stacked inside fixed margins with a fixed spacing; only the pages scale.
    const auto scaledHeight = [this, view, bar] {
        const QMargins m = view->documentMargins();
        const int gaps = std::max(pdfDocument->pageCount() - 1, 0);
        return qreal(bar->maximum() + bar->pageStep() - m.top() - m.bottom()
                     - gaps * view->pageSpacing());
    };
    const bool scrolled = bar->maximum() > 0; // else the height of the pages is not known
    const qreal line = bar->pageStep() * 0.4;
    const qreal unscaled = view->documentMargins().top()
        + view->pageNavigator()->currentPage() * view->pageSpacing();
    const qreal before = scaledHeight();
    const qreal depth = bar->value() + line - unscaled; // of the pages above the line
    change();
    const qreal after = scaledHeight();
    if (scrolled && bar->maximum() > 0 && before > 0 && after > 0)
        bar->setValue(qRound(unscaled + depth * after / before - line));
}

void pdfWindow::on_actionZoom_In_triggered()
{
    zoom_keepingPlace([this] {
        ui->pdfView->setZoomMode(QPdfView::ZoomMode::Custom);
        ui->pdfView->setZoomFactor(
            ZoomSelector::boundedFactor(ui->pdfView->zoomFactor() * M_SQRT2));
    });
}

void pdfWindow::on_actionZoom_Out_triggered()
{
    zoom_keepingPlace([this] {
        ui->pdfView->setZoomMode(QPdfView::ZoomMode::Custom);
        ui->pdfView->setZoomFactor(
            ZoomSelector::boundedFactor(ui->pdfView->zoomFactor() / M_SQRT2));
    });
}

void pdfWindow::on_treeView_bookmarks_clicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const int page = index.data(int(QPdfBookmarkModel::Role::Page)).toInt();
    const QPointF location = index.data(int(QPdfBookmarkModel::Role::Location)).toPointF();
    ui->pdfView->pageNavigator()->jump(page, location, ui->pdfView->pageNavigator()->currentZoom());
}

void pdfWindow::on_listView_pages_clicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    ui->pdfView->pageNavigator()->jump(index.data(Qt::UserRole).toInt(), QPointF(),
                                       ui->pdfView->pageNavigator()->currentZoom());
}

void pdfWindow::on_listView_search_clicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const int page = index.data(int(QPdfSearchModel::Role::Page)).toInt();
    const QPointF location = index.data(int(QPdfSearchModel::Role::Location)).toPointF();
    ui->pdfView->pageNavigator()->jump(page, location, ui->pdfView->pageNavigator()->currentZoom());
}

void pdfWindow::on_lineEdit_search_textChanged(const QString &text)
{
    searchModel->setSearchString(text);
}

void pdfWindow::closeEvent(QCloseEvent *event)
{
    settings_write();
    QMainWindow::closeEvent(event);
}

void pdfWindow::settings_read()
{
    doc_geometry::restore(this, QLatin1String(settingsGroupPrefix) + windowId);
}

void pdfWindow::settings_write()
{
    if (windowId.isEmpty())
        return; // no identifier, no place of its own in the settings
    doc_geometry::save(this, QLatin1String(settingsGroupPrefix) + windowId);
}
