#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;
class QToolButton;

// The help contexts the windows open the help at; numeric contexts become "ctx" + number.
namespace help {
inline const QString kContents;                                  // the top
inline const QString kHelpOnHelp = QStringLiteral("helponhelp"); // how the help window works
// The anchor of a context in the part of the help written in the given language (0 German,
// 1 English): the German part carries the context itself, the English part "en-" + context.
QString anchor(const QString& context, int language);
} // namespace help

// Opens the help window at a context of the help file, in the current language. The whole
// program opens help through this one function.
void showHelp(const QString& context);

// The help window: the help file beside the program (omhelp.html) in a browser of its own.
class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // The one help window while it exists, else nullptr.
    static HelpWindow* instance();

    // Shows the help file at a context; false when the file cannot be read.
    bool open(const QString& context);

  private:
    QToolButton* addButton(const char* name, quint16 tag, const char* themeIcon);

    QTextBrowser* browser_ = nullptr;
};
