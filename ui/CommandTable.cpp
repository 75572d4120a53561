#include "ui/CommandTable.h"

#include "settings/ProgramDir.h"
#include "ui/FrmMain.h"

#include <array>

namespace {

using enum TCommand;
using enum TCommandNeeds;

constexpr bool Separator = true;
constexpr bool Submenu = true;
constexpr bool Check = true;
constexpr bool OffWhilePending = true;

// Until a picture is open only Open, Recent Files, Batch, Options, Exit, the
// panel toggles, Help and About can be chosen. While an object is being placed
// nothing that opens a file, saves or changes the layers can; the view, Copy
// and Undo go on (Undo first drops the object).
constexpr std::array<TCommandRow, CommandCount> Rows{{
    {Open, "File", "MenuItem_Open", "&Open", "Ctrl+O", false, false, false, Nothing, OffWhilePending,
     [](TFrmMain& m) { m.OpenPicture(); }},
    {Save, "File", "MenuItem_SaveAs", "&Save", "Ctrl+S", false, false, false, Picture, OffWhilePending,
     [](TFrmMain& m) { m.Save(); }},
    {RecentFiles, "File", "MenuRecentFiles", "Recent Files", "", false, Submenu, false, RecentFile, OffWhilePending,
     nullptr},
    // A batch works on files of its own, beside the open picture.
    {Batch, "File", "MenuItem_Batch", "&Batch...", "", Separator, false, false, Nothing, false,
     [](TFrmMain& m) { m.ShowBatch(); }},
    {Options, "File", "MenuItem_Options", "Options", "", Separator, false, false, Nothing, false,
     [](TFrmMain& m) { m.ShowOptions(); }},
    {Exit, "File", "MenuItem_Exit", "E&xit", "Ctrl+Q", Separator, false, false, Nothing, false,
     [](TFrmMain& m) { m.ExitProgram(); }},
    // The combinations other programs use for Redo work too.
    {Undo, "Edit", "MenuItem_Undo", "Undo", "Ctrl+Z", false, false, false, UndoStep, false,
     [](TFrmMain& m) { m.Undo(); }},
    {Redo, "Edit", "MenuItem_Redo", "Redo", "Ctrl+Alt+Z; Ctrl+Shift+Z; Ctrl+Y", false, false, false, RedoStep, false,
     [](TFrmMain& m) { m.Redo(); }},
    {EditLastObject, "Edit", "MenuItem_EditLastObject", "Edit &Last Object", "Ctrl+E", false, false, false, LastObject,
     OffWhilePending, [](TFrmMain& m) { m.EditLastObject(); }},
    {Copy, "Edit", "MenuItem_Copy", "&Copy to Clipboard", "Ctrl+C", Separator, false, false, Picture, false,
     [](TFrmMain& m) { m.CopyToClipboard(); }},
    {Classic, "Cartoon", "MenuItem_Classic", "&Lumen Quilla", "Ctrl+I", false, false, false, Picture, OffWhilePending,
     [](TFrmMain& m) { m.RunCartoon({}); }},
    {Cartoon, "Cartoon", "MenuItem_Cartoon", "Shortcut: Cartoon", "", Separator, false, false, Picture, OffWhilePending,
     [](TFrmMain& m) { m.RunShortcut(CartoonSetName); }},
    {Sketch, "Cartoon", "MenuItem_Sketch", "Shortcut: Sketch", "", false, false, false, Picture, OffWhilePending,
     [](TFrmMain& m) { m.RunShortcut(SketchSetName); }},
    {LineDrawing, "Cartoon", "MenuItem_Linedrawing", "Shortcut: Line Drawing", "", false, false, false, Picture,
     OffWhilePending, [](TFrmMain& m) { m.RunShortcut(LineDrawingSetName); }},
    {Canvas, "Cartoon", "MenuItem_Canvas", "Shortcut: Canvas", "", false, false, false, Picture, OffWhilePending,
     [](TFrmMain& m) { m.RunShortcut(CanvasSetName); }},
    // The cartoon preset fitted to the picture: night, fog, stars, large photos.
    {Auto, "Cartoon", "MenuItem_Auto", "Shortcut: &Auto", "", false, false, false, Picture, OffWhilePending,
     [](TFrmMain& m) { m.RunShortcut(CartoonSetName, TFitToPicture::Yes); }},
    {BrightContrast, "Adjustments", "MenuItem_BrightContrast", "Brightness / Contrast", "", false, false, false,
     Picture, OffWhilePending, [](TFrmMain& m) { m.ShowBrightContrast(); }},
    {Saturation, "Adjustments", "MenuItem_Saturation", "Saturation", "", false, false, false, Picture, OffWhilePending,
     [](TFrmMain& m) { m.ShowSaturation(); }},
    {ColorBalance, "Adjustments", "MenuItem_ColorBalance", "Color Balance", "", false, false, false, Picture,
     OffWhilePending, [](TFrmMain& m) { m.ShowColorBalance(); }},
    // And the zoom keys of other picture programs.
    {ZoomIn, "View", "MenuItem_ZoomIn", "Zoom In", "Ctrl+Right; Ctrl++; Ctrl+=", false, false, false, Picture, false,
     [](TFrmMain& m) { m.ZoomIn(); }},
    {ZoomOut, "View", "MenuItem_ZoomOut", "Zoom Out", "Ctrl+Left; Ctrl+-", false, false, false, Picture, false,
     [](TFrmMain& m) { m.ZoomOut(); }},
    {ActualPixels, "View", "MenuItem_ActualPixels", "Actual Pixels", "Ctrl+0", false, false, false, Picture, false,
     [](TFrmMain& m) { m.ActualPixels(); }},
    {FitWindow, "View", "MenuItem_FitWindow", "Fit in Window", "Ctrl+9", false, false, false, Picture, false,
     [](TFrmMain& m) { m.FitInWindow(); }},
    {History, "Window", "MenuItem_History", "History", "", false, false, Check, Nothing, false, nullptr},
    {Layers, "Window", "MenuItem_Layers", "Layers", "", false, false, Check, Nothing, false, nullptr},
    {Tools, "Window", "MenuItem_Tools", "Tools", "", false, false, Check, Nothing, false, nullptr},
    {ToolOption, "Window", "MenuItem_ToolOption", "Tool Option", "", false, false, Check, Nothing, false, nullptr},
    {Content, "Help", "Content1", "&Content", "F1", false, false, false, Nothing, false,
     [](TFrmMain& m) { m.ShowContent(); }},
    {About, "Help", "About1", "&About", "", false, false, false, Nothing, false, [](TFrmMain& m) { m.ShowAbout(); }},
}};

constexpr bool InCommandOrder()
{
    for (std::size_t i = 0; i < Rows.size(); ++i)
        if (int(Rows[i].Command) != int(i))
            return false;
    return true;
}
static_assert(InCommandOrder(), "CommandRow looks a command up by its number");

constexpr std::array<TToolBarButton, 14> Buttons{{
    {Open, TIcon::Open, "Tol_Open", false},
    {Save, TIcon::Save, "Tol_SaveAs", false},
    {Copy, TIcon::Copy, "Tol_Copy", false},
    {Undo, TIcon::Undo, "Tol_Undo", false},
    {Redo, TIcon::Redo, "Tol_Redo", false},
    {ZoomIn, TIcon::ZoomIn, "Tol_ZoomIn", Separator},
    {ZoomOut, TIcon::ZoomOut, "Tol_ZoomOut", false},
    {ActualPixels, TIcon::ActualPixels, "Tol_ActualPixels", false},
    {Classic, TIcon::Cartoon, "Tol_Classic", Separator},
    {History, TIcon::History, "Tol_History", Separator},
    {Layers, TIcon::Layers, "Tol_Layers", false},
    {Tools, TIcon::Tools, "Tol_Tools", false},
    {ToolOption, TIcon::ToolOption, "Tol_ToolOption", false},
    {Content, TIcon::Help, "Tol_Help", Separator},
}};

} // namespace

std::span<const TCommandRow> CommandTable() { return Rows; }

const TCommandRow& CommandRow(TCommand command) { return Rows[std::size_t(command)]; }

bool CommandEnabled(const TCommandRow& row, const TCommandState& state)
{
    if (row.OffWhileObjectPending && state.ObjectPending)
        return false;
    switch (row.Needs) {
    case Nothing: return true;
    case Picture: return state.PictureOpened;
    case UndoStep: return state.PictureOpened && state.CanUndo;
    case RedoStep: return state.PictureOpened && state.CanRedo;
    case RecentFile: return state.HasRecentFiles;
    case LastObject: return state.PictureOpened && state.CanEditLastObject;
    }
    return false;
}

std::span<const TToolBarButton> ToolBarButtons() { return Buttons; }
