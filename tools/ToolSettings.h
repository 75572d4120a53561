#pragma once

#include "tools/ToolCodes.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

// The values the stroke tools and the paint bucket paint with, as plain
// numbers (the option panel's track bar positions). A new value holds every
// setting's default from ToolSettingTable.
struct TToolSettings {
    int PencilSize = 0;
    int BrushSize = 0;
    int BrushContent = 0;
    int BrushOpacity = 0;
    int EraserSize = 0;
    int Tolerance = 0;
    int LightenSize = 0;
    int LightenContrast = 0;
    int DarkenSize = 0;
    int DarkenContrast = 0;

    constexpr TToolSettings();
    friend bool operator==(const TToolSettings&, const TToolSettings&) = default;
};

// One numeric tool setting: a track bar paired with a spin edit on the
// option panel.
struct TToolSetting {
    // The pair's controls are Trc<Name> and Spn<Name>.
    const char* Name;
    int TToolSettings::*Field;
    TOptionPage Page;
    const char* Caption;
    // The track bar's range and start position, which the tool uses.
    int Min;
    int Max;
    int Default;
    // The spin edit's upper end and the number it shows at start, where the
    // box may run past the track bar (which then stays at its end).
    int SpinMax;
    int SpinShown;
    // Whether a change redraws the tool's cursor outline.
    bool ShowsInOutline;
};

// In the panel's order: the pages, and the pairs on each page from the top.
// The brush opacity starts at full (8) while its box shows 3, until the user
// changes either control; the tolerance shows in no outline.
inline constexpr std::array<TToolSetting, 10> ToolSettingTable{{
    // clang-format off
    // Name, Field, Page, Caption; Min, Max, Default; SpinMax, SpinShown; ShowsInOutline
    {"PencilSize",      &TToolSettings::PencilSize,      TOptionPage::Pencil,      "Size:",      1, 100,   1, 100,   1, true},
    {"BrushSize",       &TToolSettings::BrushSize,       TOptionPage::Brush,       "Size:",      1, 100,  20, 100,  20, true},
    {"BrushContent",    &TToolSettings::BrushContent,    TOptionPage::Brush,       "Content:",   1,   6,   3,   6,   3, true},
    {"BrushOpacity",    &TToolSettings::BrushOpacity,    TOptionPage::Brush,       "Opacity:",   1,   8,   8,  50,   3, true},
    {"EraserSize",      &TToolSettings::EraserSize,      TOptionPage::Eraser,      "Size:",      1, 100,  30, 100,  30, true},
    {"Tolerance",       &TToolSettings::Tolerance,       TOptionPage::PaintBucket, "Tolerance:", 0, 128,  32, 128,  32, false},
    {"LightenSize",     &TToolSettings::LightenSize,     TOptionPage::Lighten,     "Size:",      1, 100,  10, 100,  10, true},
    {"LightenContrast", &TToolSettings::LightenContrast, TOptionPage::Lighten,     "Contrast:",  0, 255, 128, 255, 128, true},
    {"DarkenSize",      &TToolSettings::DarkenSize,      TOptionPage::Darken,      "Size:",      1, 100,  10, 100,  10, true},
    {"DarkenContrast",  &TToolSettings::DarkenContrast,  TOptionPage::Darken,      "Contrast:",  0, 255, 128, 255, 128, true},
    // clang-format on
}};

constexpr TToolSettings::TToolSettings()
{
    for (const TToolSetting& setting : ToolSettingTable)
        this->*setting.Field = setting.Default;
}

// Every field of TToolSettings has exactly one row.
static_assert(sizeof(TToolSettings) == ToolSettingTable.size() * sizeof(int));
static_assert([] {
    for (std::size_t i = 0; i < ToolSettingTable.size(); ++i)
        for (std::size_t j = i + 1; j < ToolSettingTable.size(); ++j)
            if (ToolSettingTable[i].Field == ToolSettingTable[j].Field)
                return false;
    return true;
}());

// A numeric setting of the placed objects' pages: a plain spin box, named
// Spn<page prefix><Name> (SpnRectBorderW). The caption is the border width's
// label and the font size's tooltip.
struct TObjectSetting {
    const char* Name;
    const char* Caption;
    int Min;
    int Max;
    int Default;
};

inline constexpr TObjectSetting BorderWidthSetting{"BorderW", "Border Width:", 1, 10, 1};
inline constexpr TObjectSetting FontSizeSetting{"FontSize", "Font Size", 6, 1000, 12};

// How the lines of an object's text sit across it. Lines running right to
// left start at the right edge when aligned to the start.
enum class TTextAlign { Left, Center };

// The settings of a placed object's option page at one moment: frame width,
// font, the memo's lines (UTF-8, any text a user can type) and the lettering
// options. A value made in code has every lettering option off and draws
// exactly as the objects always did; the panel starts new objects with the
// options of ObjectOptionTable.
struct TObjectSettings {
    // The text page has no frame; its objects take the default.
    int BorderWidth = BorderWidthSetting.Default;
    // Face name; empty for the toolkit's default face.
    std::string FontName;
    // Points; 0 or less while the size box is blank (the last size stays).
    int FontSize = FontSizeSetting.Default;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    std::vector<std::string> Lines;
    // A balloon's body takes the size its text needs.
    bool FitToText = false;
    // Lines break at word boundaries to fit their object, instead of being cut.
    bool WrapWords = false;
    // Text, outlines and tails are antialiased against the layer beneath.
    bool SmoothEdges = false;
    // A balloon points at a second speaker too.
    bool SecondTail = false;
    TTextAlign Align = TTextAlign::Left;
    friend bool operator==(const TObjectSettings&, const TObjectSettings&) = default;
};

// A set of option pages, one bit per page.
using TPageSet = unsigned;
constexpr TPageSet PageBit(TOptionPage page) { return 1u << unsigned(page); }
inline constexpr TPageSet BalloonPages = PageBit(TOptionPage::Balloon);
inline constexpr TPageSet AllObjectPages =
    PageBit(TOptionPage::Rectangle) | PageBit(TOptionPage::Ellipse) | PageBit(TOptionPage::Text) | BalloonPages;

// A check box of the placed objects' pages, named Chk<page prefix><Name>
// (ChkBalloonFitToText).
struct TObjectOption {
    const char* Name;
    const char* Caption;
    bool TObjectSettings::*Field;
    TPageSet Pages;
    // Whether a fresh panel has it ticked.
    bool Start;
};

// In the order the pages show them.
inline constexpr std::array<TObjectOption, 4> ObjectOptionTable{{
    {"FitToText", "Fit to text", &TObjectSettings::FitToText, BalloonPages, true},
    {"WrapWords", "Wrap words", &TObjectSettings::WrapWords, AllObjectPages, true},
    {"SmoothEdges", "Smooth edges", &TObjectSettings::SmoothEdges, AllObjectPages, true},
    {"SecondTail", "Second tail", &TObjectSettings::SecondTail, BalloonPages, false},
}};

// A drop-down choice of the placed objects' pages, named Cmb<page prefix><Name>;
// its items in the order of the enumeration's values.
struct TObjectChoice {
    const char* Name;
    const char* Caption;
    TTextAlign TObjectSettings::*Field;
    TPageSet Pages;
    std::array<const char*, 2> Items;
    TTextAlign Start;
};

inline constexpr std::array<TObjectChoice, 1> ObjectChoiceTable{{
    {"Align", "Lines:", &TObjectSettings::Align, BalloonPages, {"Left", "Centered"}, TTextAlign::Center},
}};

// The settings a fresh panel hands back for a page: the start values of its
// options.
inline TObjectSettings StartObjectSettings(TOptionPage page)
{
    TObjectSettings settings;
    for (const TObjectOption& option : ObjectOptionTable)
        if (option.Pages & PageBit(page))
            settings.*option.Field = option.Start;
    for (const TObjectChoice& choice : ObjectChoiceTable)
        if (choice.Pages & PageBit(page))
            settings.*choice.Field = choice.Start;
    return settings;
}
