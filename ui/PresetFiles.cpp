#include "ui/PresetFiles.h"

#include "settings/ProgramDir.h"

#include <QFileInfo>
#include <QMessageBox>

const TPresetKind& SettingsFileKind()
{
    static const TPresetKind kind{{QStringLiteral("Lumenquilla Config File(*.set)"), {QStringLiteral("*.set")}},
                                  QStringLiteral("set"),
                                  QString::fromLatin1(DefaultSetName)};
    return kind;
}

const TPresetKind& ColorTableFileKind()
{
    static const TPresetKind kind{{QStringLiteral("Colors Table Config File(*.ctb)"), {QStringLiteral("*.ctb")}},
                                  QStringLiteral("ctb"),
                                  QString::fromLatin1(DefaultCtbName)};
    return kind;
}

bool ConfirmBox(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> AskPresetFile(const TFileDialogFunction& dialog, QWidget* parent, const TPresetKind& kind,
                                     const QString& caption)
{
    TFileRequest request;
    request.Caption = caption;
    request.Filters = {kind.Filter};
    // The user's own folder, where last.set is too; the shipped presets
    // beside the program are one click away, and read-only once installed.
    request.Directory = QString::fromStdString(UserPresetsDir());
    request.Places = {request.Directory};
    if (const QString shipped = QString::fromStdString(ProgramDir()); shipped != request.Directory)
        request.Places << shipped;
    const std::optional<TFileChoice> choice = dialog(parent, request);
    if (!choice || choice->FileName.isEmpty())
        return std::nullopt;
    QString path = choice->FileName;
    if (QFileInfo(path).suffix().isEmpty())
        path += "." + kind.Extension;
    return path;
}

bool MayWritePreset(const TConfirmFunction& confirm, QWidget* parent, const TPresetKind& kind, const QString& path)
{
    if (path != QString::fromStdString(ProgramFile(kind.DefaultName.toStdString())))
        return true;
    return confirm(parent, QStringLiteral("Warning"),
                   QStringLiteral("Are you sure you want to overwrite the default configuration file?"));
}
