// What must hold after every action the monkey takes.
#include "tests/monkey/MonkeyWindow.h"

#include "document/DocumentFiles.h"
#include "document/Rect.h"
#include "picture/PictureFiles.h"
#include "settings/ProgramDir.h"
#include "tools/ToolSettings.h"
#include "ui/FrmMain.h"
#include "ui/PaintBox.h"
#include "ui/PictureView.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <sstream>

namespace {

using TResult = std::optional<TMonkeyFailure>;

TResult Fail(const std::string& check, const std::string& detail) { return TMonkeyFailure{check, detail}; }

std::string Join(const QStringList& texts) { return texts.join(" | ").toStdString(); }

// The composite rule, one byte at a time: the reference the view is held to.
std::uint8_t ComposedByte(const TDocument& d, int x, int y, int channel)
{
    const TLayerState& s = d.LayerState;
    const std::size_t at = std::size_t(x) * 3 + std::size_t(channel);
    if (s.SketchVisible && s.ColorVisible) {
        const int sketch = d.SketchLayer.ScanLine(y)[at], color = d.ColorLayer.ScanLine(y)[at];
        if (s.BlendingMode == BlendMultiply)
            return std::uint8_t(sketch * color / 255);
        return std::uint8_t(((100 - s.Opacity) * color + s.Opacity * sketch) / 100);
    }
    if (s.SketchVisible)
        return d.SketchLayer.ScanLine(y)[at];
    if (s.ColorVisible)
        return d.ColorLayer.ScanLine(y)[at];
    return d.SourceBitmap.ScanLine(y)[at];
}

TBitmap Composed(const TDocument& d)
{
    TBitmap picture(d.SketchLayer.Width(), d.SketchLayer.Height());
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            for (int c = 0; c < 3; ++c)
                picture.ScanLine(y)[3 * x + c] = ComposedByte(d, x, y, c);
    return picture;
}

// The size setting of a stroke tool, whose outline the view may show.
int OutlineSize(const TMonkeyWindow& monkey, TToolCode tool)
{
    const TToolInfo* info = FindTool(tool);
    if (!info || info->Kind != TToolKind::Stroke)
        return 0;
    for (const TToolSetting& setting : ToolSettingTable)
        if (setting.Page == info->Page && std::string(setting.Name).ends_with("Size"))
            if (auto* slider = qobject_cast<QAbstractSlider*>(
                    monkey.Control("FrmToolOption", QStringLiteral("Trc") + setting.Name)))
                return slider->value();
    return 0;
}

std::string At(int x, int y)
{
    // Appended piece by piece: GCC 12 warns wrongly about "(" + string.
    std::string text(1, '(');
    text += std::to_string(x);
    text += ", ";
    text += std::to_string(y);
    text += ')';
    return text;
}

TResult CheckShape(const TDocument& d, const TMonkeyModel& model)
{
    if (d.PictureOpened != model.Opened)
        return Fail("opened", "the document says " + std::to_string(d.PictureOpened));
    if (!d.PictureOpened)
        return std::nullopt;
    const int w = d.SketchLayer.Width(), h = d.SketchLayer.Height();
    for (const TBitmap* p : {&d.ColorLayer, &d.SourceBitmap, &d.ViewBitmap})
        if (p->Width() != w || p->Height() != h)
            return Fail("sizes", "a picture of " + std::to_string(p->Width()) + " x " + std::to_string(p->Height()) +
                                     " beside layers of " + std::to_string(w) + " x " + std::to_string(h));
    if (w == 0 || h == 0)
        return Fail("sizes", "an empty document");
    if (d.ShownSketch != &TDocument::SketchLayer || d.ShownColor != &TDocument::ColorLayer)
        return Fail("shown layers", "the composite does not show the layers");
    const TLayerState& s = d.LayerState;
    if (s.BlendingMode != BlendMultiply && s.BlendingMode != BlendOpacity)
        return Fail("layer state", "blending mode " + std::to_string(s.BlendingMode));
    if (s.Opacity < MinOpacity || s.Opacity > MaxOpacity)
        return Fail("layer state", "opacity " + std::to_string(s.Opacity));
    return std::nullopt;
}

// The visible part of the composite is the layers under the layer state;
// only a stroke tool's outline may stand over it, inverted pixels (or one
// black one) within one dab of its size.
TResult CheckView(const TMonkeyWindow& monkey)
{
    const TDocument& d = monkey.Main().Document();
    if (!d.PictureOpened)
        return std::nullopt;
    const TRect& view = monkey.Main().ViewRect();
    const int size = OutlineSize(monkey, monkey.Main().CurrentTool());
    TRect differ{0, 0, -1, -1};
    for (int y = std::max(view.Top, 0); y <= std::min(view.Bottom, d.ViewBitmap.Height() - 1); ++y)
        for (int x = std::max(view.Left, 0); x <= std::min(view.Right, d.ViewBitmap.Width() - 1); ++x) {
            const std::uint8_t* shown = d.ViewBitmap.ScanLine(y) + 3 * x;
            bool same = true, inverted = true, black = true;
            for (int c = 0; c < 3; ++c) {
                const std::uint8_t want = ComposedByte(d, x, y, c);
                same = same && shown[c] == want;
                inverted = inverted && shown[c] == 255 - want;
                black = black && shown[c] == 0;
            }
            if (same)
                continue;
            if (size == 0 || !(inverted || black))
                return Fail("view", "the view at " + At(x, y) + " is not the composite of the layers");
            differ = differ.Empty() ? TRect{x, y, x, y}
                                    : TRect{std::min(differ.Left, x), std::min(differ.Top, y),
                                            std::max(differ.Right, x), std::max(differ.Bottom, y)};
        }
    if (!differ.Empty() && (differ.Right - differ.Left > size + 1 || differ.Bottom - differ.Top > size + 1))
        return Fail("view", "an outline larger than the tool, from " + At(differ.Left, differ.Top) + " to " +
                                At(differ.Right, differ.Bottom));
    // At actual pixels the screen shows the view pixel for pixel.
    if (monkey.Main().View().ZoomRate() != 1.0)
        return std::nullopt;
    const QImage& screen = monkey.PaintBox()->Screen();
    const int columns = std::min(screen.width(), view.Right - view.Left + 1);
    const int rows = std::min(screen.height(), view.Bottom - view.Top + 1);
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            const int x = view.Left + i, y = view.Top + j;
            if (x < 0 || y < 0 || x >= d.ViewBitmap.Width() || y >= d.ViewBitmap.Height())
                continue;
            const std::uint8_t* p = d.ViewBitmap.ScanLine(y) + 3 * x;
            if (screen.pixel(i, j) != qRgb(p[2], p[1], p[0]))
                return Fail("screen", "the screen at " + At(i, j) + " does not show the view at " + At(x, y));
        }
    return std::nullopt;
}

TResult CheckCommands(const TMonkeyWindow& monkey)
{
    const TMonkeyModel& m = monkey.Model();
    const THistory& history = const_cast<TFrmMain&>(monkey.Main()).History();
    const bool undo = m.Opened && history.CurrentRow() > 1;
    const bool redo = m.Opened && history.CurrentRow() > 0 && history.CurrentRow() < history.RowCount();
    const std::pair<const char*, bool> expected[] = {
        {"MenuItem_Open", !m.Pending},
        {"MenuItem_SaveAs", m.Opened && !m.Pending},
        {"MenuItem_Classic", m.Opened && !m.Pending},
        {"MenuItem_Cartoon", m.Opened && !m.Pending},
        {"MenuItem_Sketch", m.Opened && !m.Pending},
        {"MenuItem_Linedrawing", m.Opened && !m.Pending},
        {"MenuItem_Canvas", m.Opened && !m.Pending},
        {"MenuItem_Auto", m.Opened && !m.Pending},
        {"MenuItem_BrightContrast", m.Opened && !m.Pending},
        {"MenuItem_Saturation", m.Opened && !m.Pending},
        {"MenuItem_ColorBalance", m.Opened && !m.Pending},
        {"MenuItem_Copy", m.Opened},
        {"MenuItem_ZoomIn", m.Opened},
        {"MenuItem_ZoomOut", m.Opened},
        {"MenuItem_ActualPixels", m.Opened},
        {"MenuItem_Undo", undo},
        {"MenuItem_Redo", redo},
        {"MenuItem_Options", true},
        {"MenuItem_Exit", true},
    };
    for (const auto& [name, enabled] : expected) {
        const QAction* item = monkey.Item(name);
        if (!item || item->isEnabled() != enabled)
            return Fail("commands", std::string(name) + (enabled ? " is off" : " is on") +
                                        (m.Pending ? " while an object is pending" : ""));
    }
    // Editing the last object again needs one, which the monkey does not
    // follow; but never while an object is pending, without a picture, or
    // where the tools are off.
    if (const QAction* reopen = monkey.Item("MenuItem_EditLastObject");
        reopen && reopen->isEnabled() && (m.Pending || !m.Opened || monkey.Main().View().ZoomRate() < 1.0))
        return Fail("commands", "MenuItem_EditLastObject is on where it cannot be");
    for (QToolButton* button : monkey.Main().findChildren<QToolButton*>())
        if (button->defaultAction() && button->isEnabled() != button->defaultAction()->isEnabled())
            return Fail("commands", button->objectName().toStdString() + " differs from its menu item");
    const bool drawing = monkey.Main().View().ZoomRate() >= 1.0;
    for (const TToolInfo& info : PaletteTools()) {
        const bool enabled = m.Opened && (info.Code == TToolCode::Hand || drawing);
        if (monkey.ToolButtonEnabled(info.Code) != enabled)
            return Fail("palette", std::string(info.Button) + (enabled ? " is off" : " is on"));
    }
    if (monkey.Main().CurrentTool() != m.Tool)
        return Fail("tool", "the current tool is " + std::to_string(int(monkey.Main().CurrentTool())) + ", not " +
                                std::to_string(int(m.Tool)));
    return std::nullopt;
}

TResult CheckPanels(const TMonkeyWindow& monkey)
{
    const TDocument& d = monkey.Main().Document();
    const TLayerState& s = d.LayerState;
    const std::pair<const char*, bool> boxes[] = {{"Chk_SketchVisible", s.SketchVisible},
                                                  {"Chk_ColorVisible", s.ColorVisible},
                                                  {"Chk_SketchDrawable", s.SketchDrawable},
                                                  {"Chk_ColorDrawable", s.ColorDrawable}};
    for (const auto& [name, checked] : boxes) {
        auto* box = qobject_cast<QCheckBox*>(monkey.Control("FrmLayers", name));
        if (!box || box->isChecked() != checked)
            return Fail("layers panel", std::string(name) + " does not show the layer state");
    }
    auto* mode = qobject_cast<QComboBox*>(monkey.Control("FrmLayers", "CmbBlendingMode"));
    auto* opacity = qobject_cast<QAbstractSlider*>(monkey.Control("FrmLayers", "Trc_Opacity"));
    if (!mode || mode->currentIndex() != s.BlendingMode || !opacity || opacity->value() != s.Opacity)
        return Fail("layers panel", "the blending controls do not show the layer state");

    THistory& history = const_cast<TFrmMain&>(monkey.Main()).History();
    auto* grid = qobject_cast<QTableWidget*>(monkey.Control("FrmHistory", "StringGrid1"));
    if (history.RowCount() > std::max(0, history.Capacity() - 1))
        return Fail("history", std::to_string(history.RowCount()) + " states listed in a ring of " +
                                   std::to_string(history.Capacity()));
    if (!grid || grid->rowCount() != history.RowCount() ||
        (history.RowCount() > 0 && grid->currentRow() != history.CurrentRow() - 1))
        return Fail("history panel", "the list does not show the history");
    return std::nullopt;
}

bool SameDocument(const TDocument& a, const TDocument& b, bool layerState)
{
    return a.SketchLayer == b.SketchLayer && a.ColorLayer == b.ColorLayer && a.SourceBitmap == b.SourceBitmap &&
           (!layerState || a.LayerState == b.LayerState);
}

TResult CheckSaved(const TMonkeyWindow& monkey, const TActionOutcome& outcome)
{
    if (outcome.SavedFile.empty())
        return std::nullopt;
    const TDocument& d = monkey.Main().Document();
    try {
        if (outcome.SavedFormat == "p2c") {
            TDocument reopened;
            if (OpenDocumentFile(outcome.SavedFile, reopened, nullptr) != TDocumentFileKind::Project ||
                !SameDocument(reopened, d, true))
                return Fail("saved project", "the saved project does not reopen as the document");
            return std::nullopt;
        }
        const TBitmap picture = ReadPicture(outcome.SavedFile, nullptr);
        const bool exact =
            outcome.SavedFormat == "bmp" || outcome.SavedFormat == "png" || outcome.SavedFormat == "webpll";
        if (exact ? !(picture == Composed(d))
                  : picture.Width() != d.SketchLayer.Width() || picture.Height() != d.SketchLayer.Height())
            return Fail("saved picture", "the saved " + outcome.SavedFormat + " is not the composite");
    } catch (const std::exception& error) {
        return Fail("saved file", error.what());
    }
    return std::nullopt;
}

TResult CheckRestart(const TMonkeyWindow& monkey, const TActionOutcome& outcome)
{
    if (!outcome.Restarted)
        return std::nullopt;
    if (outcome.Questions.size() != (outcome.OfferExpected ? 1 : 0))
        return Fail("restart", std::to_string(outcome.Questions.size()) + " questions at the start" +
                                   (outcome.OfferExpected ? ", where the unsaved picture was to be offered" : ""));
    const TDocument& d = monkey.Main().Document();
    if (monkey.Model().Opened && !(d.SketchLayer == outcome.SketchBefore && d.ColorLayer == outcome.ColorBefore &&
                                   d.SourceBitmap == outcome.SourceBefore))
        return Fail("restart", "the picture brought back is not the one left");
    const QDir history(QString::fromStdString(UserFile(HistoryFolderName)));
    const QStringList runs = history.entryList({"run-*"}, QDir::Dirs | QDir::NoDotAndDotDot);
    if (runs.size() > 1)
        return Fail("restart", "earlier runs' folders stay: " + Join(runs));
    return std::nullopt;
}

} // namespace

std::optional<TMonkeyFailure> TMonkeyWindow::Check()
{
    const QStringList warnings = TakeWarnings();
    if (!warnings.isEmpty())
        return Fail("warning", Join(warnings));
    QStringList unexpected;
    for (const QString& message : TakeMessages())
        if (!Outcome.AllowedMessages.contains(message))
            unexpected << message;
    if (!unexpected.isEmpty())
        return Fail("message", Join(unexpected));
    if (!Outcome.UnexpectedDialogs.isEmpty())
        return Fail("dialog", "unexpected: " + Join(Outcome.UnexpectedDialogs));
    if (!Outcome.DialogsNotShown.isEmpty())
        return Fail("dialog", "never shown: " + Join(Outcome.DialogsNotShown));

    const TDocument& d = Editor->Document();
    for (TResult result : {CheckShape(d, State), CheckCommands(*this), CheckPanels(*this), CheckView(*this),
                           CheckSaved(*this, Outcome), CheckRestart(*this, Outcome)})
        if (result)
            return result;
    if (Outcome.Cancelled && !(d.SketchLayer == State.SketchAtChoice && d.ColorLayer == State.ColorAtChoice))
        return Fail("cancel", "a cancelled object left the layers changed");

    // Undo then Redo (or Redo then Undo) gives the document back byte for byte.
    THistory& history = Editor->History();
    if (!State.Opened || State.Pending || (history.CurrentRow() <= 1 && history.CurrentRow() >= history.RowCount()))
        return std::nullopt;
    TDocument before;
    before.SketchLayer = d.SketchLayer;
    before.ColorLayer = d.ColorLayer;
    before.SourceBitmap = d.SourceBitmap;
    before.LayerState = d.LayerState;
    const bool back = history.CurrentRow() > 1;
    Item(back ? "MenuItem_Undo" : "MenuItem_Redo")->trigger();
    Item(back ? "MenuItem_Redo" : "MenuItem_Undo")->trigger();
    Settle();
    const QStringList messages = TakeMessages();
    if (!messages.isEmpty())
        return Fail("undo and redo", Join(messages));
    if (!SameDocument(d, before, !State.LayersChanged))
        return Fail("undo and redo",
                    back ? "Undo then Redo changed the document" : "Redo then Undo changed the document");
    State.LayersChanged = false;
    // The restore brought the hand; the user takes the tool again.
    const TToolCode tool = State.Tool;
    State.Tool = TToolCode::Hand;
    if (tool != TToolCode::Hand && ToolButtonEnabled(tool)) {
        QTest::mouseClick(qobject_cast<QToolButton*>(Control("FrmTools", FindTool(tool)->Button)), Qt::LeftButton);
        NoteToolChoice(tool, true);
    }
    if (TResult view = CheckView(*this))
        return view;
    return std::nullopt;
}
