#pragma once

#include <QMainWindow>
#include <QModelIndex>
#include <QString>
#include <QUrl>

#include <functional>

class PageSpinBox;
class QPdfBookmarkModel;
class QPdfDocument;
class QPdfSearchModel;
class QStandardItemModel;
class ZoomSelector;

namespace Ui {
class pdfWindow;
}

/// The PDF viewer: the document as a continuous run of pages, with page box,
/// previous/next page, back/forward through the pages visited, zoom, and side
/// tabs for the bookmarks, page thumbnails and text search. Its geometry is kept
/// in the settings group "pdfviewer" followed by the identifier it is given.
class pdfWindow : public QMainWindow
{
    Q_OBJECT

public:
    /// Settings group prefix of the window's geometry.
    static constexpr const char *settingsGroupPrefix = "pdfviewer";
    /// Width of the page thumbnails, pixels.
    static constexpr int thumbnailWidth = 120;

    /// Builds the window and connects the document's models.
    explicit pdfWindow(QMainWindow *parent = nullptr);
    ~pdfWindow() override;

    /// Keeps `id` and restores the geometry saved under "pdfviewer" + `id`.
    void set_identifier(QString id);
    /// The identifier given by set_identifier().
    QString identifier() const { return windowId; }

    /// Opens the local file of `url`, shows its first page and expands the
    /// bookmarks. A URL that is not a local file, or a file that cannot be read
    /// as a PDF, is reported in a critical box "Failed to open" and leaves the
    /// document shown before as it was.
    void open(const QUrl &url);

    /// The document shown (owned by the window).
    QPdfDocument *document() const { return pdfDocument; }

protected:
    /// Saves the geometry before the window closes.
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_actionPrevious_Page_triggered();
    void on_actionNext_Page_triggered();
    void on_actionBack_triggered();
    void on_actionForward_triggered();
    void on_actionZoom_In_triggered();
    void on_actionZoom_Out_triggered();
    void on_treeView_bookmarks_clicked(const QModelIndex &index);
    void on_listView_pages_clicked(const QModelIndex &index);
    void on_listView_search_clicked(const QModelIndex &index);
    void on_lineEdit_search_textChanged(const QString &text);

private:
    void setup_toolBar();
    void build_thumbnails();
    void update_pageActions();
    /// Runs `change`, a change of zoom, keeping the page shown and the place on it.
    void zoom_keepingPlace(const std::function<void()> &change);
    /// Shows `text` in the critical box "Failed to open".
    void report_failure(const QString &text);
    static QString describe_error(int error);
    void settings_read();
    void settings_write();

    QString windowId; ///< identifier appended to the settings group
    QPdfDocument *pdfDocument = nullptr; ///< child: the document shown
    QPdfBookmarkModel *bookmarkModel = nullptr; ///< child: the document's outline
    QPdfSearchModel *searchModel = nullptr; ///< child: hits of the search text
    QStandardItemModel *thumbnailModel = nullptr; ///< child: one thumbnail per page
    ZoomSelector *zoomSelector = nullptr; ///< child of the tool bar
    PageSpinBox *pageSpinBox = nullptr; ///< child of the tool bar
    Ui::pdfWindow *ui = nullptr; ///< owned: the form
};
