#pragma once

#include <QDialog>

// The About window: the program's picture, its version and where the help tells more.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};
