#pragma once

#include <QMargins>
#include <QRect>
#include <QString>
#include <QWidget>

class QScreen;

namespace Ui {
class screen_info;
}

/// Screen geometry, platform texts, the fixed page sizes and the centring rule
/// shared by every window. The widget itself is never shown.
class screen_info : public QWidget
{
    Q_OBJECT

public:
    /// Reads the primary screen's geometry (a fallback geometry when there is
    /// no screen) and the platform texts.
    explicit screen_info(QWidget *parent = nullptr);
    ~screen_info() override;

    /// Geometry used when the system reports no primary screen, pixels.
    static QRect fallbackGeometry() { return QRect(0, 0, 1280, 800); }

    /// Replaces the screen geometry the sizes and centring are computed from; the
    /// available area becomes the whole of it.
    void set_screenGeometry(const QRect &geometry);
    /// The screen geometry in use, pixels.
    QRect screenGeometry() const { return scrGeometry; }
    /// Replaces the area windows may take (the screen less panels and docks).
    void set_availableGeometry(const QRect &geometry);
    /// The area windows may take, pixels.
    QRect availableGeometry() const { return scrAvailable; }

    /// `frame` (a window with its title bar and borders) made no larger than
    /// `available` and moved, as little as it takes, to lie wholly within it.
    static QRect fit_frame(const QRect &available, const QRect &frame);
    /// Borders and title bar around `w`'s contents: the real ones once the window
    /// is shown with a frame, else the style's title bar height and frame width.
    static QMargins frame_margins(const QWidget *w);
    /// Shrinks the window `w` (down to its minimum size) until its frame fits the
    /// available area and moves it so that the frame lies wholly on that area.
    void keep_onScreen(QWidget *w) const;

    int size_width() const; ///< screen width, pixels
    int size_height() const; ///< screen height, pixels
    int window_main_width() const; ///< main window width: screen width, at most 1024
    int window_main_height() const; ///< main window height: screen height, at most 1280
    int simfile_width() const; ///< configuration-file window width, 850
    int simfile_height() const; ///< configuration-file window height, 600
    int setup_width() const; ///< setup workspace width, 1000
    int setup_height() const; ///< setup workspace height, 1000
    int login_width() const; ///< login page width, 580
    int login_height() const; ///< login page height, 680
    int mainMenu_width() const; ///< main menu width, 700
    int mainMenu_height() const; ///< main menu height, 540
    void generalInfo(); ///< does nothing
    void platformInfo(); ///< writes the platform texts to the debug log
    /// Centres `w` on the screen unless it already lies at x >= 10 and y >= 10 (as
    /// its restored geometry placed it); then keeps its frame wholly on the
    /// available area (see keep_onScreen).
    void scrPosition_center(QWidget *w);

private:
    /// Reads the SPCN size key, whose value does not change the fixed sizes.
    void readSpcnKey(const char *key) const;
    /// Shrinks `w` (down to its minimum size) until a frame of margins `m` fits the
    /// available area.
    void shrink_toRoom(QWidget *w, const QMargins &m) const;
    /// keep_onScreen for a window placed by its restored geometry, which is that of
    /// its contents: the frame is fitted around them (its title bar is kept on the
    /// screen by the restoring) and the contents are moved.
    void keep_restoredOnScreen(QWidget *w) const;

    int mainWidthMax = 1024; ///< limit of the main window width, pixels
    int mainHeightMax = 1280; ///< limit of the main window height, pixels
    QScreen *screen = nullptr; ///< link: the primary screen (null when headless)
    QRect scrGeometry; ///< screen geometry, pixels
    QRect scrAvailable; ///< area windows may take, pixels
    int scrWidth = 0; ///< screen width, pixels
    int scrHeight = 0; ///< screen height, pixels
    QString kernelType; ///< QSysInfo::kernelType
    QString kernelVersion; ///< QSysInfo::kernelVersion
    QString cpuArchitecture; ///< QSysInfo::currentCpuArchitecture
    QString productType; ///< QSysInfo::productType
    QString productVersion; ///< QSysInfo::productVersion
    QString productName; ///< QSysInfo::prettyProductName
    QString hostName; ///< QSysInfo::machineHostName
    Ui::screen_info *ui = nullptr; ///< owned: the form
};
