#include "stringfileimport.h"

#include "wronglengthmessage.h"

#include "config/stringslot.h"
#include "platform/filestore.h"

using namespace Qt::StringLiterals;
using config::SlotId;

namespace mainwindow {

namespace {

QLatin1StringView importMessageSubject(SlotId id)
{
    switch (id) {
    case SlotId::CompositeInputActive:
        return QLatin1StringView("Component Input String");
    case SlotId::SVideoInputActive:
        return QLatin1StringView("S-Video Input String");
    case SlotId::VgaInputActive:
        return QLatin1StringView("VGA Input String");
    case SlotId::DiscreteOff:
        return QLatin1StringView("Discrete Input 1 OFF File");
    case SlotId::DiscreteOn:
        return QLatin1StringView("Discrete Input 1 ON File");
    case SlotId::VideoFirstDetected:
        return QLatin1StringView("Video First Detected File");
    case SlotId::NoInputActive:
        return QLatin1StringView("Default File");
    }
    return {};
}

void refuseLength(platform::Prompts& prompts, SlotId id, qint64 length)
{
    prompts.showMessage(wrongLengthMessage(importMessageSubject(id), length), kWrongFileLengthTitle);
}

// The slot's text is stored one byte per character: a character of the name that has no
// single-byte code is shown as "?".
QString singleByteName(const QString& name)
{
    QString shown = name;
    for (QChar& character : shown) {
        if (character.unicode() > 0xFF)
            character = u'?';
    }
    return shown;
}

} // namespace

void importStringFile(platform::Prompts& prompts, config::Configuration& configuration, SlotView& view)
{
    const std::optional<SlotId> id = view.selectedSlot();
    if (!id)
        return;
    const platform::FileChoice choice = prompts.chooseFileToOpen({ u"str"_s, u"Strings (*.str)"_s, u"*.str"_s, {} });
    if (choice.cancelled())
        return;
    const platform::Result<qint64> size = platform::fileSize(choice.path);
    if (!size)
        return;
    if (size.value() > config::kLargestCountedString) {
        refuseLength(prompts, *id, size.value());
        return;
    }
    const platform::Result<QByteArray> bytes = platform::readWholeFile(choice.path, config::kLargestCountedString);
    if (!bytes || bytes.value().isEmpty())
        return;
    config::StringSlot& slot = configuration.slot(*id);
    slot.commandBytes = bytes.value();
    slot.byteCount = static_cast<quint8>(slot.commandBytes.size());
    if (slot.byteCount > config::kLongestCommandString) {
        refuseLength(prompts, *id, slot.byteCount);
        view.showSlotText(u"Please select a different file"_s);
        // The slot holds the refused bytes until another file or string replaces them: the count
        // says so, as the bytes beside it do.
        view.showSlotLength(slot.byteCount);
        return;
    }
    view.showSlotText(singleByteName(platform::lastPathComponent(choice.path)));
    view.showSlotLength(slot.byteCount);
}

} // namespace mainwindow
