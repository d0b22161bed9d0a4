#include "supportwindows.h"

#include "platform/programlook.h"

#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mainwindow {

namespace {

const QString kSupportHours = u"Technical support for the QX-7M is available on working days during office hours; "
                              "the telephone number is on the label of your QX-7M and in its installation guide."_s;

QWidget* createSupportForm(const QString& name, const QString& caption, const QStringList& texts, QWidget* parent)
{
    auto* form = new QWidget(parent, Qt::Window);
    form->setObjectName(name);
    form->setWindowTitle(caption);
    platform::paintProgramBackground(form);
    auto* layout = new QVBoxLayout(form);
    for (const QString& text : texts) {
        auto* label = new QLabel(text, form);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    form->resize(420, 220);
    return form;
}

} // namespace

QWidget* createFreeSupportForm(QWidget* parent)
{
    return createSupportForm(u"FreeSupportForm"_s, u"Free Support"_s,
        { kSupportHours,
            u"Free support does not cover the command codes of your projector or other video device. Paid "
            "support can find them for you."_s,
            u"If your QX-7M does not work properly, please contact technical support for free "
            "troubleshooting."_s },
        parent);
}

QWidget* createPaidSupportForm(QWidget* parent)
{
    return createSupportForm(u"PaidSupportForm"_s, u"Paid Support"_s,
        { kSupportHours, u"Please contact technical support for pricing."_s,
            u"For a fee, technical support can find the command codes of your projector or other video device "
            "and prepare a configuration file for you, ready to upload to your QX-7M."_s },
        parent);
}

} // namespace mainwindow
