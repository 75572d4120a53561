#pragma once

#include "tools/ToolCodes.h"

#include <QIcon>
#include <QString>

#include <optional>
#include <span>

// The program's artwork: one SVG per picture, compiled into the program, so
// every icon is drawn sharp at any size and device pixel ratio.
enum class TIcon {
    // Tool bar
    Open,
    Save,
    Copy,
    Undo,
    Redo,
    ZoomIn,
    ZoomOut,
    ActualPixels,
    Cartoon,
    History,
    Layers,
    Tools,
    ToolOption,
    Help,
    // Tools palette
    Pencil,
    Brush,
    Eraser,
    PaintBucket,
    Lighten,
    Darken,
    RectangleBox,
    EllipseBox,
    Text,
    BalloonRectangle,
    BalloonRounded,
    BalloonEllipse,
    BalloonThought,
    BalloonShout,
    Hand,
    Dropper,
    // Windows and the desktop
    Application,
};

std::span<const TIcon> AllIcons();

// The resource path of the icon's SVG, ":/icons/NAME.svg".
QString IconResource(TIcon icon);
QIcon IconFor(TIcon icon);

// The palette button's picture of a tool; nothing for codes without a button.
std::optional<TIcon> ToolIcon(TToolCode code);
