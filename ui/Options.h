#pragma once

#include "ProgramOptions.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

// The options dialog: the preview window's size and the number of undo
// states. It holds the program's options record for the whole run; the
// preview dialog reads its window fields and writes the Last ones.
//
// OK saves and closes. Cancel only closes: the controls keep what was entered
// and it is saved with the next OK or when the main window closes.
class TFrmOptions : public QDialog
{
    Q_OBJECT

public:
    // The entries are held to ranges that keep the preview window usable and
    // the history's disk use bounded (each state is a file of the whole
    // document). Values outside them, from an older or damaged file, are
    // brought to the nearest limit as the file is read; an unknown size mode
    // becomes Custom.
    static constexpr int MinPreviewSize = 200;
    static constexpr int MaxPreviewSize = 16384;
    static constexpr int MinHistoryStates = 0;
    static constexpr int MaxHistoryStates = 1000;

    explicit TFrmOptions(QWidget* parent = nullptr);

    // Reads the options file (or takes the defaults) into the record and the
    // controls.
    void LoadOptions();
    // Takes the controls' values into the record and writes the file; says
    // first that a changed number of history states waits for the next run.
    // False when the file could not be written (nothing else is reported).
    bool SaveOptions();

    TProgramOptions& Options() { return Record; }
    const TProgramOptions& Options() const { return Record; }

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* CmbWinSize = nullptr;
    QLabel* Label3 = nullptr;
    QSpinBox* SpnWidth = nullptr;
    QLabel* Label4 = nullptr;
    QSpinBox* SpnHeight = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label5 = nullptr;
    QSpinBox* SpnHistory = nullptr;
    QPushButton* BtnOk = nullptr;
    QPushButton* BtnCancel = nullptr;

private:
    void UpdateSizeEnabling();
    void BtnOkClick();

    TProgramOptions Record;
};
