#pragma once

#include <QString>
#include <QWidget>

class QTimer;

// The splash window: the program's picture and version for two and a half seconds at every
// start. While it shows, the main window may not close; when it goes (gone()), the file named
// on the command line opens.
class SplashScreen : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kShowMilliseconds = 2500;

    // commandLineFile: the first command-line parameter as a full path, empty without one.
    explicit SplashScreen(const QString& commandLineFile);

    // The timer's tick: the splash goes and takes itself away.
    void timeUp();

  signals:
    // The splash went, by its timer or closed early; the command-line file is to open.
    void gone(const QString& commandLineFile);

  protected:
    // Closed before its time (the window manager's close, Alt+F4), it goes as the timer makes
    // it go: otherwise the main window could never close and the file would never open.
    void closeEvent(QCloseEvent* event) override;

  private:
    void finish();

    bool finished_ = false;
    QString commandLineFile_;
    QTimer* timer_ = nullptr;
};

// The picture both the splash and the About window show, 292 x 180.
QPixmap logoPicture();
// "Version " and the program's version.
QString versionLine();
