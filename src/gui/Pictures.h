#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures: the PNG files of resources/images.qrc, named by their file name
// ("logo.png"). They are read by Qt's built-in PNG reader alone: a picture whose format is left
// to be guessed is first offered to every image plug-in. An unknown name gives a null picture.
QPixmap ownPicture(const QString& name);

// An icon of NAME.png and of every NAME-SIDE.png beside it ("tb-save-32.png"): each size is
// read only when it is first shown, the one that fits best; a disabled or selected icon is
// made from it as the style makes it.
QIcon ownIcon(const QString& name);
