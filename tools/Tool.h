#pragma once

#include <cstdint>

// A point of the picture, in picture pixels. Points right of, below, left of
// or above the picture reach the tools too; they clip their writes.
struct TToolPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TToolPoint&, const TToolPoint&) = default;
};

// The pointer buttons, as a set; the view translates its toolkit's buttons.
enum class TMouseButton : std::uint8_t { None = 0, Left = 1, Right = 2, Middle = 4 };

struct TMouseButtons {
    std::uint8_t Bits = 0;

    constexpr TMouseButtons() = default;
    constexpr TMouseButtons(TMouseButton button)
        : Bits(std::uint8_t(button))
    {
    }
    constexpr bool Has(TMouseButton button) const { return (Bits & std::uint8_t(button)) != 0; }
    constexpr TMouseButtons operator|(TMouseButtons other) const
    {
        TMouseButtons sum;
        sum.Bits = std::uint8_t(Bits | other.Bits);
        return sum;
    }
    friend bool operator==(const TMouseButtons&, const TMouseButtons&) = default;
};

// A drawing tool, driven by the view with picture points. A tool reaches the
// document, the colours and the option panel only through the environment it
// was made with (ToolEnvironment.h), so that it runs without any window.
class TTool {
public:
    virtual ~TTool() = default;

    // Any button pressed or released at a point; `held` are the buttons down
    // after the change.
    virtual void Press(TToolPoint point, TMouseButton button, TMouseButtons held) = 0;
    virtual void Move(TToolPoint point, TMouseButtons held) = 0;
    virtual void Release(TToolPoint point, TMouseButton button, TMouseButtons held) = 0;
    // The tool's button was clicked: it becomes current.
    virtual void Select() {}
    // A setting or a colour changed and the view has just been rebuilt from
    // the layers: the tool shows its outline or pending object again.
    virtual void Refresh() {}
    // Another tool is chosen: the tool finishes what it shows.
    virtual void Commit() {}
    // The Delete key or a cancel button: a pending object is thrown away.
    virtual void Cancel() {}
};
