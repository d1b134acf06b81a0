#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class AboutDialog;
}

// The About window: the program's picture, its version and where the help tells more.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

  private:
    std::unique_ptr<Ui::AboutDialog> ui_;
};
