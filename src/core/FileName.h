#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

// File names on this system are bytes and need not be UTF-8: an old archive's Latin-1
// "café.hp" holds the single byte E9. Their text keeps every such byte, so that the name opens
// the same file again: each byte that is not part of a UTF-8 character stands as the code
// point U+DC00 plus the byte, a lone surrogate that no UTF-8 text decodes to.
namespace filename {

// The bytes of the file's name: UTF-8, with every kept byte given back as it was.
QByteArray toBytes(QStringView name);
// The text of a name's bytes; toBytes gives the same bytes back.
QString fromBytes(QByteArrayView bytes);
// The name as a person reads it: every kept byte shows as the replacement character.
QString forDisplay(const QString& name);
// The program's parameters (those after its own name), kept by their bytes as names are.
QStringList parameters(int argc, const char* const* argv);
// A relative name is taken from the working directory, whatever bytes its path holds.
QString absolute(const QString& name);
// A name whose undecodable bytes were already replaced by U+FFFD (as Qt's own file dialogs
// give them) stands for the one entry of its folder that reads so; a name that exists, or that
// matches no entry or more than one, comes back as it is.
QString onDisk(const QString& name);

} // namespace filename
