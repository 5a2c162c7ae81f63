#pragma once

// The program as a geochemist has it open, driven through its windows: the
// main window on settings and an application folder kept in a scratch folder,
// the reference database installed, and a configuration holding the J-13 well
// water and seawater. The guide's screenshots and the window benchmarks use it.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

class MainWindow;
class QAction;
class QPushButton;
class QWidget;
class setup;
class simfile;

/// One water as a user types it into the composition page.
struct demo_water
{
    QString name; ///< name of the water in the configuration
    QString unit; ///< composition unit chosen before typing ("ppm", "molal")
    double pH = 7; ///< pH typed into the hydrogen row
    QList<QPair<QString, double>> amounts; ///< element totals in `unit`
};

/// The J-13 well water: element totals in ppm, pH 7.41.
demo_water demo_j13();
/// Seawater of the major-ion reference case: totals in molal, pH 8.22.
demo_water demo_seawater();

class demo_session
{
public:
    /// Keeps every setting of the program in `scratch` (call before the
    /// application object is made: it fixes where Qt stores the settings).
    static void redirect_settings(const QString &scratch);
    /// The offscreen platform's screen made a laptop's (1366 x 768), described in
    /// `scratch`; call before the application object is made. False when the
    /// description cannot be written.
    static bool use_laptop_screen(const QString &scratch);
    /// Names the program and applies its style sheet as its own start does, and
    /// keeps its application folder under `scratch`; call after the application
    /// object is made.
    static void prepare(const QString &scratch);
    /// Writes a new configuration file holding one water per name of `waters`
    /// (the default water, copied and renamed). False with `error` set on failure.
    static bool write_configuration(const QString &path, const QStringList &waters, QString *error);

    /// Builds and shows the main window on its login page.
    demo_session();
    ~demo_session();
    demo_session(const demo_session &) = delete;
    demo_session &operator=(const demo_session &) = delete;

    /// Records the reference database `db` as installed (first start done).
    static void install_database(const QString &db);

    MainWindow *main() const { return win.get(); } ///< the main window
    simfile *files() const; ///< the configuration-file page
    setup *workspace() const; ///< the setup workspace page
    QWidget *page() const; ///< the page the main window shows

    /// Start on the login page: the main menu.
    bool start();
    /// Speciation on the main menu: the configuration-file page.
    bool speciation();
    /// Opens `file` from the "Open Recent " list of the configuration-file page.
    bool open_recent(const QString &file);
    /// Load (database used or not): the setup workspace shows the configuration.
    bool load(bool database = true);
    /// Close in the workspace: back to the configuration-file page.
    void close_workspace();
    /// Adds elements and gases as the pickers hand them to the workspace.
    bool add_species(const QStringList &elements, const QStringList &gases);
    /// Makes `water` current and types its pH and amounts.
    bool enter_water(const demo_water &water);
    /// Makes the water named `name` current.
    bool choose_water(const QString &name);
    /// Presses Run; the status line shown afterwards.
    QString run();

    /// The push button `name` under `root`, or null.
    static QPushButton *button(QWidget *root, const QString &name);
    /// The action with text `text` among the children of `root`, or null.
    static QAction *action(QWidget *root, const QString &text);

    QString error; ///< why the last step failed

private:
    bool fail(const QString &why);
    std::unique_ptr<MainWindow> win;
};
