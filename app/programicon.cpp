#include "programicon.h"

#include "platform/programidentity.h"

#include <QDir>

using namespace Qt::StringLiterals;

QIcon programIcon()
{
    QIcon icon;
    const QDir sizes(u":/icon"_s);
    for (const QString& size : sizes.entryList(QDir::Dirs))
        icon.addFile(sizes.filePath(size + u"/apps/"_s + QString(platform::kApplicationId) + u".png"_s));
    return icon;
}
