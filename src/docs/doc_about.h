#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class doc_about;
}

/// The about window: what the program is (first pane) and the notices of the
/// data and libraries it ships (second pane), read from the documents of
/// ":/aboutVek7". Its geometry is kept in the settings group "DOC_ABOUT".
class doc_about : public QWidget
{
    Q_OBJECT

public:
    /// Settings group of the window's geometry.
    static constexpr const char *settingsGroup = "DOC_ABOUT";
    /// Folder whose documents the window shows.
    static constexpr const char *defaultFolder = ":/aboutVek7";

    /// Builds the form and restores the geometry.
    explicit doc_about(QWidget *parent = nullptr);
    ~doc_about() override;

    /// Fills the panes: the first document of the folder (in file-name order) goes
    /// to the first pane, the others, one after the other, to the second. A folder
    /// without documents shows "\n<b>no documents found</b>" in the first pane.
    void setup_about();
    /// Takes the documents from `folder` instead of ":/aboutVek7" at the next
    /// setup_about().
    void set_folder(const QString &folder) { docFolder = folder; }

signals:
    /// The Close button was pressed; the window has saved its geometry and closed.
    void signal_docAbout_close();

private slots:
    void on_pushButton_close_clicked();

private:
    void settings_read();
    void settings_write();

    QString docFolder = QString::fromLatin1(defaultFolder); ///< where the documents are read
    Ui::doc_about *ui = nullptr; ///< owned: the form
};
