#pragma once

#include "batch/BatchSettings.h"
#include "ui/FileDialogs.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// What File > Batch asks for: the photos and folders, and how they are done.
struct TBatchChoice {
    QStringList Inputs;
    TBatchSettings Settings;
};

// The window of File > Batch: photos or folders, a preset (a shipped one, one
// of the user's own, the preview's last settings, or any file), the output
// folder and format. Start closes it with the choice; the main window runs
// the batch behind a progress window.
class TFrmBatch : public QDialog {
    Q_OBJECT

public:
    explicit TFrmBatch(const TBatchChoice& initial, QWidget* parent = nullptr);

    // The choice as the controls show it.
    TBatchChoice Choice() const;

    // The dialogs it asks; tests answer them in place of a person.
    TFilesDialogFunction PhotosDialog = RunOpenFilesDialog;
    TFolderDialogFunction FolderDialog = RunFolderDialog;
    TFileDialogFunction PresetDialog = RunOpenDialog;

    QListWidget* Lst_Inputs = nullptr;
    QPushButton* BtnAddPhotos = nullptr;
    QPushButton* BtnAddFolder = nullptr;
    QPushButton* BtnRemove = nullptr;
    QCheckBox* Chk_Recurse = nullptr;
    QComboBox* Cmb_Preset = nullptr;
    QCheckBox* Chk_Fit = nullptr;
    QLineEdit* Edt_Output = nullptr;
    QPushButton* BtnBrowse = nullptr;
    QComboBox* Cmb_Format = nullptr;
    QLineEdit* Edt_Suffix = nullptr;
    QCheckBox* Chk_SkipExisting = nullptr;
    // Says why Start did not start.
    QLabel* Lbl_Problem = nullptr;
    QPushButton* BtnStart = nullptr;
    QPushButton* BtnCancel = nullptr;

    // Start: only with a photo or folder and an output folder.
    void accept() override;

private:
    void AddInputs(const QStringList& paths);
    void BtnAddPhotosClick();
    void BtnAddFolderClick();
    void BtnBrowseClick();
    // The last entry asks for any preset file.
    void Cmb_PresetChange(int index);
    void SelectPreset(const QString& path);

    int LastPreset = 0;
};

// The dialog run modally with `initial` in its controls; nothing when
// cancelled.
std::optional<TBatchChoice> RunBatchDialog(QWidget* parent, const TBatchChoice& initial);
using TBatchDialogFunction = std::function<std::optional<TBatchChoice>(QWidget* parent, const TBatchChoice& initial)>;
