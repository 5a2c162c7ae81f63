// The PDF viewer on the compiled-in user guide, driven as a reader uses it.
#include "support_docs.h"
#include "test_env.h"

#include "SearchResultDelegate.h"
#include "ZoomSelector.h"
#include "pdfWindow.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPdfBookmarkModel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfSearchModel>
#include <QPdfView>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>

namespace {

const QString guidePath = QStringLiteral(":/userguide/vek7-userguide-v1-0-2a.pdf");

// A bookmark with where it was found in the tree.
struct mark
{
    QModelIndex index;
    QString title;
    int page = 0;
    int level = 0;
};

void collect(const QAbstractItemModel *model, const QModelIndex &parent, int level,
             QList<mark> *out)
{
    for (int r = 0; r < model->rowCount(parent); ++r) {
        const QModelIndex i = model->index(r, 0, parent);
        out->append({i, i.data(int(QPdfBookmarkModel::Role::Title)).toString(),
                     i.data(int(QPdfBookmarkModel::Role::Page)).toInt(), level});
        collect(model, i, level + 1, out);
    }
}

int currentPage(pdfWindow &w)
{
    return w.findChild<QPdfView *>("pdfView")->pageNavigator()->currentPage();
}

void clickRow(QAbstractItemView *view, const QModelIndex &index)
{
    view->scrollTo(index);
    const QRect r = view->visualRect(index);
    QVERIFY(r.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
}

void triggerTool(pdfWindow &w, const char *action)
{
    auto *a = w.findChild<QAction *>(action);
    QVERIFY(a);
    QVERIFY(a->isEnabled());
    auto *button
        = qobject_cast<QToolButton *>(w.findChild<QToolBar *>("mainToolBar")->widgetForAction(a));
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

void openGuide(pdfWindow &w)
{
    w.open(QUrl::fromLocalFile(guidePath));
    QVERIFY(w.document()->pageCount() > 1);
}

} // namespace

class tst_docs_pdf : public QObject
{
    Q_OBJECT

private slots:
    void guideOpensOnFirstPageWithPageCount();
    void bookmarksAreNestedAndLandOnTheirHeadings();
    void bookmarkClickJumps();
    void thumbnailsOnePerPageAndClickJumps();
    void searchListsHitsAndClickJumps();
    void pageButtonsAndHistory();
    void pageBoxJumps();
    void zoomControls();
    void failedOpenIsReportedAndKeepsDocument_data();
    void failedOpenIsReportedAndKeepsDocument();
    void geometryKeptPerIdentifier();
};

void tst_docs_pdf::guideOpensOnFirstPageWithPageCount()
{
    QVERIFY(QFile::exists(guidePath));
    pdfWindow w;
    w.set_identifier(QStringLiteral("userguide"));
    w.show();
    openGuide(w);
    const int pages = w.document()->pageCount();
    QCOMPARE(currentPage(w), 0);
    auto *spin = w.findChild<QSpinBox *>("spinBox_page");
    auto *count = w.findChild<QLabel *>("label_pageCount");
    QVERIFY(spin && count);
    QCOMPARE(spin->value(), 1);
    QCOMPARE(spin->maximum(), pages);
    QCOMPARE(count->text(), QStringLiteral("of %1").arg(pages));
    QVERIFY(!w.findChild<QAction *>("actionPrevious_Page")->isEnabled());
    QVERIFY(w.findChild<QAction *>("actionNext_Page")->isEnabled());
    QCOMPARE(w.findChild<QPdfView *>("pdfView")->pageMode(), QPdfView::PageMode::MultiPage);
    QCOMPARE(w.windowTitle(), QStringLiteral("vek7 User Guide"));
    // The pictures of the windows are laid into the chapters.
    QFile pdf(guidePath);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.readAll().count("/Subtype /Image") >= 10);
}

void tst_docs_pdf::bookmarksAreNestedAndLandOnTheirHeadings()
{
    pdfWindow w;
    w.show();
    openGuide(w);
    auto *tree = w.findChild<QTreeView *>("treeView_bookmarks");
    QVERIFY(tree && tree->model());
    QList<mark> marks;
    collect(tree->model(), QModelIndex(), 0, &marks);
    QVERIFY(marks.size() > 2);
    int nested = 0;
    for (const mark &m : marks) {
        if (m.level > 0)
            ++nested;
        else
            QVERIFY2(tree->isExpanded(m.index) || !tree->model()->hasChildren(m.index),
                     qPrintable(m.title));
        QVERIFY2(m.page >= 0 && m.page < w.document()->pageCount(), qPrintable(m.title));
        // The PDF's own text of that page holds the heading.
        const QString pageText = w.document()->getAllText(m.page).text().simplified();
        QVERIFY2(pageText.contains(m.title.simplified()),
                 qPrintable(QStringLiteral("%1 not on page %2").arg(m.title).arg(m.page)));
    }
    QVERIFY(nested > 0);
    QCOMPARE(marks.first().title, QStringLiteral("Introduction"));
    // A window's picture stands in the chapter on that window.
    const auto isChapter = [](const mark &m) { return m.level == 0; };
    const auto manager = std::find_if(marks.cbegin(), marks.cend(), [&](const mark &m) {
        return isChapter(m) && m.title == QLatin1String("The Database Manager");
    });
    QVERIFY(manager != marks.cend());
    const auto next = std::find_if(manager + 1, marks.cend(), isChapter);
    const int end = next == marks.cend() ? w.document()->pageCount() : next->page;
    bool pictured = false;
    for (int page = manager->page; page < end && !pictured; ++page)
        pictured = w.document()->getAllText(page).text().contains("The database manager");
    QVERIFY(pictured);
    // Chapters start new pages in file order: a later chapter never lands before an earlier one.
    int lastChapterPage = -1;
    for (const mark &m : marks) {
        if (m.level != 0)
            continue;
        QVERIFY(m.page > lastChapterPage);
        lastChapterPage = m.page;
    }
}

void tst_docs_pdf::bookmarkClickJumps()
{
    pdfWindow w;
    w.resize(900, 700);
    w.show();
    openGuide(w);
    auto *tree = w.findChild<QTreeView *>("treeView_bookmarks");
    QList<mark> marks;
    collect(tree->model(), QModelIndex(), 0, &marks);
    const mark &target = marks.last();
    QVERIFY(target.page > 0);
    clickRow(tree, target.index);
    QCOMPARE(currentPage(w), target.page);
    QCOMPARE(w.findChild<QSpinBox *>("spinBox_page")->value(), target.page + 1);
    clickRow(tree, marks.first().index);
    QCOMPARE(currentPage(w), marks.first().page);
}

void tst_docs_pdf::thumbnailsOnePerPageAndClickJumps()
{
    pdfWindow w;
    w.resize(900, 700);
    w.show();
    openGuide(w);
    w.findChild<QTabWidget *>("tabWidget_side")->setCurrentIndex(1);
    auto *pages = w.findChild<QListView *>("listView_pages");
    QVERIFY(pages && pages->model());
    const int count = w.document()->pageCount();
    QCOMPARE(pages->model()->rowCount(), count);
    for (int p = 0; p < count; ++p) {
        const QIcon icon = pages->model()->index(p, 0).data(Qt::DecorationRole).value<QIcon>();
        QVERIFY(!icon.isNull());
        QVERIFY(icon.availableSizes().value(0).width() == pdfWindow::thumbnailWidth);
    }
    clickRow(pages, pages->model()->index(count - 1, 0));
    QCOMPARE(currentPage(w), count - 1);
}

void tst_docs_pdf::searchListsHitsAndClickJumps()
{
    pdfWindow w;
    w.resize(900, 700);
    w.show();
    openGuide(w);
    w.findChild<QTabWidget *>("tabWidget_side")->setCurrentIndex(2);
    auto *field = w.findChild<QLineEdit *>("lineEdit_search");
    auto *list = w.findChild<QListView *>("listView_search");
    QVERIFY(field && list && list->model());
    QVERIFY(qobject_cast<SearchResultDelegate *>(list->itemDelegate()));
    QTest::keyClicks(field, QStringLiteral("saturation"));
    QTRY_VERIFY(list->model()->rowCount() > 0);
    // Every hit is listed as context, hit, context, and the hit is on its page.
    for (int r = 0; r < list->model()->rowCount(); ++r) {
        const QModelIndex i = list->model()->index(r, 0);
        const QStringList parts = SearchResultDelegate::parts(i);
        QCOMPARE(parts.size(), 3);
        QCOMPARE(parts[1], QStringLiteral("saturation"));
        const int page = i.data(int(QPdfSearchModel::Role::Page)).toInt();
        QVERIFY(w.document()->getAllText(page).text().contains(QLatin1String("saturation"),
                                                               Qt::CaseInsensitive));
    }
    const QModelIndex last = list->model()->index(list->model()->rowCount() - 1, 0);
    const int page = last.data(int(QPdfSearchModel::Role::Page)).toInt();
    list->grab(); // paints the rows through the delegate
    clickRow(list, last);
    QCOMPARE(currentPage(w), page);

    QTest::keyClicks(field, QStringLiteral("zzqqxx"));
    QTRY_COMPARE(list->model()->rowCount(), 0);
}

void tst_docs_pdf::pageButtonsAndHistory()
{
    pdfWindow w;
    w.show();
    openGuide(w);
    QVERIFY(w.document()->pageCount() >= 3);
    QVERIFY(!w.findChild<QAction *>("actionBack")->isEnabled());
    triggerTool(w, "actionNext_Page");
    QCOMPARE(currentPage(w), 1);
    triggerTool(w, "actionNext_Page");
    QCOMPARE(currentPage(w), 2);
    triggerTool(w, "actionBack");
    QCOMPARE(currentPage(w), 1);
    QVERIFY(w.findChild<QAction *>("actionForward")->isEnabled());
    triggerTool(w, "actionForward");
    QCOMPARE(currentPage(w), 2);
    triggerTool(w, "actionPrevious_Page");
    QCOMPARE(currentPage(w), 1);
    QCOMPARE(w.findChild<QSpinBox *>("spinBox_page")->value(), 2);
    // On the last page the next-page button is off.
    auto *spin = w.findChild<QSpinBox *>("spinBox_page");
    spin->setValue(spin->maximum());
    QVERIFY(!w.findChild<QAction *>("actionNext_Page")->isEnabled());
}

void tst_docs_pdf::pageBoxJumps()
{
    pdfWindow w;
    w.show();
    openGuide(w);
    auto *spin = w.findChild<QSpinBox *>("spinBox_page");
    spin->selectAll();
    QTest::keyClicks(spin, QStringLiteral("2"));
    QCOMPARE(currentPage(w), 0); // nothing happens before the number is complete
    QTest::keyClick(spin, Qt::Key_Return);
    QCOMPARE(currentPage(w), 1);
    const int last = w.document()->pageCount();
    spin->selectAll();
    QTest::keyClicks(spin, QString::number(last));
    QTest::keyClick(spin, Qt::Key_Return);
    QCOMPARE(currentPage(w), last - 1);
    // A number outside the document is refused and the page stays. (A number past the
    // end cannot be typed whole: the box keeps only its valid leading digits.)
    spin->selectAll();
    QTest::keyClicks(spin, QStringLiteral("0"));
    QTest::keyClick(spin, Qt::Key_Return);
    QCOMPARE(currentPage(w), last - 1);
    QCOMPARE(spin->value(), last);
}

void tst_docs_pdf::zoomControls()
{
    pdfWindow w;
    w.show();
    openGuide(w);
    auto *view = w.findChild<QPdfView *>("pdfView");
    auto *zoom = w.findChild<ZoomSelector *>("zoomSelector");
    QVERIFY(zoom);
    // The guide opens at page width.
    QCOMPARE(view->zoomMode(), QPdfView::ZoomMode::FitToWidth);
    QCOMPARE(zoom->currentText(), QStringLiteral("Fit Width"));
    zoom->setCurrentIndex(zoom->findText(QStringLiteral("200%")));
    emit zoom->activated(zoom->currentIndex());
    zoom->setCurrentIndex(zoom->findText(QStringLiteral("Fit Width")));
    emit zoom->activated(zoom->currentIndex());
    QCOMPARE(view->zoomMode(), QPdfView::ZoomMode::FitToWidth);
    zoom->setCurrentIndex(zoom->findText(QStringLiteral("200%")));
    emit zoom->activated(zoom->currentIndex());
    QCOMPARE(view->zoomMode(), QPdfView::ZoomMode::Custom);
    QCOMPARE(view->zoomFactor(), 2.0);
    triggerTool(w, "actionZoom_In");
    QVERIFY(qAbs(view->zoomFactor() - 2.0 * M_SQRT2) < 1e-9);
    QCOMPARE(zoom->currentText(), QStringLiteral("283%"));
    triggerTool(w, "actionZoom_In");
    triggerTool(w, "actionZoom_In");
    QCOMPARE(view->zoomFactor(), ZoomSelector::maximumFactor);
    for (int i = 0; i < 8; ++i)
        triggerTool(w, "actionZoom_Out");
    QCOMPARE(view->zoomFactor(), ZoomSelector::minimumFactor);
    QCOMPARE(zoom->currentText(), QStringLiteral("50%"));

    // A zoom keeps the page shown, which the view names again on a nudge of its scroll bar.
    auto *spin = w.findChild<QSpinBox *>("spinBox_page");
    spin->setValue(17);
    for (const char *step : {"actionZoom_In", "actionZoom_In", "actionZoom_Out"})
        triggerTool(w, step);
    view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(spin->value(), 17);
}

void tst_docs_pdf::failedOpenIsReportedAndKeepsDocument_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("expectedText");
    QTest::newRow("not local") << "remote"
                               << "http://example.invalid/guide.pdf is not a valid "
                                  "local file";
    QTest::newRow("missing file") << "missing"
                                  << "the file does not exist.";
    QTest::newRow("damaged file") << "damaged"
                                  << "the file is not a readable PDF document.";
    QTest::newRow("empty file") << "empty"
                                << "the file is not a readable PDF document.";
}

void tst_docs_pdf::failedOpenIsReportedAndKeepsDocument()
{
    QFETCH(QString, kind);
    QFETCH(QString, expectedText);
    pdfWindow w;
    w.show();
    openGuide(w);
    const int pages = w.document()->pageCount();
    w.findChild<QSpinBox *>("spinBox_page")->setValue(2);
    QCOMPARE(currentPage(w), 1);
    const QString title = w.windowTitle();

    QUrl url;
    const QString scratch = vek7TestScratchDir() + QStringLiteral("/") + kind + ".pdf";
    if (kind == QLatin1String("remote")) {
        url = QUrl(QStringLiteral("http://example.invalid/guide.pdf"));
    } else if (kind == QLatin1String("missing")) {
        QFile::remove(scratch);
        url = QUrl::fromLocalFile(scratch);
    } else {
        QFile f(scratch);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (kind == QLatin1String("damaged")) {
            // A real start, then the rest cut off and overwritten.
            QFile guide(guidePath);
            QVERIFY(guide.open(QIODevice::ReadOnly));
            QByteArray bytes = guide.read(600);
            bytes += QByteArray(400, '\x7f');
            f.write(bytes);
        }
        f.close();
        url = QUrl::fromLocalFile(scratch);
    }
    ShownBox shown;
    acceptNextMessageBox(&shown);
    w.open(url);
    QCOMPARE(shown.title, QStringLiteral("Failed to open"));
    QCOMPARE(shown.icon, int(QMessageBox::Critical));
    QVERIFY2(shown.text.contains(expectedText), qPrintable(shown.text));
    // The guide shown before stays, on its page.
    QCOMPARE(w.document()->pageCount(), pages);
    QCOMPARE(w.document()->status(), QPdfDocument::Status::Ready);
    QCOMPARE(currentPage(w), 1);
    QCOMPARE(w.windowTitle(), title);
}

void tst_docs_pdf::geometryKeptPerIdentifier()
{
    QSettings().remove(QStringLiteral("pdfviewertest-a"));
    const QRect placed(60, 80, 820, 610);
    {
        pdfWindow w;
        w.set_identifier(QStringLiteral("test-a"));
        w.show();
        w.setGeometry(placed);
        w.close();
    }
    QVERIFY(!QSettings().value(QStringLiteral("pdfviewertest-a/geometry")).toByteArray().isEmpty());
    pdfWindow again;
    again.set_identifier(QStringLiteral("test-a"));
    QCOMPARE(again.identifier(), QStringLiteral("test-a"));
    QCOMPARE(again.size(), placed.size());
    pdfWindow other;
    other.set_identifier(QStringLiteral("test-b"));
    QVERIFY(other.size() != placed.size());
}

QTEST_MAIN(tst_docs_pdf)
#include "tst_docs_pdf.moc"
