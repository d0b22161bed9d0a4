// The command line's standard output and error, written with every failure seen.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace platform {

// A reader that went away (a pipe into "head" or "true") must not end the program unseen: a
// write to it fails and is reported instead.
void ignoreBrokenPipes();

// False when the bytes did not all go out; the first failure's reason is kept for
// standardOutputFailure().
bool writeToStandardOutput(QByteArrayView bytes);
bool writeToStandardError(QByteArrayView bytes);

// A line for a person, in any script: a Windows console is handed the characters themselves (its
// code page holds no Cyrillic or Chinese), anything else gets their UTF-8.
bool writeTextToStandardOutput(const QString& text);
bool writeTextToStandardError(const QString& text);

// Sends on what standard output still holds; why it or any earlier write to it failed
// ("No space left on device"), or empty when everything went out.
QString standardOutputFailure();

} // namespace platform
