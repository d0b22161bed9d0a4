#include "linkerrorreport.h"

using namespace Qt::StringLiterals;
using platform::ErrorCode;

namespace device {

namespace {

const QString kPortNotAvailable = u"Port not available, please free up the selected port"_s;

bool portNotAvailable(const platform::Error& error)
{
    return error.code() == ErrorCode::PortAlreadyOpen || error.code() == ErrorCode::PortNotOpen;
}

} // namespace

LinkErrorReport reportLinkError(platform::Prompts& prompts, const platform::Error& error)
{
    if (portNotAvailable(error)) {
        prompts.showMessage(kPortNotAvailable, u"Comm Port Error"_s);
        return LinkErrorReport::PortNotAvailable;
    }
    platform::showErrorReport(prompts, error);
    return LinkErrorReport::OtherError;
}

QString linkErrorLine(const platform::Error& error)
{
    if (portNotAvailable(error))
        return kPortNotAvailable;
    return u"Error "_s + QString::number(error.number()) + u": "_s + error.description();
}

} // namespace device
