// Names of files as the system keeps them: bytes, which are UTF-8 text nearly always.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {

// A name given as bytes, as the command line gives them. A byte that is no part of UTF-8 text
// (caf\xe9.qxc, as some file managers pass it) is kept as the character U+DC80 + byte, which no
// text holds, so that nativeName() gives the very bytes back.
QString nameFromNativeBytes(const QByteArray& bytes);

// The bytes the system knows a name by: its UTF-8, with every kept byte given back unchanged.
QByteArray nativeName(const QString& name);

// The program's arguments, its own name first, each read as nameFromNativeBytes() reads it.
QStringList programArguments(int argc, char* argv[]);

// The text with every control character (a terminal's escape included) and every kept byte of a
// name written as \xNN, so that a name on a terminal cannot move the cursor or recolour the text.
QString escapedForTerminal(const QString& text);

// False for a name that came through a file dialog or Qt's reading of the command line with
// characters that are not text: each became U+FFFD, and no file of the name so changed exists.
// Saving to such a name would make another file than the one the user chose.
bool nameCameWhole(const QString& path);

} // namespace platform
