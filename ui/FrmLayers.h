#pragma once

#include "ui/PanelWindow.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QSlider;
class TSpinEdit;
class TTrackSpin;
struct TLayerState;

// The layers panel: the one view and editor of the document's layer settings.
// A change the user makes is written into the state at once and asks for a
// view refresh (a drawable box asks for a tool preview refresh instead, so
// that an object being placed is redrawn on the layers now drawable). Layer
// changes are not history steps of their own; they travel with the next one.
class TFrmLayers : public TPanelWindow {
    Q_OBJECT

public:
    explicit TFrmLayers(TLayerState& state, QWidget* owner = nullptr);

    TLayerState& LayerState() const { return State; }

    // Shows the state in the controls with their handlers detached, so that
    // nothing is emitted. For the main window after anything replaced the
    // state: an open, a project read, a history restore, an effect result.
    // A mode the panel does not list is shown and kept as Multiply, an
    // opacity outside 1..99 as the nearest limit.
    void ShowLayerState();
    // Shows the opacity controls for the Opacity mode and hides them for
    // Multiply.
    void UpdateOpacityControls();

    QLabel* Lab_BlendingMode = nullptr;
    QComboBox* CmbBlendingMode = nullptr;
    TTrackSpin* Opacity = nullptr;
    QLabel* Lab_Opacity = nullptr;
    QSlider* Trc_Opacity = nullptr;
    TSpinEdit* Spn_Opacity = nullptr;
    QFrame* HeaderBar = nullptr;
    QLabel* Lab_Visible = nullptr;
    QLabel* Lab_Drawable = nullptr;
    QLabel* Lab_LayerName = nullptr;
    QCheckBox* Chk_SketchVisible = nullptr;
    QCheckBox* Chk_SketchDrawable = nullptr;
    QLabel* Lab_SketchLayer = nullptr;
    QCheckBox* Chk_ColorVisible = nullptr;
    QCheckBox* Chk_ColorDrawable = nullptr;
    QLabel* Lab_ColorLayer = nullptr;

signals:
    void RefreshViewRequested();
    void RefreshToolPreviewRequested();

private:
    void CmbBlendingModeChange(int index);
    void OpacityChange(int value);
    void Spn_OpacityEdited(bool changed);
    void BuildLayout();

    TLayerState& State;
};
