// The monkey's verbs: each does what a user does through the window's menu
// items, palette, pointer, keys and the controls of its panels and dialogs.
#include "tests/monkey/MonkeyWindow.h"

#include "picture/FileFormats.h"
#include "tests/monkey/MonkeyPictures.h"
#include "ui/FrmMain.h"
#include "ui/PaintBox.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const QStringList ToolMessages = {"You haven't opened a picture.",
                                  "When the Zoom Rate < 100%, you can not use draw tools."};

// "Name=value" words: a control of `window` set as a user would.
void SetControls(QWidget& window, const std::vector<std::string>& words, std::size_t first)
{
    for (std::size_t i = first; i < words.size(); ++i) {
        const std::size_t equals = words[i].find('=');
        if (equals == std::string::npos)
            continue;
        const QString name = QString::fromStdString(words[i].substr(0, equals));
        const std::optional<int> value = ParseNumber(words[i].substr(equals + 1));
        QWidget* control = window.findChild<QWidget*>(name);
        if (!control || !value || !control->isEnabled())
            continue;
        if (auto* slider = qobject_cast<QAbstractSlider*>(control))
            slider->setValue(*value);
        else if (auto* spin = qobject_cast<QSpinBox*>(control))
            spin->setValue(*value);
        else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->count() > 0)
            combo->setCurrentIndex(((*value % combo->count()) + combo->count()) % combo->count());
        else if (auto* button = qobject_cast<QAbstractButton*>(control); button && button->isCheckable())
            button->setChecked(*value != 0);
    }
}

Qt::MouseButton ButtonOfWord(const std::string& word)
{
    return word == "R" ? Qt::RightButton : word == "M" ? Qt::MiddleButton : Qt::LeftButton;
}

std::optional<Qt::Key> KeyOfWord(const std::string& word)
{
    static const std::map<std::string, Qt::Key> Keys = {
        {"Delete", Qt::Key_Delete},     {"Left", Qt::Key_Left},
        {"Right", Qt::Key_Right},       {"Up", Qt::Key_Up},
        {"Down", Qt::Key_Down},         {"PageUp", Qt::Key_PageUp},
        {"PageDown", Qt::Key_PageDown}, {"Escape", Qt::Key_Escape},
        {"Return", Qt::Key_Return},
    };
    const auto it = Keys.find(word);
    return it == Keys.end() ? std::nullopt : std::optional<Qt::Key>(it->second);
}

struct TSaveFormat {
    const char* Word;
    int Filter;
    const char* Extension;
};
constexpr TSaveFormat SaveFormats[] = {
    {"p2c", SaveFilterProject, ".p2c"}, {"bmp", SaveFilterBitmap, ".bmp"}, {"jpg", SaveFilterJpeg, ".jpg"},
    {"png", SaveFilterPng, ".png"},     {"webp", SaveFilterWebP, ".webp"}, {"webpll", SaveFilterWebPLossless, ".webp"},
};

void ClickDefaultButton(QWidget& dialog)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->isDefault()) {
            button->click();
            return;
        }
    if (auto* box = qobject_cast<QDialog*>(&dialog))
        box->accept();
}

void Reject(QWidget& dialog)
{
    if (auto* box = qobject_cast<QDialog*>(&dialog))
        box->reject();
}

} // namespace

void TMonkeyWindow::NoteToolChoice(TToolCode code, bool enabled)
{
    if (!enabled)
        return;
    const TToolInfo* info = FindTool(code);
    State.Tool = code;
    State.Pending = info && info->Kind == TToolKind::Placed;
    if (State.Pending) {
        State.SketchAtChoice = Editor->Document().SketchLayer;
        State.ColorAtChoice = Editor->Document().ColorLayer;
    }
}

bool TMonkeyWindow::Open(const TMonkeyAction& action)
{
    if (action.Words.size() != 1)
        return false;
    const std::string& name = action.Words[0];
    std::string path;
    if (name.rfind("saved.", 0) == 0) {
        const auto saved = State.Saved.find(name.substr(6));
        if (saved != State.Saved.end())
            path = saved->second;
    } else {
        path = Pictures.Path(name);
    }
    if (path.empty() || !fs::exists(path))
        return false;
    QAction* item = Item("MenuItem_Open");
    const bool enabled = item->isEnabled();
    Editor->SetOpenDialog([path](QWidget*, const TFileRequest&) {
        return std::optional<TFileChoice>(TFileChoice{QString::fromStdString(path), 1});
    });
    item->trigger();
    Editor->SetOpenDialog([](QWidget*, const TFileRequest&) { return std::optional<TFileChoice>(); });
    if (enabled) {
        State.Opened = true;
        State.Tool = TToolCode::Hand;
    }
    return true;
}

bool TMonkeyWindow::Command(const TMonkeyAction& action)
{
    static const QStringList Allowed = {"MenuItem_Undo",      "MenuItem_Redo",      "MenuItem_Copy",
                                        "MenuItem_ZoomIn",    "MenuItem_ZoomOut",   "MenuItem_ActualPixels",
                                        "MenuItem_FitWindow", "MenuItem_History",   "MenuItem_Layers",
                                        "MenuItem_Tools",     "MenuItem_ToolOption"};
    if (action.Words.size() != 1 || !Allowed.contains(QString::fromStdString(action.Words[0])))
        return false;
    QAction* item = Item(QString::fromStdString(action.Words[0]));
    if (!item)
        return false;
    const bool restores = action.Words[0] == "MenuItem_Undo" || action.Words[0] == "MenuItem_Redo";
    if (restores && item->isEnabled()) {
        // A pending object is dropped first, and a restored state brings the hand.
        State.Pending = false;
        State.Tool = TToolCode::Hand;
    }
    const bool reopens = action.Words[0] == "MenuItem_EditLastObject" && item->isEnabled();
    item->trigger();
    if (reopens) {
        // The object committed last is pending again, with its own tool; a
        // cancel leaves it as it was committed.
        State.Pending = true;
        State.Tool = Editor->CurrentTool();
        State.SketchAtChoice = Editor->Document().SketchLayer;
        State.ColorAtChoice = Editor->Document().ColorLayer;
    }
    return true;
}

bool TMonkeyWindow::Cartoon(const TMonkeyAction& action)
{
    // "cartoon ITEM ok|cancel|stop:MS [Name=value...]"
    if (action.Words.size() < 2)
        return false;
    const TDocument& document = Editor->Document();
    if (!CartoonOnAnySize && !TMonkeyPictures::Small(document.SketchLayer.Width(), document.SketchLayer.Height()))
        return false;
    QAction* item = Item(QString::fromStdString(action.Words[0]));
    if (!item)
        return false;
    if (item->isEnabled()) {
        const std::string outcome = action.Words[1];
        const std::vector<std::string> words = action.Words;
        WhenShown("FrmPreview", [this, outcome, words](QWidget& preview) {
            SetControls(preview, words, 2);
            if (outcome == "cancel") {
                Reject(preview);
                return;
            }
            const std::optional<int> stopAfter =
                outcome.rfind("stop:", 0) == 0 ? ParseNumber(outcome.substr(5)) : std::nullopt;
            WhenShown(
                "Frm_Process",
                [stopAfter](QWidget& process) {
                    if (!stopAfter)
                        return;
                    QPointer<QWidget> shown(&process);
                    QTimer::singleShot(*stopAfter, [shown] {
                        if (auto* cancel = shown ? shown->findChild<QAbstractButton*>("Button1") : nullptr)
                            cancel->click();
                    });
                },
                true);
            if (auto* ok = preview.findChild<QAbstractButton*>("Btn_Ok"))
                ok->click();
        });
    }
    item->trigger();
    return true;
}

bool TMonkeyWindow::Adjust(const TMonkeyAction& action)
{
    // "adjust ITEM ok|cancel [Name=value...]"
    if (action.Words.size() < 2)
        return false;
    QAction* item = Item(QString::fromStdString(action.Words[0]));
    if (!item)
        return false;
    if (item->isEnabled()) {
        const std::vector<std::string> words = action.Words;
        WhenShown({}, [words](QWidget& dialog) {
            SetControls(dialog, words, 2);
            if (words[1] == "ok")
                ClickDefaultButton(dialog);
            else
                Reject(dialog);
        });
    }
    item->trigger();
    return true;
}

bool TMonkeyWindow::Options(const TMonkeyAction& action)
{
    // "options ok|cancel [Name=value...]"
    if (action.Words.empty())
        return false;
    const std::vector<std::string> words = action.Words;
    WhenShown("FrmOptions", [words](QWidget& dialog) {
        SetControls(dialog, words, 1);
        if (words[0] == "ok") {
            if (auto* ok = dialog.findChild<QAbstractButton*>("BtnOk"))
                ok->click();
        } else {
            Reject(dialog);
        }
    });
    Outcome.AllowedMessages << "History States will not take effect until next run";
    Item("MenuItem_Options")->trigger();
    return true;
}

bool TMonkeyWindow::Save(const TMonkeyAction& action)
{
    if (action.Words.size() != 1)
        return false;
    const TSaveFormat* format = nullptr;
    for (const TSaveFormat& f : SaveFormats)
        if (action.Words[0] == f.Word)
            format = &f;
    if (!format)
        return false;
    const std::string path = Saves + "/saved-" + format->Word + format->Extension;
    QAction* item = Item("MenuItem_SaveAs");
    const bool enabled = item->isEnabled();
    Editor->SetSaveDialog([path, format](QWidget*, const TFileRequest&) {
        return std::optional<TFileChoice>(TFileChoice{QString::fromStdString(path), format->Filter});
    });
    item->trigger();
    Editor->SetSaveDialog([](QWidget*, const TFileRequest&) { return std::optional<TFileChoice>(); });
    if (enabled) {
        State.Saved[format->Word] = path;
        Outcome.SavedFile = path;
        Outcome.SavedFormat = format->Word;
    }
    return true;
}

bool TMonkeyWindow::ChooseTool(const TMonkeyAction& action)
{
    if (action.Words.size() != 1)
        return false;
    const TToolInfo* tool = nullptr;
    for (const TToolInfo& info : PaletteTools())
        if (action.Words[0] == info.Button)
            tool = &info;
    auto* button = tool ? qobject_cast<QToolButton*>(Control("FrmTools", tool->Button)) : nullptr;
    if (!button)
        return false;
    if (!button->isVisible())
        return true;
    const bool enabled = button->isEnabled();
    Outcome.AllowedMessages << ToolMessages;
    QTest::mouseClick(button, Qt::LeftButton);
    NoteToolChoice(tool->Code, enabled);
    return true;
}

void TMonkeyWindow::SendMouse(int type, QPoint at, int button, int buttons)
{
    TPaintBox* box = PaintBox();
    QMouseEvent event(QEvent::Type(type), QPointF(at), box->mapToGlobal(QPointF(at)), Qt::MouseButton(button),
                      Qt::MouseButtons(buttons), Qt::NoModifier);
    QCoreApplication::sendEvent(box, &event);
}

bool TMonkeyWindow::Pointer(const TMonkeyAction& action)
{
    // "hover P", "click B P", "stroke B P P ..."
    const bool hover = action.Verb == "hover";
    const std::size_t first = hover ? 0 : 1;
    if (action.Words.size() <= first)
        return false;
    std::vector<QPoint> points;
    for (std::size_t i = first; i < action.Words.size(); ++i) {
        const std::optional<TWordPoint> point = ParsePoint(action.Words[i]);
        if (!point)
            return false;
        points.emplace_back(point->X, point->Y);
    }
    if (hover) {
        for (const QPoint& point : points)
            SendMouse(QEvent::MouseMove, point, Qt::NoButton, Qt::NoButton);
        return true;
    }
    const Qt::MouseButton button = ButtonOfWord(action.Words[0]);
    SendMouse(QEvent::MouseButtonPress, points.front(), button, button);
    if (action.Verb == "stroke")
        for (std::size_t i = 1; i < points.size(); ++i) {
            SendMouse(QEvent::MouseMove, points[i], Qt::NoButton, button);
            // The view repaints between the events of a real drag.
            QCoreApplication::processEvents();
        }
    SendMouse(QEvent::MouseButtonRelease, points.back(), button, Qt::NoButton);
    return true;
}

bool TMonkeyWindow::Wheel(const TMonkeyAction& action)
{
    // "wheel NOTCHES P ctrl|plain"
    if (action.Words.size() != 3)
        return false;
    const std::optional<int> notches = ParseNumber(action.Words[0]);
    const std::optional<TWordPoint> at = ParsePoint(action.Words[1]);
    if (!notches || !at)
        return false;
    TPaintBox* box = PaintBox();
    const QPointF position(at->X, at->Y);
    QWheelEvent event(position, box->mapToGlobal(position), QPoint(), QPoint(0, 120 * *notches), Qt::NoButton,
                      action.Words[2] == "ctrl" ? Qt::ControlModifier : Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(box, &event);
    return true;
}

bool TMonkeyWindow::Key(const TMonkeyAction& action)
{
    // "key NAME [WINDOW]": pressed and released in the main window or a panel.
    if (action.Words.empty() || action.Words.size() > 2)
        return false;
    const std::optional<Qt::Key> key = KeyOfWord(action.Words[0]);
    QWidget* target = action.Words.size() == 2 ? Panel(QString::fromStdString(action.Words[1])) : Editor.get();
    if (!key || !target)
        return false;
    if (!target->isVisible())
        return true;
    QTest::keyClick(target, *key);
    if (*key == Qt::Key_Delete) {
        Outcome.Cancelled = State.Pending;
        State.Pending = false;
        State.Tool = TToolCode::Hand;
    }
    return true;
}

bool TMonkeyWindow::SetControl(const TMonkeyAction& action)
{
    // "control WINDOW NAME VALUE": a number, or a text word for a text box.
    if (action.Words.size() != 3)
        return false;
    const QString window = QString::fromStdString(action.Words[0]);
    const QString name = QString::fromStdString(action.Words[1]);
    QWidget* control = Control(window, name);
    if (!control)
        return false;
    if (!control->isVisible() || !control->isEnabled())
        return true;
    const std::string& word = action.Words[2];
    if (auto* text = qobject_cast<QPlainTextEdit*>(control)) {
        const std::optional<std::u16string> typed = ParseText(word);
        if (!typed)
            return false;
        text->setPlainText(QString::fromUtf16(typed->data(), qsizetype(typed->size())));
        return true;
    }
    const std::optional<int> value = ParseNumber(word);
    if (!value)
        return false;
    if (window == "FrmLayers")
        State.LayersChanged = true;
    if (auto* slider = qobject_cast<QAbstractSlider*>(control)) {
        slider->setValue(*value);
    } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
        spin->setValue(*value);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (combo->count() > 0)
            combo->setCurrentIndex(((*value % combo->count()) + combo->count()) % combo->count());
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        if (button->isCheckable() && button->isChecked() == (*value != 0))
            return true;
        const bool ends = name.endsWith("Commit") || name.endsWith("Cancel");
        if (ends) {
            Outcome.Cancelled = State.Pending && name.endsWith("Cancel");
            State.Pending = false;
            State.Tool = TToolCode::Hand;
        }
        QTest::mouseClick(button, Qt::LeftButton);
    } else {
        return false;
    }
    return true;
}

bool TMonkeyWindow::PickColor(const TMonkeyAction& action)
{
    // "color front|back R G B", or "color front|back cancel"
    if (action.Words.size() != 4 && action.Words.size() != 2)
        return false;
    QWidget* swatch = Control("FrmTools", action.Words[0] == "back" ? "BackColor" : "FrontColor");
    if (!swatch)
        return false;
    ChosenColor.reset();
    if (action.Words.size() == 4) {
        const std::optional<int> r = ParseNumber(action.Words[1]), g = ParseNumber(action.Words[2]),
                                 b = ParseNumber(action.Words[3]);
        if (!r || !g || !b)
            return false;
        ChosenColor = QColor(*r & 255, *g & 255, *b & 255);
    }
    if (!swatch->isVisible())
        return true;
    QTest::mouseClick(swatch, Qt::LeftButton);
    return true;
}

bool TMonkeyWindow::ChooseRow(const TMonkeyAction& action)
{
    // "row N": a click on the history panel's row N (1 = the oldest state).
    const std::optional<int> number = action.Words.size() == 1 ? ParseNumber(action.Words[0]) : std::nullopt;
    auto* grid = qobject_cast<QTableWidget*>(Control("FrmHistory", "StringGrid1"));
    if (!number || !grid)
        return false;
    const int row = *number;
    if (!grid->isVisible() || row < 1 || row > grid->rowCount())
        return true;
    QTableWidgetItem* cell = grid->item(row - 1, 0);
    if (!cell)
        return true;
    grid->scrollToItem(cell);
    const QRect place = grid->visualItemRect(cell);
    if (row != grid->currentRow() + 1 && Editor->Document().PictureOpened) {
        State.Pending = false;
        State.Tool = TToolCode::Hand;
    }
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
    return true;
}

bool TMonkeyWindow::Scroll(const TMonkeyAction& action)
{
    // "scroll H|V POSITION": a scroll bar of the view dragged to a position.
    const std::optional<int> position = action.Words.size() == 2 ? ParseNumber(action.Words[1]) : std::nullopt;
    if (!position)
        return false;
    auto* bar = Editor->findChild<QScrollBar*>(action.Words[0] == "H" ? "HorzScrollBar" : "VertScrollBar");
    if (!bar)
        return false;
    if (bar->isVisible())
        bar->setValue(*position);
    return true;
}
