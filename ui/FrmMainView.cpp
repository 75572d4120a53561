// The view as the main window uses it: the composite rebuilt for it, the
// status panels and the tool's cursor that follow it, the zoom commands, and
// the pointer events routed to the current tool.
#include "ui/FrmMain.h"

#include "tools/Tool.h"
#include "tools/ToolBox.h"
#include "ui/FrmToolOption.h"
#include "ui/FrmTools.h"
#include "ui/PictureView.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>

const TRect& TFrmMain::ViewRect() const { return PictureView->ViewRect(); }

void TFrmMain::SetCurrentTool(TToolCode tool)
{
    Tool = tool;
    FrmTools->SetCurrentTool(Tool);
}

TTool* TFrmMain::CurrentToolObject() const { return ToolBox->Find(Tool); }

void TFrmMain::UpdateScrollBars() { UpdateScrollBars(PictureView->ScrollPosition()); }

void TFrmMain::UpdateScrollBars(QPoint position)
{
    PictureView->UpdateScrollBars(position);
    ShowViewState();
}

void TFrmMain::ShowViewState()
{
    if (!CurrentDocument.PictureOpened)
        return;
    const TBitmap& photo = CurrentDocument.SourceBitmap;
    SizePanel->setText(QString::fromStdString(PictureSizeText(photo.Width(), photo.Height())));
    ZoomPanel->setText(QString::fromStdString(ZoomText(PictureView->ZoomRate())));
    ShowToolOptionPage();
}

void TFrmMain::PaintRect(const TRect& rect) { PictureView->PaintRect(rect); }

void TFrmMain::RefreshView()
{
    if (CurrentDocument.PictureOpened)
        CurrentDocument.RebuildComposite(ViewRect());
    PictureView->PaintView();
    // The rebuild took any cursor outline away; the tool draws it again, over
    // the composite as it is now.
    if (TTool* tool = CurrentToolObject(); tool && CurrentDocument.PictureOpened)
        tool->Refresh();
}

void TFrmMain::RefreshToolPreview()
{
    // The tool shows its outline with the new settings at the end of the
    // refresh; the layer settings that may have asked for it show too.
    RefreshView();
}

void TFrmMain::ShowToolOptionPage()
{
    if (FrmToolOption)
        FrmToolOption->ShowPage(Tool);
    UpdateViewCursor();
}

void TFrmMain::UpdateViewCursor()
{
    if (const TToolInfo* info = FindTool(Tool))
        PictureView->ShowToolCursor(info->Cursor);
}

void TFrmMain::SetZoomStep(int step)
{
    if (!PictureView->SetZoomStep(step))
        return;
    ShowViewState();
    RefreshView();
    SetDrawToolsForZoom();
}

void TFrmMain::SetZoomStep(int step, QPoint anchor)
{
    if (!PictureView->SetZoomStep(step, anchor))
        return;
    ShowViewState();
    RefreshView();
    SetDrawToolsForZoom();
}

void TFrmMain::ZoomIn() { SetZoomStep(PictureView->ZoomStep() + 1); }

void TFrmMain::ZoomOut() { SetZoomStep(PictureView->ZoomStep() - 1); }

void TFrmMain::ActualPixels() { SetZoomStep(0); }

void TFrmMain::FitInWindow() { SetZoomStep(PictureView->FitStep()); }

void TFrmMain::ZoomTurned(int notches, QPoint anchor)
{
    // Each notch as the menu item would, while it can be chosen.
    for (; notches > 0; --notches)
        if (Action(TCommand::ZoomIn)->isEnabled())
            SetZoomStep(PictureView->ZoomStep() + 1, anchor);
    for (; notches < 0; ++notches)
        if (Action(TCommand::ZoomOut)->isEnabled())
            SetZoomStep(PictureView->ZoomStep() - 1, anchor);
}

void TFrmMain::keyPressEvent(QKeyEvent* event)
{
    // The arrow keys and Page Up / Page Down scroll the view, as in other
    // picture programs; with a modifier they are left to the shortcuts.
    if (CurrentDocument.PictureOpened && event->modifiers() == Qt::NoModifier &&
        PictureView->ScrollByKey(event->key())) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TFrmMain::SetDrawToolsForZoom()
{
    if (PictureView->ZoomRate() >= 1.0)
        FrmTools->EnableDrawTools();
    else
        FrmTools->DisableDrawTools();
    // Edit Last Object needs the tools too.
    EnableCommands();
}

void TFrmMain::ViewResized()
{
    if (Destroying)
        return;
    UpdateScrollBars();
    RefreshView();
}

namespace {

TMouseButton ToolButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return TMouseButton::Left;
    case Qt::RightButton: return TMouseButton::Right;
    case Qt::MiddleButton: return TMouseButton::Middle;
    default: return TMouseButton::None;
    }
}

TMouseButtons ToolButtons(Qt::MouseButtons buttons)
{
    TMouseButtons held;
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (buttons & button)
            held = held | ToolButton(button);
    return held;
}

TToolPoint ToolPoint(TPicturePoint point) { return TToolPoint{point.X, point.Y}; }

} // namespace

void TFrmMain::PointerPressed(TPicturePoint point, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    if (Destroying)
        return;
    if (TTool* tool = CurrentToolObject())
        Guarded([&] { tool->Press(ToolPoint(point), ToolButton(button), ToolButtons(buttons)); });
}

void TFrmMain::PointerMoved(TPicturePoint point, Qt::MouseButtons buttons)
{
    if (Destroying)
        return;
    if (TTool* tool = CurrentToolObject())
        Guarded([&] { tool->Move(ToolPoint(point), ToolButtons(buttons)); });
}

void TFrmMain::PointerReleased(TPicturePoint point, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    if (Destroying)
        return;
    // The release records the history step, which writes a file: its errors
    // are shown like any command's.
    if (TTool* tool = CurrentToolObject())
        Guarded([&] { tool->Release(ToolPoint(point), ToolButton(button), ToolButtons(buttons)); });
}

void TFrmMain::SetViewShape(Qt::CursorShape shape) { PictureView->ShowShape(shape); }

void TFrmMain::SetViewGrabbing(bool grabbing)
{
    PictureView->SetGrabbing(grabbing);
    UpdateViewCursor();
}

void TFrmMain::ScrollViewBy(int dx, int dy)
{
    if (PictureView->ScrollBy(dx, dy))
        RefreshView();
}
