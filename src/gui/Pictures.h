#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures: the PNG files of the resources under ":/images/", named without
// that prefix ("logo.png"). They are read by Qt's built-in PNG reader alone: a picture whose
// format is left to be guessed is first offered to every image plug-in.
QPixmap ownPicture(const QString& name);
QIcon ownIcon(const QString& name);
