#pragma once

#include "ui/Icons.h"

#include <span>

class TFrmMain;

// The main window's commands, in menu order.
enum class TCommand {
    Open,
    Save,
    RecentFiles,
    Batch,
    Options,
    Exit,
    Undo,
    Redo,
    EditLastObject,
    Copy,
    Classic,
    Cartoon,
    Sketch,
    LineDrawing,
    Canvas,
    Auto,
    BrightContrast,
    Saturation,
    ColorBalance,
    ZoomIn,
    ZoomOut,
    ActualPixels,
    FitWindow,
    History,
    Layers,
    Tools,
    ToolOption,
    Content,
    About,
};
inline constexpr int CommandCount = int(TCommand::About) + 1;

// What a command needs before it can be chosen, besides there being no
// object pending when it is off while one is.
enum class TCommandNeeds {
    Nothing,
    Picture,
    // A picture and a history state to go back to, or forward to.
    UndoStep,
    RedoStep,
    // A file in the recent files list.
    RecentFile,
    // A picture, the drawing tools, and a committed object that no other
    // history step has followed.
    LastObject,
};

// What the commands' availability is decided from.
struct TCommandState {
    bool PictureOpened = false;
    // A drawing tool is placing an object, which opening a file, saving or a
    // command that changes the layers would silently drop.
    bool ObjectPending = false;
    bool CanUndo = false;
    bool CanRedo = false;
    bool HasRecentFiles = false;
    bool CanEditLastObject = false;
};

struct TCommandRow {
    TCommand Command;
    // The menu's title; a new title starts the next menu.
    const char* Menu;
    // The object name, which the tests and the tool bar buttons go by.
    const char* Name;
    const char* Caption;
    // Shortcuts separated by "; ", the one shown first; empty for none.
    const char* Keys;
    bool SeparatorBefore;
    // A submenu (Recent Files) rather than an item.
    bool Submenu;
    // A check item that shows or hides a panel; it has no action of its own.
    bool Checkable;
    TCommandNeeds Needs;
    bool OffWhileObjectPending;
    // nullptr for the submenu and the panel toggles, which the window ties up itself.
    void (*Run)(TFrmMain& main);
};

// One row per command, in TCommand order.
std::span<const TCommandRow> CommandTable();
const TCommandRow& CommandRow(TCommand command);

bool CommandEnabled(const TCommandRow& row, const TCommandState& state);

// A tool bar button: the command it runs and shares its enabled and checked
// states with, its icon, and its object name.
struct TToolBarButton {
    TCommand Command;
    TIcon Icon;
    const char* Name;
    bool SeparatorBefore;
};

std::span<const TToolBarButton> ToolBarButtons();
