#include "filecommands.h"

#include "config/delayfield.h"
#include "platform/filestore.h"
#include "platform/nativename.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;
using platform::Answer;

namespace mainwindow {

namespace {

// Titles the name box of New and the question whether to save first, asked by New and by Quit.
const QString kFileCommandTitle = u"New File"_s;
const QString kSaveQuestion = u"Do you wish to save your current configuration?"_s;

const QString kConfigurationExtension = u"qxc"_s;

void refuseExtension(platform::Prompts& prompts)
{
    prompts.showMessage(u"This is not a proper QX-7M file"_s, u"Wrong File Extension"_s);
}

// A name that holds bytes that are not text cannot be kept through the dialogs: the file would
// not be found again, and a save would go to another file than the one chosen.
bool refusedName(platform::Prompts& prompts, const QString& path)
{
    if (platform::nameCameWhole(path))
        return false;
    prompts.showMessage(u"The name \"%1\" cannot be used: part of it is not text. Please rename the file and "
                        "choose it again."_s.arg(platform::lastPathComponent(path)),
        u"Wrong File Name"_s);
    return true;
}

} // namespace

FileCommands::FileCommands(const WindowServices& services, FileCommandView& view)
    : m_services(services)
    , m_view(view)
{
}

void FileCommands::newFile()
{
    if (!saveCurrentFirst(kSaveQuestion))
        return;
    std::optional<QString> name;
    while (!name || name->isEmpty()) {
        name = m_services.prompts.askText(u"Enter the name of the new configuration file"_s, kFileCommandTitle, {});
        if (!name)
            return;
    }
    if (platform::extensionDiffers(*name, kConfigurationExtension))
        name = *name + u'.' + kConfigurationExtension;
    // Written before the record is reset: a name the disk refuses must not cost the user the
    // configuration on screen.
    config::Configuration fresh = m_services.configuration;
    fresh.resetToDefaults();
    fresh.configPath = QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator() + *name;
    if (!mayReplace(fresh.configPath))
        return;
    // Each delay field, given its hint and then left, shows "0".
    const QString leftEmpty = config::kLeftEmptyFieldText;
    if (const std::optional<platform::Error> error
        = config::writeConfiguration(fresh, { leftEmpty, leftEmpty, leftEmpty })) {
        platform::showErrorReport(m_services.prompts, *error);
        return;
    }
    config::Configuration& configuration = m_services.configuration;
    configuration.resetToDefaults();
    configuration.configPath = fresh.configPath;
    configuration.configFileName = fresh.configFileName;
    m_view.updateCaption();
    m_view.showReplacedRecordLeavingFields();
    markSaved();
}

std::optional<QString> FileCommands::chooseConfigurationFile(FileDialog dialog)
{
    for (;;) {
        const platform::FileChoice choice = (m_services.prompts.*dialog)(configurationFileDialog(dialog));
        if (choice.extensionDiffers)
            refuseExtension(m_services.prompts);
        else if (choice.cancelled())
            return std::nullopt;
        else if (!refusedName(m_services.prompts, choice.path)
            && (dialog != &platform::Prompts::chooseFileToSave || mayReplace(choice.path)))
            return choice.path;
    }
}

platform::FileDialogSettings FileCommands::configurationFileDialog(FileDialog dialog) const
{
    platform::FileDialogSettings settings { kConfigurationExtension, u"QX-7M Files (*.qxc)"_s, u"*.qxc"_s, {} };
    // Once there is a file, its folder is where the user works; Save offers the file itself.
    const QString path = m_services.configuration.configPath;
    if (!path.isEmpty()) {
        settings.folder = QFileInfo(path).absolutePath();
        if (dialog == &platform::Prompts::chooseFileToSave)
            settings.initialName = QFileInfo(path).fileName();
    }
    return settings;
}

bool FileCommands::mayReplace(const QString& path)
{
    return !QFileInfo::exists(path)
        || m_services.prompts.askYesNo(
               platform::lastPathComponent(path) + u" already exists. Do you want to replace it?"_s,
               u"Save Configuration File"_s)
        == Answer::Yes;
}

bool FileCommands::load()
{
    if (!mayReplaceRecord())
        return false;
    for (;;) {
        const std::optional<QString> path = chooseConfigurationFile(&platform::Prompts::chooseFileToOpen);
        if (!path)
            return false;
        const ReadOutcome outcome = read(*path);
        if (outcome != ReadOutcome::SizeRefused)
            return outcome == ReadOutcome::Read;
    }
}

bool FileCommands::loadGivenFile(const QString& path)
{
    if (platform::extensionDiffers(path, kConfigurationExtension)) {
        refuseExtension(m_services.prompts);
        return false;
    }
    return !refusedName(m_services.prompts, path) && read(path) == ReadOutcome::Read;
}

bool FileCommands::save()
{
    const std::optional<QString> path = chooseConfigurationFile(&platform::Prompts::chooseFileToSave);
    if (!path)
        return false;
    config::Configuration& configuration = m_services.configuration;
    configuration.commitBaudRate(m_view.baudListText());
    const QString previousPath = configuration.configPath;
    configuration.configPath = *path;
    if (const std::optional<platform::Error> error
        = config::writeConfiguration(configuration, m_view.delayFieldTexts())) {
        configuration.configPath = previousPath;
        platform::showErrorReport(m_services.prompts, *error);
        return false;
    }
    m_view.updateCaption();
    markSaved();
    return true;
}

bool FileCommands::mayReplaceRecord() { return !unsaved() || saveCurrentFirst(kSaveQuestion); }

bool FileCommands::unsaved() const { return m_saved && storedFormNow() != *m_saved; }

void FileCommands::markSaved()
{
    m_saved = storedFormNow();
    m_view.showUnsaved(false);
}

config::StoredConfiguration FileCommands::storedFormNow() const
{
    config::Configuration configuration = m_services.configuration;
    configuration.commitBaudRate(m_view.baudListText());
    return config::storedForm(configuration, m_view.delayFieldTexts());
}

void FileCommands::quit()
{
    if (saveCurrentFirst(u"Do you wish to save your current configuration before quitting?"_s))
        m_services.programEnd.endNow(0);
}

bool FileCommands::saveCurrentFirst(const QString& question)
{
    switch (m_services.prompts.askYesNoCancel(question, kFileCommandTitle)) {
    case Answer::Yes:
        // The user asked to keep the configuration: nothing goes on until it is kept.
        return save();
    case Answer::No:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

FileCommands::ReadOutcome FileCommands::read(const QString& path)
{
    platform::Result<config::StoredConfiguration> stored = config::readConfiguration(path);
    if (!stored) {
        if (stored.error().code() == platform::ErrorCode::FileSizeNotValid) {
            m_services.prompts.showMessage(
                platform::describe(platform::ErrorCode::FileSizeNotValid), u"Not Valid File"_s);
            return ReadOutcome::SizeRefused;
        }
        platform::showErrorReport(m_services.prompts, stored.error());
        return ReadOutcome::Failed;
    }
    config::Configuration& configuration = m_services.configuration;
    config::takeStoredConfiguration(configuration, stored.value());
    configuration.configPath = path;
    configuration.configFileName = platform::lastPathComponent(path);
    m_view.updateCaption();
    m_view.showReplacedRecordLeavingFields();
    markSaved();
    return ReadOutcome::Read;
}

} // namespace mainwindow
