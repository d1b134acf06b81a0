#pragma once

#include "ProgramFrame.h"
#include "core/TopicTable.h"
#include "gui/dialogs/TransferDialog.h"
#include "transfer/TransferMode.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class DocumentWindow;

inline const QByteArray kEnglishSettings = "[Application]\nLanguage=1\n";

// Two topics with rows and an empty one at the end.
TopicTable sampleTable();

// The program in the shared frame with a transfer dialog of its own, and a stand-in as the
// Kermit program (stand-in-kermit beside this file): it keeps its arguments, the script and the
// file to send in standInFile(), and ends as the STANDIN_ variables of the environment tell.
struct StandInProgram : ProgramFrame {
    explicit StandInProgram(const QByteArray& settingsText = kEnglishSettings);
    ~StandInProgram();

    QString standInFile(const char* name) const;
    bool kermitRan() const;
    QStringList workFilesLeft() const;
    // A document window holding the table, loaded from a file.
    DocumentWindow* document(const TopicTable& table = sampleTable());

    template <typename T> T* control(const char* name) const {
        return dialog->findChild<T*>(QLatin1String(name));
    }
    QString text(const char* label) const;
    QString status() const { return text("statusLine"); }
    // Sets the dialog up and shows it without a modal loop, then presses Start; returns the
    // status line once Kermit has ended.
    QString run(TransferMode mode, const QString& name = QStringLiteral("NAME"));

    QList<QPair<QByteArray, QByteArray>> saved;
    TransferDialog* dialog = nullptr;
};
