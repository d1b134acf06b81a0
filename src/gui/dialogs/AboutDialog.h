#pragma once

#include <QDialog>

// The About window: the program's picture, its version and where the help tells more.
class TUber : public QDialog {
    Q_OBJECT

  public:
    explicit TUber(QWidget* parent = nullptr);
};
