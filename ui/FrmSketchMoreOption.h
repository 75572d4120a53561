#pragma once

#include "engine/EffectSettings.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class TRadioGroup;
class TSpinEdit;
class TTrackSpin;

// The sketch settings that the preview's Sketch tab does not show: the sketch
// type, the line sharpening and the keeping of dark areas. Created once at
// start-up and kept for the whole run; each preview dialog attaches its
// settings record while it lives, recomputes on RenderRequested, and reads
// and sets the controls through TakeSettings and ApplySettings.
//
// OK keeps every change; Cancel (button, Esc or close box) returns the
// controls and the preview's record to what they were when it was shown.
class TFrmSketchMoreOption : public QDialog {
    Q_OBJECT

public:
    explicit TFrmSketchMoreOption(QWidget* parent = nullptr);

    // The preview dialog's record, or null when no preview dialog lives.
    void Attach(TEffectSettings* settings) { Record = settings; }

    // Writes SketchType, Sharper, RemainDark, RemainThreshold, RemainDarkness.
    void TakeSettings(TEffectSettings& settings) const;
    // Shows those fields in the controls (each limited to its control) and
    // enables the dark-area controls for the check box; emits nothing.
    void ApplySettings(const TEffectSettings& settings);

    TRadioGroup* RG_SketchType = nullptr;
    QGroupBox* GrpSharper = nullptr;
    TTrackSpin* Sharper = nullptr;
    QGroupBox* GrpRemain = nullptr;
    QCheckBox* Chk_Remain = nullptr;
    TTrackSpin* Threshold = nullptr;
    TTrackSpin* Darkness = nullptr;
    QLabel* Lab_Threshold = nullptr;
    QLabel* Lab_Darkness = nullptr;
    QPushButton* Btn_Ok = nullptr;
    QPushButton* BtnCancel = nullptr;

signals:
    // A control changed while the dialog was on screen; also sent by Cancel.
    void RenderRequested();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void UpdateRemainEnabling();
    void Changed();

    TEffectSettings* Record = nullptr;
    TEffectSettings SettingsSnapshot{};
};
