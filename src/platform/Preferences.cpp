#include "platform/Preferences.h"

#include "core/Hp48Codec.h"
#include "platform/Paths.h"
#include "platform/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

// The preferred directory must exist and take a new file. The probe is a file of a name of
// its own, so that no file the user keeps there is touched.
bool isWritableDirectory(const QString& path) {
    if (!QFileInfo(path).isDir())
        return false;
    QTemporaryFile probe(QDir(path).filePath(QStringLiteral("~ombrel-XXXXXX.tmp")));
    probe.setAutoRemove(false);
    if (!probe.open())
        return false;
    probe.close();
    return probe.remove();
}

} // namespace

void Preferences::read() {
    namespace key = settings::key;
    namespace fallback = settings::fallback;
    askDelTopic = settings::readBool(settings_, key::kAskDelTopic, fallback::kAskDelTopic);
    sound = settings::readBool(settings_, key::kSound, fallback::kSound);
    editMode = settings::readBool(settings_, key::kEditMode, fallback::kEditMode);
    compress = settings::readBool(settings_, key::kCompress, fallback::kCompress);
    deleteEmpty = settings::readBool(settings_, key::kDeleteEmpty, fallback::kDeleteEmpty);
    background = settings::readBool(settings_, key::kBackground, fallback::kBackground);
    preferredPath =
        settings::readString(settings_, key::kPrefPath, QString::fromLatin1(fallback::kPrefPath));
    // Without a usable folder of the user's choice the dialogs start among the user's files,
    // never in the program's folder, which an installed package keeps read-only.
    if (preferredPath == QLatin1String(fallback::kPrefPath) || !isWritableDirectory(preferredPath))
        preferredPath = paths::documentsDir();
    newTranslation = settings::readTranslation(settings_);
    hp49 = settings::readHp49(settings_);
    hp48::setModel(hp49 ? hp48::Model::Hp49 : hp48::Model::Hp48);
}
