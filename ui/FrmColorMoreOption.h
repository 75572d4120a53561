#pragma once

#include "engine/EffectSettings.h"
#include "ui/PresetFiles.h"

#include <QDialog>

#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class TColorScaleRuler;
class TRadioGroup;
class TSpinEdit;
class TTrackSpin;

// The colouring settings that the preview's tabs do not show: the colours
// table row of the current Color Scale on a ruler (its interior boundaries
// are dragged or typed, the whole table reset, loaded or saved as a .ctb
// file), the scale type, the smooth type, the blending mode and the opacity.
// Created once at start-up and kept for the whole run; each preview dialog
// attaches its settings record, whose colours table is edited in place, and
// recomputes on RenderRequested.
//
// OK keeps every change; Cancel (button, Esc or close box) returns the
// controls and the preview's whole record, table included, to what they were
// when it was shown.
class TFrmColorMoreOption : public QDialog {
    Q_OBJECT

public:
    explicit TFrmColorMoreOption(QWidget* parent = nullptr);

    // The preview dialog's record and its current Color Scale, or null and
    // empty when no preview dialog lives.
    void Attach(TEffectSettings* settings, std::function<int()> colorScale);

    // Writes ScaleType, SmoothType, BlendMode and Opacity.
    void TakeSettings(TEffectSettings& settings) const;
    // Shows those fields in the controls (each limited to its control) and
    // enables the opacity controls for the mode; emits nothing.
    void ApplySettings(const TEffectSettings& settings);

    // The boundary being edited (2..n-1 of the current row), or -1.
    int SelectedMarker() const { return Selected; }

    // Answered by tests in place of a person.
    TFileDialogFunction OpenDialog = RunOpenDialog;
    TFileDialogFunction SaveDialog = RunSaveDialog;
    TConfirmFunction Confirm = ConfirmBox;

    QGroupBox* GrpColorScaleDetail = nullptr;
    TColorScaleRuler* Ruler = nullptr;
    QLabel* Lab_Boundary = nullptr;
    TSpinEdit* Spn_Boundary = nullptr;
    QPushButton* BtnReset = nullptr;
    QPushButton* BtnLoad = nullptr;
    QPushButton* BtnSave = nullptr;
    TRadioGroup* RG_ColorScaleColor = nullptr;
    TRadioGroup* RG_SmoothType = nullptr;
    QGroupBox* GrpBlending = nullptr;
    QRadioButton* RB_Multiply = nullptr;
    QRadioButton* RB_Overlay = nullptr;
    TTrackSpin* Opacity = nullptr;
    QLabel* Lab_Blending2 = nullptr;
    QPushButton* Btn_Ok = nullptr;
    QPushButton* BtnCancel = nullptr;

signals:
    // A setting or the table changed while the dialog was on screen; also
    // sent by Reset, Load and Cancel.
    void RenderRequested();

public slots:
    void reject() override;

    // The colours table was replaced (a preset loaded, the settings fitted):
    // the selection goes and the ruler shows the row again.
    void TableChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The row of the current Color Scale, or null (no record, scale 0).
    std::uint8_t* CurrentRow() const;
    void ClearSelection();
    void RedrawRuler();
    void UpdateOpacityEnabling();
    void Changed();
    void RulerPressed(QPoint position, Qt::MouseButton button);
    void RulerDragged(QPoint position, Qt::MouseButtons buttons);
    void Spn_BoundaryChange(const QString& text);
    void Spn_BoundaryExit();
    void SetBoundary(int value);
    void BtnResetClick();
    void BtnLoadClick();
    void BtnSaveClick();

    TEffectSettings* Record = nullptr;
    std::function<int()> ColorScale;
    TEffectSettings SettingsSnapshot{};
    int Selected = -1;
};
