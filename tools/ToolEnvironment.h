#pragma once

#include "document/Rect.h"
#include "picture/Bitmap.h"
#include "tools/ToolCodes.h"
#include "tools/ToolSettings.h"

#include <cstdint>

// A colour as the palette holds it; written into a layer as blue, green, red.
struct TToolColor {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
    friend bool operator==(const TToolColor&, const TToolColor&) = default;
};

// The view's cursor while it is over a placed object: what a drag there does.
enum class TObjectCursor { Arrow, SizeNWSE, SizeWE, SizeNESW, SizeNS, Move };

// The layers a tool writes to, sketch first; nullptr for a layer whose
// drawable box is not ticked.
struct TDrawTargets {
    TBitmap* Sketch = nullptr;
    TBitmap* Color = nullptr;
};

// Everything a tool may see and do. The main window implements it over the
// document, the palette and the option panel; the tests over plain pictures.
class TToolEnvironment {
public:
    virtual ~TToolEnvironment() = default;

    // Read at the moment of writing, so that the drawable boxes count as
    // they stand.
    virtual TDrawTargets DrawableLayers() = 0;
    // The composite the view shows; tools read it and draw their outline in it.
    virtual TBitmap& ViewBitmap() = 0;
    // Scratch copies of the two layers, with no meaning between operations.
    virtual TBitmap& SketchWork() = 0;
    virtual TBitmap& ColorWork() = 0;
    // Both layers whatever their drawable boxes: a placed object puts back
    // what it covered on each.
    virtual TBitmap& SketchLayer() = 0;
    virtual TBitmap& ColorLayer() = 0;

    virtual TToolColor FrontColor() const = 0;
    virtual TToolColor BackColor() const = 0;
    virtual void SetFrontColor(TToolColor color) = 0;
    virtual void SetBackColor(TToolColor color) = 0;
    virtual bool PaletteShown() const = 0;
    virtual TToolSettings Settings() const = 0;
    // The option page of a placed-object tool.
    virtual TObjectSettings ObjectSettings(TToolCode code) const = 0;
    // Shows settings on that page, without asking for a refresh: an object
    // opened again, or one whose body was sized by hand.
    virtual void SetObjectSettings(TToolCode code, const TObjectSettings& settings) = 0;
    // Says on the page whether the pending object's text is cut.
    virtual void ShowTextCut(bool cut) = 0;
    virtual void SetObjectCursor(TObjectCursor cursor) = 0;

    // The visible part of the picture.
    virtual TRect ViewRect() const = 0;
    // Recomputes the composite inside a rectangle (clamped to the picture).
    virtual void RebuildComposite(const TRect& rect) = 0;
    // Recomputes all of the composite, for a tool that judges all of it.
    virtual void RebuildAll() = 0;
    // Shows a rectangle of the composite on the screen.
    virtual void PaintRect(const TRect& rect) = 0;

    // The history step of the current tool (its table row's texts).
    virtual void RecordToolStep() = 0;
    // The same step in place of the current one, for an object edited again.
    virtual void ReplaceToolStep() = 0;
    // A number for the history step the document stands at, which no other
    // step shares; 0 while there is none.
    virtual std::uint64_t CurrentStep() const = 0;
    // While an object is placed the document commands are off.
    virtual void DisableCommands() = 0;
    virtual void UpdateCommands() = 0;
    virtual void MakeToolCurrent(TToolCode code) = 0;

    // Readings for the option panel (shown only when the panel is).
    virtual void ShowPointerInfo(int x, int y) = 0;
    virtual void ShowDropperReading(int x, int y, TToolColor color) = 0;

    // The hand: scrolls the view by picture pixels, within its bounds, and
    // shows the closed hand while it holds the picture.
    virtual void ScrollView(int dx, int dy) = 0;
    virtual void SetGrabbing(bool grabbing) = 0;
};
