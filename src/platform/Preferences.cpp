#include "platform/Preferences.h"

#include "platform/Settings.h"

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
}
