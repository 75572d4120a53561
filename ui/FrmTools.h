#pragma once

#include "tools/ToolCodes.h"
#include "ui/PanelWindow.h"

#include <QColor>

#include <functional>
#include <optional>
#include <span>

class QButtonGroup;
class QGroupBox;
class QToolButton;
class TColorSwatch;

// Whether the drawing tools can be used: not before a picture is open, and
// not while the view is zoomed below 100 %.
enum class TPaletteState { NoPicture = 0, ZoomTooSmall = 1, Ready = 2 };

// The tools palette: one button per tool in an exclusive group, and the
// front and back colours. Clicks that land on disabled buttons say why the
// tools cannot be used.
class TFrmTools : public TPanelWindow {
    Q_OBJECT

public:
    // Asks the user for a colour, starting from `initial`; nothing when the
    // user cancels.
    using TColorChooser = std::function<std::optional<QColor>(QWidget* parent, QColor initial, const QString& title)>;

    // The codes of the tool buttons, in palette order.
    static std::span<const TToolCode> ToolCodes();
    // The name a tool's button shows as its tooltip; empty for other codes.
    static QString ToolName(TToolCode code);

    explicit TFrmTools(QWidget* owner = nullptr);

    TPaletteState PaletteState() const { return State; }
    // Every tool button enabled; the palette is ready.
    void EnableDrawTools();
    // Every tool button but the hand disabled; the zoom is too small.
    void DisableDrawTools();

    // Presses the tool's button without emitting anything; codes without a
    // button leave the palette as it is.
    void SetCurrentTool(TToolCode code);
    // The code of the pressed button.
    TToolCode CurrentTool() const { return Current; }
    // nullptr for a code without a button.
    QToolButton* ButtonOf(TToolCode code) const;

    QColor FrontColorValue() const;
    QColor BackColorValue() const;
    // For the program (the colour dropper); emit nothing.
    void SetFrontColor(QColor color);
    void SetBackColor(QColor color);

    // Tests put a chooser in the place of the colour dialog.
    void SetColorChooser(TColorChooser chooser);

signals:
    // The user clicked the button of a tool that can be used (also the one
    // already current).
    void ToolChosen(TToolCode code);
    // The user chose a new front or back colour.
    void ToolPreviewRefreshRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ToolButtonClick(int id);
    void SwatchPressed(TColorSwatch* swatch, const QString& title);
    void SetToolsEnabled(bool enabled);

    // Takes the clicks that land on disabled buttons.
    QGroupBox* ButtonBox = nullptr;
    // Its ids are the tool codes as numbers.
    QButtonGroup* ToolGroup = nullptr;
    TColorSwatch* FrontColor = nullptr;
    TColorSwatch* BackColor = nullptr;
    TPaletteState State = TPaletteState::NoPicture;
    TToolCode Current = TToolCode::Hand;
    TColorChooser ChooseColor;
};
