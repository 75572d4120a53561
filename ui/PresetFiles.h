#pragma once

#include "ui/FileDialogs.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// Asking for preset (.set) and colours table (.ctb) files: the preview dialog
// and the colouring options dialog share the dialogs, the default extension
// and the question before the shipped default file is overwritten.

struct TPresetKind {
    TFileFilter Filter;
    QString Extension; // added to a name typed without one
    QString DefaultName; // the shipped file a save asks about first
};

const TPresetKind& SettingsFileKind();
const TPresetKind& ColorTableFileKind();

// A question with OK and Cancel; true for OK.
using TConfirmFunction = std::function<bool(QWidget* parent, const QString& caption, const QString& text)>;
bool ConfirmBox(QWidget* parent, const QString& caption, const QString& text);

// Runs the open or save dialog in the user's presets folder (UserPresetsDir),
// with the shipped presets' folder in its side bar. Empty when the user
// cancelled; otherwise the chosen path, with the kind's extension when the
// name was typed without one.
std::optional<QString> AskPresetFile(const TFileDialogFunction& dialog, QWidget* parent, const TPresetKind& kind,
                                     const QString& caption);

// False when the path is the program directory's default file of the kind and
// the user answered Cancel to the warning; true otherwise.
bool MayWritePreset(const TConfirmFunction& confirm, QWidget* parent, const TPresetKind& kind, const QString& path);
