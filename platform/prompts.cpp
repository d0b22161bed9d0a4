#include "prompts.h"

#include "error.h"

#include <QFileInfo>

namespace platform {

bool extensionDiffers(const QString& path, const QString& defaultExtension)
{
    return QFileInfo(path).suffix().compare(defaultExtension, Qt::CaseInsensitive) != 0;
}

void showErrorReport(Prompts& prompts, const Error& error)
{
    prompts.showMessage(error.numberMessage(), kApplicationTitle);
    prompts.showMessage(error.descriptionMessage(), kApplicationTitle);
}

} // namespace platform
