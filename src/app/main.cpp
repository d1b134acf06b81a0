#include "MessageBoxPrompter.h"
#include "SingleInstance.h"
#include "Startup.h"
#include "omGlob.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ombrel"));
    MessageBoxPrompter prompter;
    SetPrompter(&prompter);

    GlobalScope global; // freed on every way out: the orderly halt
    SingleInstance instance;
    if (InitialiseGlobal(app.arguments().mid(1), instance) != StartRole::First)
        return 0;
    return RunMainSequence();
}
