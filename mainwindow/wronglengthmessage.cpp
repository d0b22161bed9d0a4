#include "wronglengthmessage.h"

using namespace Qt::StringLiterals;

namespace mainwindow {

QString wrongLengthMessage(QLatin1StringView subject, qint64 length)
{
    // The two blanks before the length are the box's own.
    return u"The length of the "_s + subject
        + u" must be at least 1 character and no more than 30 characters. The file you have selected is  "_s
        + QString::number(length) + u" characters long. Please select a different file."_s;
}

} // namespace mainwindow
