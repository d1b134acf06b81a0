// The bare window bench/startup compares Ombrel's start with: a main window with the same top
// menus and as many items in each, a tool bar of as many buttons and a workspace, placed where
// a new installation puts Ombrel's window. Nothing else is read or made.
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QToolBar>

namespace {

struct MenuShape {
    const char* title;
    int items;
};

constexpr MenuShape kMenus[] = {{"&File", 8},    {"&Edit", 9},   {"&Search", 3}, {"&Transmit", 3},
                                {"&Options", 2}, {"&Window", 5}, {"&Help", 3}};
constexpr int kToolButtons = 11;
constexpr QRect kGeometry{142, 89, 740, 410};

void addMenus(QMainWindow& window) {
    for (const MenuShape& shape : kMenus) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromLatin1(shape.title));
        for (int item = 1; item <= shape.items; ++item)
            menu->addAction(QStringLiteral("Item %1").arg(item));
    }
}

void addToolBar(QMainWindow& window) {
    QToolBar* bar = window.addToolBar(QStringLiteral("Tools"));
    bar->setMovable(false);
    for (int button = 1; button <= kToolButtons; ++button)
        bar->addAction(QString::number(button));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Reference"));
    addMenus(window);
    addToolBar(window);
    window.setCentralWidget(new QMdiArea(&window));
    window.setGeometry(kGeometry);
    window.show();
    return QApplication::exec();
}
