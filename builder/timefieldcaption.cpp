#include "timefieldcaption.h"

#include "platform/programlook.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace builder {

QLabel* captionTimeField(QLineEdit& field, TimeUnit unit)
{
    struct Names {
        QString caption;
        QString labelName;
        QString fieldName;
    };
    static const Names kNames[] {
        { u"Hours:"_s, u"HrsLabel"_s, u"HoursTextBox"_s },
        { u"Minutes:"_s, u"MinutesLabel"_s, u"MinutesTextBox"_s },
        { u"Seconds:"_s, u"SecondsLabel"_s, u"SecondsTextBox"_s },
    };
    const Names& names = kNames[static_cast<int>(unit)];
    field.setObjectName(names.fieldName);
    field.setMaximumWidth(field.fontMetrics().horizontalAdvance(u"00000000"_s));
    return platform::captionLabel(names.caption, names.labelName, &field);
}

} // namespace builder
