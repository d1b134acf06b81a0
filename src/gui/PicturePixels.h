#pragma once

#include <QtGlobal>

// The program's pictures as pixels, generated at build time from resources/images: 32-bit
// premultiplied ARGB when the picture has transparency, RGB32 when it has none, row by row.
struct PicturePixels {
    const char* name; // the file name, "logo.png"
    int width;
    int height;
    bool transparent;
    const quint32* pixels;
};

extern const PicturePixels kOwnPictures[];
extern const int kOwnPictureCount;
