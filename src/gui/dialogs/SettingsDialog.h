#pragma once

#include <QComboBox>
#include <QDialog>
#include <QList>
#include <QSpinBox>

class QButtonGroup;
class QCheckBox;
class QFileSystemModel;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeView;
class Preferences;
class TransferParametersDialog;

// A colour list that shows the colours of the palette as swatches, also on its face.
class ColourCombo : public QComboBox {
    Q_OBJECT

  public:
    explicit ColourCombo(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// The preselected topic row: a read-only edit (RowText) with its up-down control.
class RowSpin : public QSpinBox {
    Q_OBJECT

  public:
    explicit RowSpin(QWidget* parent = nullptr);
};

// The settings dialog: seven pages of options, written to the settings file by OK and
// applied at once where they can be.
class SettingsDialog : public QDialog {
    Q_OBJECT

  public:
    // The result of the dialog when the Default button closed it.
    static constexpr int kDefaultResult = 6;

    explicit SettingsDialog(Preferences& preferences, QWidget* parent = nullptr);
    // The dialog its Advanced button opens; made after this one.
    void setTransferParametersDialog(TransferParametersDialog* dialog) {
        transferParameters_ = dialog;
    }
    ~SettingsDialog() override;

    // Loads every control from the settings and shows the dialog modally.
    int openSettings();
    // The loading alone, as OpenSettings does it before it shows the dialog.
    void loadControls();

    void applySettings();
    void restoreDefaults();
    void showPageHelp();
    void openTransferParameters();
    void showDriveDirectories(int index);

    // The help context of the page shown.
    QString helpContext() const;
    // The directory list: its current directory, and going to one.
    QString currentDirectory() const { return currentDirectory_; }
    void goToDirectory(const QString& path);

    // The serial devices present: ttyS* ports that have a UART behind them, every ttyUSB* and
    // ttyACM*. The directories are parameters so that a test can lay out its own.
    static QStringList
    serialDevices(const QString& deviceDirectory = QStringLiteral("/dev"),
                  const QString& ttyClassDirectory = QStringLiteral("/sys/class/tty"));

  signals:
    // Ok wrote the choices: the windows are to show them (background, tool bar, boxes).
    void applied();
    // Default was confirmed: the settings file holds the defaults and the program ends.
    void defaultsRestored();

  private:
    QWidget* addPage(const char* name, quint16 tag, const char* helpContext);
    QCheckBox* addCheckBox(QWidget* page, const char* name, quint16 tag);
    void createProgramPage();
    void createQuestionsPage();
    void createLayoutPage();
    void createColoursPage();
    void createLanguagePage();
    void createIoPage();
    void createPathPage();
    void createButtons();
    void loadPort();
    void loadBaud();
    void loadDevices();
    void fillDriveList();
    void showDriveOf(const QString& directory);
    void directoryChosen(const QModelIndex& index);
    void showCurrentDirectory();
    void writeChecks();
    TransferParametersDialog* transferParametersDialog() const;

    Preferences& preferences_;
    TransferParametersDialog* transferParameters_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QCheckBox* f5Box_ = nullptr;
    QCheckBox* delEmptyBox_ = nullptr;
    QCheckBox* charStartBox_ = nullptr;
    QCheckBox* soundBox_ = nullptr;
    QCheckBox* kompBox_ = nullptr;
    QCheckBox* delTBox_ = nullptr;
    QCheckBox* reversedBox_ = nullptr;
    QCheckBox* toolBarBox_ = nullptr;
    QCheckBox* bkgndBox_ = nullptr;
    RowSpin* rowUpDown_ = nullptr;
    ColourCombo* textCombo_ = nullptr;
    ColourCombo* bkgndCombo_ = nullptr;
    QRadioButton* deuRButt_ = nullptr;
    QRadioButton* engRButt_ = nullptr;
    QButtonGroup* portGroup_ = nullptr;
    QButtonGroup* speedGroup_ = nullptr;
    QList<QComboBox*> deviceBoxes_;
    QPushButton* moreButton_ = nullptr;
    QLabel* dirLabel_ = nullptr;
    QTreeView* pfadBox_ = nullptr;
    QFileSystemModel* directories_ = nullptr;
    QComboBox* lwBox_ = nullptr;
    QString currentDirectory_;
};
