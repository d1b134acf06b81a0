#pragma once

#include "core/HpParser.h"

#include <QString>

// What a read of a database file left out, as the message a load shows and the command line
// prints, in the given language: a line naming the file, a line for each kind of thing left
// out with its count, and what the next save does. Empty when the read took everything.
QString omissionText(const hpparse::Omissions& omitted, const QString& fileName, int language);
