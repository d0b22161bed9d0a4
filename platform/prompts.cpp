#include "prompts.h"

#include <QFileInfo>

namespace platform {

bool extensionDiffers(const QString& path, const QString& defaultExtension)
{
    return QFileInfo(path).suffix().compare(defaultExtension, Qt::CaseInsensitive) != 0;
}

} // namespace platform
