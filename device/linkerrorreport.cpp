#include "linkerrorreport.h"

using namespace Qt::StringLiterals;
using platform::ErrorCode;

namespace device {

LinkErrorReport reportLinkError(platform::Prompts& prompts, const platform::Error& error)
{
    if (error.code() == ErrorCode::PortAlreadyOpen || error.code() == ErrorCode::PortNotOpen) {
        prompts.showMessage(u"Port not available, please free up the selected port"_s, u"Comm Port Error"_s);
        return LinkErrorReport::PortNotAvailable;
    }
    platform::showErrorReport(prompts, error);
    return LinkErrorReport::OtherError;
}

} // namespace device
