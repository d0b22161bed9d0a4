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

// Sends on what standard output still holds; why it or any earlier write to it failed
// ("No space left on device"), or empty when everything went out.
QString standardOutputFailure();

} // namespace platform
