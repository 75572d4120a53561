#include "document/Composite.h"
#include "document/Document.h"
#include "engine/ToneTables.h"
#include "picture/FileError.h"
#include "tests/picture/PicturePrinter.h"
#include "tests/tools/AdjustmentReferences.h"
#include "tests/ui/MainFixture.h"
#include "ui/FrmBrightContrast.h"
#include "ui/FrmColorBalance.h"
#include "ui/FrmSaturation.h"
#include "ui/SpinEdit.h"
#include "ui/TrackSpin.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace AdjustmentReference;
using TExpect = TReference;

TBitmap Mapped(const TBitmap& picture, const TExpect& expect)
{
    TBitmap out = picture;
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x) {
            std::uint8_t* p = out.ScanLine(y) + x * 3;
            const TPixel q = expect({p[0], p[1], p[2]});
            p[0] = std::uint8_t(q.B);
            p[1] = std::uint8_t(q.G);
            p[2] = std::uint8_t(q.R);
        }
    return out;
}

enum class TClose { Ok, Cancel, CloseBox, Escape };

struct TCase {
    const char* Name;
    bool SketchDrawable;
    bool ColorDrawable;
    // Slider positions, set in order through the track bars; a 0 is left as it is.
    std::vector<int> Values;
    TClose Close;
    // What the values make of a pixel of a drawable layer: in the preview,
    // and after OK.
    TExpect Expected;
    // The history comment OK records.
    std::string Comment;
};

// A 13 x 9 document whose view shows columns 2..9 and rows 1..6; the host
// refreshes the view as the main window does and keeps what it records.
class AdjustmentDialog : public testing::Test {
protected:
    static constexpr int W = 13, H = 9;
    const TRect View{2, 1, 9, 6};

    void SetUp() override
    {
        std::mt19937 random(11);
        for (TBitmap* picture : {&Document.SourceBitmap, &Document.SketchLayer, &Document.ColorLayer}) {
            *picture = TBitmap(W, H);
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W * 3; ++x)
                    picture->ScanLine(y)[x] = std::uint8_t(random() % 256);
        }
        // Levels that clamp, and the pixel saturation 0 changes by one level.
        std::uint8_t* corner = Document.ColorLayer.ScanLine(0);
        corner[0] = 0, corner[1] = 100, corner[2] = 200;
        std::uint8_t* bright = Document.SketchLayer.ScanLine(H - 1) + (W - 1) * 3;
        bright[0] = 250, bright[1] = 253, bright[2] = 255;
        Document.SketchWork = Document.ColorWork = Document.SourceBitmap;
        Document.PictureOpened = true;
        Document.RebuildAll();
    }

    TAdjustmentHost Host()
    {
        return {[this] { return View; },
                [this] {
                    Document.RebuildComposite(View);
                    ++Refreshes;
                },
                [this](const std::string& operation, const std::string& comment) {
                    if (FailRecording)
                        throw TFileError("The history state could not be written.");
                    Recorded.push_back({operation, comment});
                }};
    }

    // The composite the view should show: `sketch` and `color` blended inside
    // the view, the composite as it was elsewhere.
    TBitmap ExpectedView(const TBitmap& before, const TBitmap& sketch, const TBitmap& color) const
    {
        TBitmap view = before;
        ComposeRect(sketch, color, Document.SourceBitmap, Document.LayerState, view, View);
        return view;
    }

    template <class TDialog>
    void Run(const TCase& c, const std::string& operation)
    {
        SCOPED_TRACE(c.Name);
        SetUp();
        Recorded.clear();
        Document.LayerState.SketchDrawable = c.SketchDrawable;
        Document.LayerState.ColorDrawable = c.ColorDrawable;
        const TBitmap sketch = Document.SketchLayer, color = Document.ColorLayer, view = Document.ViewBitmap;
        const TBitmap adjustedSketch = c.SketchDrawable ? Mapped(sketch, c.Expected) : sketch;
        const TBitmap adjustedColor = c.ColorDrawable ? Mapped(color, c.Expected) : color;

        TDialog dialog(Document, Host());
        dialog.show();
        ASSERT_EQ(dialog.SliderCount(), int(c.Values.size()));
        for (int i = 0; i < dialog.SliderCount(); ++i) {
            EXPECT_EQ(dialog.LastPreviewed(i), TTrackSpin::NotHandled);
            if (c.Values[std::size_t(i)] == 0)
                continue;
            const int refreshes = Refreshes;
            dialog.Slider(i)->Trc()->setValue(c.Values[std::size_t(i)]);
            EXPECT_EQ(Refreshes, refreshes + 1);
            EXPECT_EQ(dialog.LastPreviewed(i), c.Values[std::size_t(i)]);
            EXPECT_EQ(dialog.Slider(i)->Spn()->Text(), QString::number(c.Values[std::size_t(i)]));
        }
        // The preview changed only the composite, and only inside the view.
        EXPECT_SAME_PICTURE(Document.SketchLayer, sketch);
        EXPECT_SAME_PICTURE(Document.ColorLayer, color);
        EXPECT_TRUE(Document.ShownSketch == &TDocument::SketchLayer && Document.ShownColor == &TDocument::ColorLayer);
        const bool moved = std::any_of(c.Values.begin(), c.Values.end(), [](int v) { return v != 0; });
        if (moved) {
            EXPECT_SAME_PICTURE(Document.ViewBitmap, ExpectedView(view, adjustedSketch, adjustedColor));
        }

        switch (c.Close) {
        case TClose::Ok: dialog.BtnOk->click(); break;
        case TClose::Cancel: dialog.BtnCancel->click(); break;
        case TClose::CloseBox: dialog.close(); break;
        case TClose::Escape: QTest::keyClick(&dialog, Qt::Key_Escape); break;
        }
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(Document.ShownSketch == &TDocument::SketchLayer && Document.ShownColor == &TDocument::ColorLayer);
        if (c.Close == TClose::Ok) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            // Every pixel, the bottom row and the right column too.
            EXPECT_SAME_PICTURE(Document.SketchLayer, adjustedSketch);
            EXPECT_SAME_PICTURE(Document.ColorLayer, adjustedColor);
            EXPECT_SAME_PICTURE(Document.ViewBitmap, ExpectedView(view, adjustedSketch, adjustedColor));
            EXPECT_EQ(Recorded, (std::vector<std::pair<std::string, std::string>>{{operation, c.Comment}}));
        } else {
            EXPECT_EQ(dialog.result(), QDialog::Rejected);
            EXPECT_SAME_PICTURE(Document.SketchLayer, sketch);
            EXPECT_SAME_PICTURE(Document.ColorLayer, color);
            EXPECT_SAME_PICTURE(Document.ViewBitmap, view) << "the view shows the unadjusted layers again";
            EXPECT_TRUE(Recorded.empty());
        }
    }

    TDocument Document;
    int Refreshes = 0;
    bool FailRecording = false;
    std::vector<std::pair<std::string, std::string>> Recorded;
};

TEST_F(AdjustmentDialog, BrightnessContrast)
{
    const TExpect unchanged = [](TPixel p) { return p; };
    // Brightness -20 leaves every level at 235 or below, which contrast -255 lifts to 253.
    const TExpect flat = [](TPixel) { return TPixel{253, 253, 253}; };
    const TCase cases[] = {
        {"brightness 10 on both layers",
         true,
         true,
         {10, 0},
         TClose::Ok,
         OffsetReference(10, 10, 10),
         "Sketch Layer, Color Layer, 10, 0"},
        {"brightness -20 contrast -255 on the sketch layer",
         true,
         false,
         {-20, -255},
         TClose::Ok,
         flat,
         "Sketch Layer, -20, -255"},
        {"contrast 255 on the colouring layer",
         false,
         true,
         {0, 255},
         TClose::Ok,
         // K = 4065 around the pivot 253: 0..238 fall to 0, 253 and 255 rise to 255.
         ContrastReference(255),
         "Color Layer, 0, 255"},
        {"neither layer drawable", false, false, {10, 0}, TClose::Ok, unchanged, "10, 0"},
        {"cancel after moving", true, true, {30, 0}, TClose::Cancel, OffsetReference(30, 30, 30), ""},
        {"the close box", false, true, {-5, 0}, TClose::CloseBox, OffsetReference(-5, -5, -5), ""},
    };
    for (const TCase& c : cases)
        Run<TFrmBrightContrast>(c, "Brightness/Contrast");
}

TEST_F(AdjustmentDialog, Saturation)
{
    const TExpect unchanged = [](TPixel p) { return p; };
    const TExpect grey = [](TPixel p) {
        const int third = (p.B + p.G + p.R) / 3;
        return TPixel{third, third, third};
    };
    const TCase cases[] = {
        {"-127 makes both layers grey", true, true, {-127}, TClose::Ok, grey, "Sketch Layer, Color Layer, -127"},
        // Not an identity: (0, 100, 200) becomes (1, 100, 200).
        {"0 with OK", true, true, {0}, TClose::Ok, SaturationReference(0), "Sketch Layer, Color Layer, 0"},
        {"60 on the colouring layer", false, true, {60}, TClose::Ok, SaturationReference(60), "Color Layer, 60"},
        {"neither layer drawable", false, false, {25}, TClose::Ok, unchanged, "25"},
        {"escape after moving", true, true, {-90}, TClose::Escape, SaturationReference(-90), ""},
    };
    for (const TCase& c : cases)
        Run<TFrmSaturation>(c, "Saturation");
}

TEST_F(AdjustmentDialog, ColorBalance)
{
    const TExpect unchanged = [](TPixel p) { return p; };
    const TCase cases[] = {
        {"red 255",
         true,
         true,
         {255, 0, 0},
         TClose::Ok,
         [](TPixel p) {
             return TPixel{p.B, p.G, 255};
         },
         "Sketch Layer, Color Layer, 255, 0, 0"},
        {"all three on the sketch layer",
         true,
         false,
         {-10, 20, 5},
         TClose::Ok,
         OffsetReference(-10, 20, 5),
         "Sketch Layer, -10, 20, 5"},
        {"neither layer drawable", false, false, {1, 2, 3}, TClose::Ok, unchanged, "1, 2, 3"},
        {"cancel", true, true, {0, -255, 0}, TClose::Cancel, OffsetReference(0, -255, 0), ""},
    };
    for (const TCase& c : cases)
        Run<TFrmColorBalance>(c, "Color Balance");
}

// Scratch pictures left at another size (a history state of an earlier
// picture) are sized to the layers before the first preview.
TEST_F(AdjustmentDialog, ScratchPicturesOfAnotherSizeStillPreviewTheWholeView)
{
    Document.SketchWork = TBitmap(3, 3);
    Document.ColorWork = TBitmap(40, 50);
    const TBitmap view = Document.ViewBitmap;
    TFrmColorBalance dialog(Document, Host());
    dialog.Trc_Green->setValue(-255);
    const TExpect noGreen = [](TPixel p) { return TPixel{p.B, 0, p.R}; };
    EXPECT_TRUE(Document.ViewBitmap ==
                ExpectedView(view, Mapped(Document.SketchLayer, noGreen), Mapped(Document.ColorLayer, noGreen)));
}

// The layers are adjusted before the history is written; a state that cannot
// be written is handed back for the caller to report, and the dialog still
// closes without the busy cursor.
TEST_F(AdjustmentDialog, AHistoryStateThatCannotBeWrittenIsHandedBack)
{
    FailRecording = true;
    const TBitmap color = Document.ColorLayer;
    TFrmSaturation dialog(Document, Host());
    dialog.show();
    dialog.TrcSaturation->setValue(-127);
    dialog.BtnOk->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_NE(Document.ColorLayer, color);
    ASSERT_TRUE(dialog.RecordError());
    EXPECT_THROW(std::rethrow_exception(dialog.RecordError()), TFileError);
}

TEST_F(AdjustmentDialog, CaptionsSizesAndControls)
{
    struct TExpectedDialog {
        std::unique_ptr<TFrmAdjustment> Dialog;
        QString Caption;
        QSize Size;
        QString OkName;
        std::vector<std::pair<QString, QString>> Controls; // track bar, caption
        int Limit;
    };
    TExpectedDialog dialogs[] = {
        {std::make_unique<TFrmBrightContrast>(Document, Host()),
         "Brightness / Contrast",
         {452, 126},
         "BtnOk",
         {{"Trc_Brightness", "Brightness:"}, {"Trc_Contrast", "Contrast:"}},
         255},
        {std::make_unique<TFrmSaturation>(Document, Host()),
         "Saturation",
         {452, 126},
         "BtnOK",
         {{"TrcSaturation", "Saturation:"}},
         127},
        {std::make_unique<TFrmColorBalance>(Document, Host()),
         "Color Balance",
         {452, 138},
         "BtnOk",
         {{"Trc_Red", "Red:"}, {"Trc_Green", "Green:"}, {"Trc_Blue", "Blue:"}},
         255},
    };
    for (TExpectedDialog& d : dialogs) {
        SCOPED_TRACE(d.Caption.toStdString());
        d.Dialog->show();
        EXPECT_EQ(d.Dialog->windowTitle(), d.Caption);
        EXPECT_EQ(d.Dialog->size(), d.Size);
        EXPECT_TRUE(d.Dialog->windowFlags().testFlag(Qt::Tool));
        EXPECT_TRUE(d.Dialog->isModal());
        EXPECT_EQ(d.Dialog->BtnOk->objectName(), d.OkName);
        EXPECT_EQ(d.Dialog->BtnOk->text(), "&Ok");
        EXPECT_EQ(d.Dialog->BtnCancel->text(), "&Cancel");
        ASSERT_EQ(d.Dialog->SliderCount(), int(d.Controls.size()));
        for (int i = 0; i < d.Dialog->SliderCount(); ++i) {
            TTrackSpin* pair = d.Dialog->Slider(i);
            EXPECT_EQ(pair->Trc()->objectName(), d.Controls[std::size_t(i)].first);
            EXPECT_EQ(pair->Spn()->objectName(), QString(d.Controls[std::size_t(i)].first).replace("Trc", "Spn"));
            EXPECT_EQ(pair->Caption()->text(), d.Controls[std::size_t(i)].second);
            EXPECT_EQ(pair->Minimum(), -d.Limit);
            EXPECT_EQ(pair->Maximum(), d.Limit);
            EXPECT_EQ(pair->Value(), 0);
            EXPECT_FALSE(pair->Trc()->focusPolicy() & Qt::TabFocus) << "track bars are not tab stops";
            EXPECT_TRUE(pair->Spn()->focusPolicy() & Qt::TabFocus);
            // A typed value beyond the range is held to it.
            pair->Spn()->setFocus();
            pair->Spn()->selectAll();
            QTest::keyClicks(pair->Spn(), QString::number(d.Limit + 50));
            EXPECT_EQ(pair->Value(), d.Limit);
            EXPECT_EQ(d.Dialog->LastPreviewed(i), d.Limit);
        }
        d.Dialog->reject();
    }
}

// Through the menu: the dialog runs modally over the main window, OK makes
// one history state that Undo takes back, Cancel makes none.
TEST_F(MainWindowTest, AdjustmentsRunFromTheMenuAndAreUndone)
{
    Open(Photo("coffee.bmp"));
    const TBitmap color = Main->Document().ColorLayer;
    const int rows = Main->History().RowCount();
    auto answer = [](std::function<void(TFrmColorBalance&)> drive) {
        QTimer::singleShot(0, [drive] {
            auto* dialog = qobject_cast<TFrmColorBalance*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            drive(*dialog);
        });
    };

    answer([](TFrmColorBalance& dialog) {
        dialog.Trc_Blue->setValue(90);
        dialog.BtnCancel->click();
    });
    Item("MenuItem_ColorBalance")->trigger();
    EXPECT_EQ(Main->History().RowCount(), rows);
    EXPECT_SAME_PICTURE(Main->Document().ColorLayer, color);

    answer([](TFrmColorBalance& dialog) {
        dialog.Trc_Red->setValue(255);
        dialog.BtnOk->click();
    });
    Item("MenuItem_ColorBalance")->trigger();
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join("\n").toStdString();
    ASSERT_EQ(Main->History().RowCount(), rows + 1);
    EXPECT_EQ(Main->History().Operation(Main->History().Current()), "Color Balance");
    EXPECT_EQ(Main->History().Comment(Main->History().Current()), "Sketch Layer, Color Layer, 255, 0, 0");
    EXPECT_EQ(Main->Document().ColorLayer.ScanLine(123)[77 * 3 + 2], 255);
    ASSERT_TRUE(Item("MenuItem_Undo")->isEnabled());

    Item("MenuItem_Undo")->trigger();
    EXPECT_SAME_PICTURE(Main->Document().ColorLayer, color);
    Item("MenuItem_Redo")->trigger();
    EXPECT_EQ(Main->Document().ColorLayer.ScanLine(123)[77 * 3 + 2], 255);
}

} // namespace
