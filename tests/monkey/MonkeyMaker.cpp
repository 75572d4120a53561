#include "tests/monkey/MonkeyMaker.h"

#include "settings/EffectControls.h"
#include "tests/monkey/MonkeyPictures.h"
#include "tests/monkey/MonkeyWindow.h"
#include "tools/ToolCodes.h"
#include "ui/FrmMain.h"
#include "ui/PaintBox.h"
#include "ui/PictureView.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSpinBox>

#include <utility>

namespace {

// Picked by weight.
struct TWeighted {
    int Weight;
    std::function<TMonkeyAction()> Make;
};

TMonkeyAction Action(std::string verb, std::vector<std::string> words = {})
{
    return TMonkeyAction{std::move(verb), std::move(words)};
}

const std::vector<std::string> SavedFormats = {"p2c", "bmp", "jpg", "png", "webp", "webpll"};

} // namespace

std::u16string TMonkeyMaker::Text()
{
    static const std::vector<std::u16string> RightToLeft = {
        u"\u0645\u0631\u062d\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645",
        u"\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd 123 abc",
        u"\u202eevil\u202c mixed \u0627\u0644\u0646\u0635",
    };
    static const std::vector<std::u16string> Emoji = {
        u"\U0001F600\U0001F468\u200D\U0001F469\u200D\U0001F467",
        u"\U0001F1EB\U0001F1F7 \U0001F44D\U0001F3FD",
        u"\u2764\uFE0F\U0001F525 x\u0301\u0302\u0303",
    };
    switch (Uniform(0, 7)) {
    case 0: {
        // Long: many words, some lines, one line longer than any picture.
        static const std::vector<std::u16string> Words = {u"Ahoy", u"cartoon", u"quill", u"balloon", u"the", u"W"};
        std::u16string text;
        const int words = Uniform(50, 600);
        for (int i = 0; i < words; ++i)
            text += Pick(Words) + (Chance(0.1) ? u"\n" : u" ");
        return text;
    }
    case 1: return Pick(RightToLeft);
    case 2: return Pick(Emoji);
    case 3: {
        // Bytes that are no UTF-8, as the text box would take them in.
        std::string bytes;
        for (int i = Uniform(1, 40); i > 0; --i)
            bytes += char(Uniform(0x80, 0xFF));
        const QString text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
        return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
    }
    case 4: return std::u16string(u"half ") + char16_t(Chance(0.5) ? 0xD83D : 0xDC00) + u" pair";
    case 5: return u"tab\there\r\nnul\u0000end\u0007\u200B";
    case 6: return {};
    default: return u"Hello!";
    }
}

std::string TMonkeyMaker::Point(const TMonkeyWindow& window)
{
    const QSize box = window.PaintBox()->DeviceSize();
    const TRect& view = window.Main().ViewRect();
    const double zoom = window.Main().View().ZoomRate();
    // Mostly on the picture as shown, sometimes anywhere beside it.
    const int shownWidth = std::max(1, std::min(box.width(), int((view.Right - view.Left + 1) * zoom)));
    const int shownHeight = std::max(1, std::min(box.height(), int((view.Bottom - view.Top + 1) * zoom)));
    if (Chance(0.75))
        return PointWord(Uniform(0, shownWidth - 1), Uniform(0, shownHeight - 1));
    return PointWord(Uniform(-60, box.width() + 60), Uniform(-60, box.height() + 60));
}

TMonkeyAction TMonkeyMaker::OpenSomething(const TMonkeyWindow& window)
{
    std::vector<std::string> names;
    for (const char* name : TMonkeyPictures::Names()) {
        // The big photo, seldom: it costs seconds under the sanitizers.
        if (std::string(name) == "big.jpg" && !Chance(0.05))
            continue;
        names.push_back(name);
    }
    for (const auto& [format, path] : window.Model().Saved)
        names.push_back("saved." + format);
    return Action("open", {Pick(names)});
}

TMonkeyAction TMonkeyMaker::PointerAction(const TMonkeyWindow& window)
{
    const int kind = Uniform(0, 9);
    if (kind < 3)
        return Action("hover", {Point(window)});
    const std::string button = Chance(0.85) ? "L" : Chance(0.5) ? "R" : "M";
    if (kind < 5)
        return Action("click", {button, Point(window)});
    std::vector<std::string> words{button, Point(window)};
    for (int i = Uniform(1, 10); i > 0; --i)
        words.push_back(Point(window));
    return Action("stroke", words);
}

TMonkeyAction TMonkeyMaker::OptionPageAction(const TMonkeyWindow& window)
{
    QWidget* page = window.OptionPage();
    std::vector<QWidget*> controls;
    if (page)
        for (QWidget* control : page->findChildren<QWidget*>())
            if (!control->objectName().isEmpty() && control->isVisible() && control->isEnabled() &&
                (qobject_cast<QAbstractSlider*>(control) || qobject_cast<QSpinBox*>(control) ||
                 qobject_cast<QComboBox*>(control) || qobject_cast<QPlainTextEdit*>(control) ||
                 qobject_cast<QAbstractButton*>(control)))
                controls.push_back(control);
    if (controls.empty())
        return PointerAction(window);
    QWidget* control = Pick(controls);
    const std::string name = control->objectName().toStdString();
    std::string value;
    if (auto* slider = qobject_cast<QAbstractSlider*>(control))
        value = std::to_string(Chance(0.2) ? (Chance(0.5) ? slider->minimum() : slider->maximum())
                                           : Uniform(slider->minimum(), slider->maximum()));
    else if (auto* spin = qobject_cast<QSpinBox*>(control))
        value = std::to_string(Chance(0.9) ? Uniform(spin->minimum(), std::min(spin->maximum(), spin->minimum() + 60))
                                           : Uniform(spin->minimum(), spin->maximum()));
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        value = std::to_string(Uniform(0, std::max(0, combo->count() - 1)));
    else if (qobject_cast<QPlainTextEdit*>(control))
        value = TextWord(Text());
    else
        value = Chance(0.5) ? "1" : "0";
    return Action("control", {"FrmToolOption", name, value});
}

TMonkeyAction TMonkeyMaker::LayersAction()
{
    switch (Uniform(0, 6)) {
    case 0: return Action("control", {"FrmLayers", "CmbBlendingMode", std::to_string(Uniform(0, 1))});
    case 1: return Action("control", {"FrmLayers", "Trc_Opacity", std::to_string(Uniform(1, 99))});
    default: {
        static const std::vector<std::string> Boxes = {"Chk_SketchVisible", "Chk_ColorVisible", "Chk_SketchDrawable",
                                                       "Chk_ColorDrawable"};
        return Action("control", {"FrmLayers", Pick(Boxes), Chance(0.6) ? "1" : "0"});
    }
    }
}

TMonkeyAction TMonkeyMaker::CartoonAction()
{
    static const std::vector<std::string> Items = {"MenuItem_Classic",     "MenuItem_Cartoon", "MenuItem_Sketch",
                                                   "MenuItem_Linedrawing", "MenuItem_Canvas",  "MenuItem_Auto"};
    const int outcome = Uniform(0, 9);
    std::vector<std::string> words{Pick(Items), outcome < 7   ? "ok"
                                                : outcome < 8 ? "cancel"
                                                              : "stop:" + std::to_string(Uniform(0, 150))};
    for (int i = Uniform(0, 4); i > 0; --i) {
        const TEffectControl& pair = PreviewPairs[std::size_t(Uniform(0, PreviewPairCount - 1))];
        // The slow end of the colour smoothing, seldom.
        const int high = std::string(pair.Name) == "ColorSmooth" && !Chance(0.1) ? 6 : pair.Max;
        words.push_back(std::string("Trc_") + pair.Name + "=" + std::to_string(Uniform(pair.Min, high)));
    }
    if (Chance(0.2))
        words.push_back(std::string(Chance(0.5) ? "Chk_DrawSketch" : "Chk_DrawColor") + "=" +
                        (Chance(0.5) ? "1" : "0"));
    return Action("cartoon", words);
}

TMonkeyAction TMonkeyMaker::AdjustAction()
{
    static const std::vector<std::pair<std::string, std::vector<std::string>>> Dialogs = {
        {"MenuItem_BrightContrast", {"Trc_Brightness", "Trc_Contrast"}},
        {"MenuItem_Saturation", {"TrcSaturation"}},
        {"MenuItem_ColorBalance", {"Trc_Red", "Trc_Green", "Trc_Blue"}},
    };
    const auto& [item, sliders] = Pick(Dialogs);
    std::vector<std::string> words{item, Chance(0.75) ? "ok" : "cancel"};
    for (const std::string& slider : sliders)
        if (Chance(0.7))
            words.push_back(slider + "=" + std::to_string(Uniform(-255, 255)));
    return Action("adjust", words);
}

TMonkeyAction TMonkeyMaker::ViewAction(const TMonkeyWindow& window)
{
    switch (Uniform(0, 9)) {
    case 0:
    case 1: return Action("command", {"MenuItem_ZoomIn"});
    case 2:
    case 3: return Action("command", {"MenuItem_ZoomOut"});
    case 4: return Action("command", {Chance(0.5) ? "MenuItem_ActualPixels" : "MenuItem_FitWindow"});
    case 5:
    case 6: return Action("wheel", {std::to_string(Uniform(-3, 3)), Point(window), Chance(0.7) ? "ctrl" : "plain"});
    default: {
        const bool horizontal = Chance(0.5);
        const auto* bar = window.Main().findChild<QScrollBar*>(horizontal ? "HorzScrollBar" : "VertScrollBar");
        return Action("scroll", {horizontal ? "H" : "V", std::to_string(Uniform(0, bar ? bar->maximum() : 100))});
    }
    }
}

TMonkeyAction TMonkeyMaker::Next(const TMonkeyWindow& window)
{
    const TMonkeyModel& model = window.Model();
    std::vector<TWeighted> choices = {
        {model.Opened ? 3 : 60, [&] { return OpenSomething(window); }},
        {10,
         [&] {
             const TToolInfo& tool = PaletteTools()[std::size_t(Uniform(0, int(PaletteTools().size()) - 1))];
             return Action("tool", {tool.Button});
         }},
        {24, [&] { return PointerAction(window); }},
        {10, [&] { return OptionPageAction(window); }},
        {5, [&] { return LayersAction(); }},
        {2,
         [&] {
             return Action("color", {Chance(0.5) ? "front" : "back", std::to_string(Uniform(0, 255)),
                                     std::to_string(Uniform(0, 255)), std::to_string(Uniform(0, 255))});
         }},
        {6, [&] { return Action("command", {Chance(0.6) ? "MenuItem_Undo" : "MenuItem_Redo"}); }},
        {2, [&] { return Action("command", {"MenuItem_EditLastObject"}); }},
        {3, [&] { return Action("row", {std::to_string(Uniform(1, 12))}); }},
        {8, [&] { return ViewAction(window); }},
        {3,
         [&] {
             static const std::vector<std::string> Keys = {"Delete", "Delete", "Left",     "Right", "Up",
                                                           "Down",   "PageUp", "PageDown", "Escape"};
             static const std::vector<std::string> Windows = {"FrmLayers", "FrmTools", "FrmToolOption", "FrmHistory"};
             std::vector<std::string> words{Pick(Keys)};
             if (Chance(0.2))
                 words.push_back(Pick(Windows));
             return Action("key", words);
         }},
        {3, [&] { return CartoonAction(); }},
        {3, [&] { return AdjustAction(); }},
        {3, [&] { return Action("save", {Pick(SavedFormats)}); }},
        {1,
         [&] {
             static const std::vector<std::string> Panels = {"MenuItem_History", "MenuItem_Layers", "MenuItem_Tools",
                                                             "MenuItem_ToolOption", "MenuItem_Copy"};
             return Action("command", {Pick(Panels)});
         }},
        {1,
         [&] {
             static const std::vector<int> States = {0, 1, 2, 3, 5, 10, 50, 1000};
             std::vector<std::string> words{Chance(0.8) ? "ok" : "cancel"};
             words.push_back("SpnHistory=" + std::to_string(Pick(States)));
             if (Chance(0.3))
                 words.push_back(std::string("Chk_FitLarge=") + (Chance(0.5) ? "1" : "0"));
             return Action("options", words);
         }},
        {1, [&] { return Action("restart", {Chance(0.8) ? "accept" : "decline"}); }},
        {1, [&] { return Action("resize", {PointWord(Uniform(380, 1400), Uniform(260, 1000))}); }},
    };
    int total = 0;
    for (const TWeighted& choice : choices)
        total += choice.Weight;
    int pick = Uniform(0, total - 1);
    for (const TWeighted& choice : choices) {
        if (pick < choice.Weight)
            return choice.Make();
        pick -= choice.Weight;
    }
    return choices.back().Make();
}
