#pragma once

#include "settings/ProgramOptions.h"

#include <QDialog>

#include <array>
#include <utility>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

// The options dialog: the preview window's size and the number of undo
// states. It holds the program's options record for the whole run; the
// preview dialog reads its window fields and writes the Last ones.
//
// OK saves and closes. Cancel, Esc and the close box put the controls back as
// they were when the dialog was shown, so the exit's save cannot write what
// the user cancelled. A number typed outside its entry's range is brought to
// the nearest limit, and a line under the entries says so.
class TFrmOptions : public QDialog {
    Q_OBJECT

public:
    explicit TFrmOptions(QWidget* parent = nullptr);

    // Reads the options file (or takes the defaults) into the record and the
    // controls; values outside the ranges of TProgramOptionsLimits are
    // brought to the nearest limit.
    void LoadOptions();
    // Takes the controls' values into the record and writes the file; says
    // first that a changed number of history states waits for the next run.
    // False when the file could not be written (nothing else is reported).
    bool SaveOptions();

    TProgramOptions& Options() { return Record; }
    const TProgramOptions& Options() const { return Record; }
    // The editor's own options, stored after the record.
    TProgramOptionsExtra& Extra() { return ExtraRecord; }
    const TProgramOptionsExtra& Extra() const { return ExtraRecord; }

    QGroupBox* GrpPreviewSize = nullptr;
    QLabel* Lab_WinSize = nullptr;
    QComboBox* CmbWinSize = nullptr;
    QLabel* Lab_Width = nullptr;
    QSpinBox* SpnWidth = nullptr;
    QLabel* Lab_Height = nullptr;
    QSpinBox* SpnHeight = nullptr;
    QGroupBox* GrpHistory = nullptr;
    QLabel* Lab_History = nullptr;
    QSpinBox* SpnHistory = nullptr;
    QCheckBox* Chk_FitLarge = nullptr;
    QPushButton* BtnOk = nullptr;
    QPushButton* BtnCancel = nullptr;
    // Shown when a typed number had to be brought into its range.
    QLabel* Lbl_RangeHint = nullptr;

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct TEntries {
        int Mode = 0, Width = 0, Height = 0, History = 0;
        bool FitLarge = false;
    };
    TEntries Entries() const;
    void SetEntries(const TEntries& entries);
    void UpdateSizeEnabling();
    void BtnOkClick();
    // Brings the number typed into `spin` into its range; true, with the hint
    // shown, when it was outside.
    bool CorrectTyped(QSpinBox* spin, const QLabel* caption);
    // The number entries with the captions their range hint names.
    std::array<std::pair<QSpinBox*, const QLabel*>, 3> NumberEntries() const;

    TProgramOptions Record;
    TProgramOptionsExtra ExtraRecord;
    TEntries Shown;
};
