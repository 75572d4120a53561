#pragma once

#include <array>
#include <span>

// The codes the main window keeps in CurrentTool, shared by the tools
// palette, the option panel and the view. They are stored nowhere; only the
// palette's button group holds them as plain numbers (its button ids).
enum class TToolCode : int {
    None = 0,
    Pencil = 1,
    Brush = 2,
    Eraser = 3,
    PaintBucket = 4,
    Lighten = 5,
    Darken = 6,
    Rectangle = 23,
    Ellipse = 24,
    Text = 27,
    BalloonRect = 28,
    BalloonRounded = 29,
    BalloonEllipse = 30,
    BalloonThought = 31,
    BalloonShout = 32,
    Hand = 41,
    Dropper = 42,
};

// The page of the tool option panel a tool shows.
enum class TOptionPage {
    Normal,
    Pencil,
    Brush,
    Eraser,
    PaintBucket,
    Lighten,
    Darken,
    Rectangle,
    Ellipse,
    Text,
    Balloon,
    Dropper,
};

// The view's cursor over the picture. The hand's depends on whether there is
// anything to scroll, which the view decides.
enum class TToolCursor { Arrow, Cross, Hand };

// How a tool works: freehand strokes with a cursor outline, one fill per
// click, an object placed and then committed, or neither (view and picker).
enum class TToolKind { None, Stroke, Fill, Placed, View, Picker };

struct TToolInfo {
    TToolCode Code;
    // The name on the palette button and in its tooltip.
    const char* Name;
    // The palette button's control name.
    const char* Button;
    TOptionPage Page;
    TToolCursor Cursor;
    // The history step a finished operation records; nullptr for none.
    const char* HistoryOperation;
    const char* HistoryDetail;
    TToolKind Kind;
};

// One row per tool code, in the palette's order: the hand and the dropper
// first, then the painting tools in pairs. The history texts are the
// program's own, spelling included.
inline constexpr std::array<TToolInfo, 17> ToolTable{{
    {TToolCode::None, "", "", TOptionPage::Normal, TToolCursor::Arrow, nullptr, nullptr, TToolKind::None},
    {TToolCode::Hand, "Hand", "BtnGrabber", TOptionPage::Normal, TToolCursor::Hand, nullptr, nullptr, TToolKind::View},
    {TToolCode::Dropper, "Color Dropper", "BtnEyedropper", TOptionPage::Dropper, TToolCursor::Cross, nullptr, nullptr,
     TToolKind::Picker},
    {TToolCode::Pencil, "Pencil", "BtnPencil", TOptionPage::Pencil, TToolCursor::Cross, "Pencil", "--",
     TToolKind::Stroke},
    {TToolCode::Brush, "Brush", "BtnBrush", TOptionPage::Brush, TToolCursor::Cross, "Brush", "--", TToolKind::Stroke},
    {TToolCode::Eraser, "Eraser", "BtnEraser", TOptionPage::Eraser, TToolCursor::Cross, "Eraser", "--",
     TToolKind::Stroke},
    {TToolCode::PaintBucket, "Paint Bucket", "BtnPaintbucket", TOptionPage::PaintBucket, TToolCursor::Cross,
     "Paint Bucket", "--", TToolKind::Fill},
    {TToolCode::Lighten, "Lighten Tool", "BtnLighting", TOptionPage::Lighten, TToolCursor::Cross, "Lighten Tool", "--",
     TToolKind::Stroke},
    {TToolCode::Darken, "Darken Tool", "BtnDarken", TOptionPage::Darken, TToolCursor::Cross, "Darken Tool", "--",
     TToolKind::Stroke},
    {TToolCode::Rectangle, "Rectangle", "BtnRectangle", TOptionPage::Rectangle, TToolCursor::Cross, "Rectangle", "--",
     TToolKind::Placed},
    {TToolCode::Ellipse, "Ellipse", "BtnEllipse", TOptionPage::Ellipse, TToolCursor::Cross, "Ellipse", "--",
     TToolKind::Placed},
    {TToolCode::Text, "Text", "BtnText", TOptionPage::Text, TToolCursor::Cross, "Text", "--", TToolKind::Placed},
    {TToolCode::BalloonRect, "Text Balloon (Rectangle)", "BtnTxtBalloonA", TOptionPage::Balloon, TToolCursor::Cross,
     "Text Balloon", "Type: Rectangle", TToolKind::Placed},
    {TToolCode::BalloonRounded, "Text Balloon (Rounded Rectangle)", "BtnTxtBalloonB", TOptionPage::Balloon,
     TToolCursor::Cross, "Text Balloon", "Type: Rounded Rectangle", TToolKind::Placed},
    {TToolCode::BalloonEllipse, "Text Balloon (Ellipse)", "BtnTxtBalloonC", TOptionPage::Balloon, TToolCursor::Cross,
     "Text Balloon", "Type: Ellipse", TToolKind::Placed},
    {TToolCode::BalloonThought, "Text Balloon (Thought)", "BtnTxtBalloonD", TOptionPage::Balloon, TToolCursor::Cross,
     "Text Balloon", "Type: Thought", TToolKind::Placed},
    {TToolCode::BalloonShout, "Text Balloon (Shout)", "BtnTxtBalloonE", TOptionPage::Balloon, TToolCursor::Cross,
     "Text Balloon", "Type: Shout", TToolKind::Placed},
}};

// The row of a code; nullptr for a value that is no tool code.
constexpr const TToolInfo* FindTool(TToolCode code)
{
    for (const TToolInfo& info : ToolTable)
        if (info.Code == code)
            return &info;
    return nullptr;
}

// The codes that have a palette button, in palette order.
constexpr std::span<const TToolInfo> PaletteTools() { return std::span(ToolTable).subspan(1); }
