#include "dialogprompts.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace platform {

namespace {

FileChoice chooseFile(QFileDialog::AcceptMode mode, const FileDialogSettings& settings)
{
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(settings.defaultExtension);
    dialog.setNameFilter(settings.filter);
    // The command that saves asks before replacing a file, in its own words and through Prompts.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!settings.folder.isEmpty())
        dialog.setDirectory(settings.folder);
    dialog.selectFile(settings.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().constFirst();
    return { path, extensionDiffers(path, settings.defaultExtension) };
}

} // namespace

void DialogPrompts::showMessage(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    // File names and descriptions are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

Answer DialogPrompts::askYesNoCancel(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
        QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

Answer DialogPrompts::askYesNo(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::optional<QString> DialogPrompts::askText(const QString& prompt, const QString& title, const QString& initialText)
{
    bool accepted = false;
    const QString text
        = QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal, initialText, &accepted);
    return accepted ? std::optional(text) : std::nullopt;
}

QString DialogPrompts::askTextOrChoice(
    const QString& prompt, const QString& title, const QStringList& choices, const QString& initialText)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setComboBoxItems(choices);
    dialog.setComboBoxEditable(true);
    // Last: setting the items selects the first of them.
    dialog.setTextValue(initialText);
    // An editable list completes "1" to the first item that starts with it; the answer must be
    // what was typed.
    if (auto* list = dialog.findChild<QComboBox*>())
        list->setCompleter(nullptr);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

FileChoice DialogPrompts::chooseFileToOpen(const FileDialogSettings& settings)
{
    return chooseFile(QFileDialog::AcceptOpen, settings);
}

FileChoice DialogPrompts::chooseFileToSave(const FileDialogSettings& settings)
{
    return chooseFile(QFileDialog::AcceptSave, settings);
}

void DialogPrompts::beep() { QApplication::beep(); }

} // namespace platform
