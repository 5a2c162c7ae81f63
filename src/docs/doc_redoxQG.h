#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class doc_redoxQG;
}

/// The quick guide on redox reaction pairs: one read-only pane filled from the
/// documents of a resource folder. Its geometry is kept in the settings group
/// "DOC_REDOXQG".
class doc_redoxQG : public QDialog
{
    Q_OBJECT

public:
    /// Settings group of the window's geometry.
    static constexpr const char *settingsGroup = "DOC_REDOXQG";
    /// Folder whose documents the guide shows.
    static constexpr const char *defaultFolder = ":/quickguides";

    /// Builds the form and restores the geometry.
    explicit doc_redoxQG(QWidget *parent = nullptr);
    ~doc_redoxQG() override;

    /// Fills the pane from the documents of the guide's folder, or shows
    /// "\n<b>no documents found</b>" when it holds none.
    void setup_about();
    /// Takes the documents from `folder` instead of ":/quickguides" at the next
    /// setup_about().
    void set_folder(const QString &folder) { docFolder = folder; }

private slots:
    void on_pushButton_close_clicked();

private:
    void settings_read();
    void settings_write();

    QString docFolder = QString::fromLatin1(defaultFolder); ///< where the documents are read
    Ui::doc_redoxQG *ui = nullptr; ///< owned: the form
};
