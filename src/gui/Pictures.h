#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures, by the name of their file in resources/images ("logo.png"). They
// are compiled into the program as pixels: showing one decodes nothing. An unknown name gives
// a null picture.
QPixmap ownPicture(const QString& name);
QIcon ownIcon(const QString& name);
