#include "tests/ui/PreviewFixture.h"

#include "engine/DrawEffect.h"
#include "settings/ProgramDir.h"
#include "settings/Resample.h"
#include "tests/picture/PicturePrinter.h"
#include "ui/Cursors.h"
#include "ui/PaintBox.h"
#include "ui/RadioGroup.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

#include <cstring>
#include <functional>
#include <vector>

namespace {

// Whether the area shows `picture` from (left, top) at actual size and the
// face colour wherever the picture does not reach.
::testing::AssertionResult AreaShows(const TFrmPreview& preview, const TBitmap& picture, int left, int top)
{
    const QImage& area = preview.AreaImage();
    const QRgb face = preview.PreviewArea->FaceColor().rgb();
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) {
            const int px = left + x, py = top + y;
            QRgb expected = face;
            if (px < picture.Width() && py < picture.Height()) {
                const std::uint8_t* p = Pixel(picture, px, py);
                expected = qRgb(p[2], p[1], p[0]);
            }
            if ((area.pixel(x, y) | 0xff000000u) != (expected | 0xff000000u))
                return ::testing::AssertionFailure() << "area pixel " << x << "," << y;
        }
    return ::testing::AssertionSuccess();
}

// The record's region of the effect of the whole picture, as a separate
// compositor computes it.
TBitmap Reference(const TEffectSettings& settings, const TBitmap& source)
{
    TEffectSettings whole = settings;
    whole.Left = whole.Top = 0;
    whole.Width = source.Width();
    whole.Height = source.Height();
    TDrawEffect effect;
    effect.SetSettings(whole, &source);
    effect.Render();
    TBitmap blended;
    effect.DrawBlended(blended);
    // Copied out first: std::min takes references, the record is packed.
    const int left = settings.Left, top = settings.Top, width = settings.Width, height = settings.Height;
    const int w = std::min(width, source.Width() - left);
    const int h = std::min(height, source.Height() - top);
    TBitmap region(w, h);
    region.CopyRect(blended, left, top, w, h, 0, 0);
    return region;
}

class PreviewDialog : public PreviewFixture {};

} // namespace

TEST_F(PreviewDialog, ShowingPreviewsTheVisibleRegionOfAFullSizeCopyOfTheView)
{
    Pictures(900, 700);
    const TBitmap before = Doc.SourceBitmap;
    TFrmPreview& preview = Shown();

    EXPECT_SAME_PICTURE(Doc.SketchWork, before) << "backup of the working picture";
    EXPECT_SAME_PICTURE(Doc.SourceBitmap, Doc.ViewBitmap);
    EXPECT_EQ(preview.Lbl_Original->text(), "Original Size: 900 * 700");
    EXPECT_EQ(preview.Spn_Width->Text(), "900");
    EXPECT_EQ(preview.Spn_Height->Text(), "700");
    EXPECT_EQ(preview.Trc_ImageSize->value(), 100);
    EXPECT_EQ(preview.Tabs->currentWidget(), preview.TsSketch);

    const QSize area = preview.PreviewArea->DeviceSize();
    ASSERT_LT(area.width(), 900);
    ASSERT_LT(area.height(), 700);
    const TEffectSettings& s = preview.Settings();
    EXPECT_EQ(+s.Left, 0);
    EXPECT_EQ(+s.Width, area.width());
    EXPECT_EQ(+s.Height, area.height());
    EXPECT_EQ(+s.WhiteLevel, 255);
    EXPECT_EQ(+s.Detail, 115);
    QTRY_VERIFY(preview.ShowsExact());
    EXPECT_TRUE(AreaShows(preview, Reference(s, Doc.SourceBitmap), 0, 0));
    EXPECT_EQ(preview.PreviewArea->cursor().shape(), Qt::BitmapCursor) << "the grabbing hand";

    // A handled change recomputes with it; the threshold goes in as WhiteLevel.
    preview.Pair("Threshold")->Trc()->setValue(40);
    EXPECT_EQ(+preview.Settings().WhiteLevel, 215);
    QTRY_VERIFY(preview.ShowsExact());
    EXPECT_TRUE(AreaShows(preview, Reference(preview.Settings(), Doc.SourceBitmap), 0, 0));
}

TEST_F(PreviewDialog, BothBoxesOffShowTheUnprocessedPictureAndOkStillConfirms)
{
    Pictures(900, 700);
    TFrmPreview& preview = Shown();
    preview.Chk_DrawSketch->click();
    EXPECT_FALSE(preview.Chk_DrawColor->isChecked());
    EXPECT_TRUE(AreaShows(preview, Doc.SourceBitmap, 0, 0));

    preview.Btn_Ok->click();
    EXPECT_TRUE(preview.Confirmed());
    EXPECT_EQ(preview.result(), QDialog::Accepted);
    EXPECT_SAME_PICTURE(Doc.SourceBitmap, Doc.ViewBitmap);
    EXPECT_EQ(FileBytes(Folder.File(LastSetName)).size(), sizeof(TEffectSettings));
}

TEST_F(PreviewDialog, ASmallPictureCannotScrollAndTheRestOfTheAreaIsFaceColoured)
{
    Pictures(60, 40);
    TFrmPreview& preview = Shown();
    preview.Chk_DrawSketch->click(); // the picture itself, to compare with
    EXPECT_FALSE(preview.HorzScrollBar->isEnabled());
    EXPECT_FALSE(preview.VertScrollBar->isEnabled());
    EXPECT_EQ(preview.PreviewArea->cursor().shape(), Qt::ArrowCursor);

    QTest::mousePress(preview.PreviewArea, Qt::LeftButton, {}, QPoint(30, 20));
    QTest::mouseMove(preview.PreviewArea, QPoint(5, 5));
    QTest::mouseRelease(preview.PreviewArea, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(preview.ScrollLeft(), 0);
    EXPECT_TRUE(AreaShows(preview, Doc.SourceBitmap, 0, 0));

    preview.Chk_DrawSketch->click();
    EXPECT_EQ(+preview.Settings().Width, 60);
    EXPECT_EQ(+preview.Settings().Height, 40);
    QTRY_VERIFY(preview.ShowsExact());
    EXPECT_TRUE(AreaShows(preview, Reference(preview.Settings(), Doc.SourceBitmap), 0, 0));
}

TEST_F(PreviewDialog, DraggingMovesTheUnprocessedPictureAndStopsInsideTheRange)
{
    Pictures(1200, 900);
    TFrmPreview& preview = Shown();
    TPaintBox* box = preview.PreviewArea;

    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(box, QPoint(90, 95));
    EXPECT_EQ(preview.ScrollLeft(), 10);
    EXPECT_EQ(preview.ScrollTop(), 5);
    EXPECT_TRUE(AreaShows(preview, Doc.SourceBitmap, 10, 5)) << "unprocessed while dragging";

    // Far past the right edge: the horizontal position stays where it was,
    // the vertical one still follows.
    QTest::mouseMove(box, QPoint(-5000, 90));
    EXPECT_EQ(preview.ScrollLeft(), 10);
    EXPECT_EQ(preview.ScrollTop(), 10);
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(-5000, 90));
    EXPECT_EQ(+preview.Settings().Left, 10);
    EXPECT_EQ(+preview.Settings().Top, 10);
    QTRY_VERIFY(preview.ShowsExact());
    const TBitmap effect = Reference(preview.Settings(), Doc.SourceBitmap);
    EXPECT_TRUE(AreaShows(preview, effect, 0, 0));

    // A click, and a drag back to where it started, leave the region where
    // it was: the frame shown comes back at once and nothing is computed.
    const std::vector<std::vector<QPoint>> still = {{}, {QPoint(60, 70), QPoint(100, 100)}};
    for (const std::vector<QPoint>& moves : still) {
        QTest::mousePress(box, Qt::LeftButton, {}, QPoint(100, 100));
        for (const QPoint& to : moves)
            QTest::mouseMove(box, to);
        QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(100, 100));
        EXPECT_EQ(QPoint(preview.ScrollLeft(), preview.ScrollTop()), QPoint(10, 10)) << moves.size();
        EXPECT_TRUE(preview.ShowsExact()) << moves.size() << " moves: nothing asked for";
        EXPECT_TRUE(AreaShows(preview, effect, 0, 0)) << moves.size();
    }
}

TEST_F(PreviewDialog, TypedDetailIsLimitedToTheTrackBarAndClearingItChangesNothing)
{
    Pictures(300, 200);
    TFrmPreview& preview = Shown();
    TTrackSpin* detail = preview.Pair("Detail");
    Retype(detail->Spn(), "5000");
    EXPECT_EQ(detail->Trc()->value(), 1024);
    EXPECT_EQ(detail->Spn()->Text(), "1024");
    EXPECT_EQ(+preview.Settings().Detail, 1024);
    QTRY_VERIFY(preview.ShowsExact());

    const QImage shown = preview.AreaImage().copy();
    detail->Spn()->setFocus();
    detail->Spn()->selectAll();
    QTest::keyClick(detail->Spn(), Qt::Key_Backspace);
    EXPECT_EQ(detail->Trc()->value(), 1024);
    EXPECT_EQ(+preview.Settings().Detail, 1024);
    EXPECT_TRUE(preview.ShowsExact()) << "nothing asked for";
    EXPECT_EQ(preview.AreaImage(), shown);
}

TEST_F(PreviewDialog, ImageSizeControlsFollowOneAnother)
{
    Pictures(800, 600);
    TFrmPreview& preview = Shown();
    preview.Tabs->setCurrentWidget(preview.TsImageSize);
    struct TStep {
        const char* What;
        std::function<void()> Act;
        int Width, Height, Scale;
    };
    const std::vector<TStep> steps = {
        {"scale 50", [&] { preview.Trc_ImageSize->setValue(50); }, 400, 300, 50},
        {"width 401", [&] { Retype(preview.Spn_Width, "401"); }, 401, 300, 50},
        {"height 150", [&] { Retype(preview.Spn_Height, "150"); }, 200, 150, 25},
        {"width 5000 is the full width", [&] { Retype(preview.Spn_Width, "5000"); }, 800, 600, 100},
        {"scale 1", [&] { preview.Trc_ImageSize->setValue(1); }, 8, 6, 1},
        {"width 1 keeps one row", [&] { Retype(preview.Spn_Width, "1"); }, 1, 1, 1},
        {"scale 100 is the full size again", [&] { preview.Trc_ImageSize->setValue(100); }, 800, 600, 100},
        {"width 0 changes nothing", [&] { Retype(preview.Spn_Width, "0"); }, 800, 600, 100},
    };
    for (const TStep& step : steps) {
        step.Act();
        EXPECT_EQ(Doc.SourceBitmap.Width(), +step.Width) << step.What;
        EXPECT_EQ(Doc.SourceBitmap.Height(), +step.Height) << step.What;
        EXPECT_EQ(preview.Spn_Height->Text(), QString::number(step.Height)) << step.What;
        EXPECT_EQ(preview.Trc_ImageSize->value(), step.Scale) << step.What;
        if (step.Width == 800) {
            EXPECT_SAME_PICTURE(Doc.SourceBitmap, Doc.ViewBitmap) << step.What;
        }
        EXPECT_EQ(+preview.Settings().Height, std::min(step.Height, preview.PreviewArea->DeviceSize().height()))
            << step.What << ": the preview follows";
    }
}

// The dialog keeps what a change did not touch between two recomputations;
// after every kind of change the area must still show what a fresh
// computation of the shown record gives, never an earlier picture's effect.
TEST_F(PreviewDialog, EveryRecomputationShowsWhatAFreshOneGives)
{
    Pictures(900, 700);
    TFrmPreview& preview = Shown();
    preview.Chk_DrawColor->click();
    ASSERT_EQ(preview.Settings().DrawColor, 1);
    QTRY_VERIFY(preview.ShowsExact());
    struct TStep {
        const char* What;
        std::function<void()> Act;
    };
    const std::vector<TStep> steps = {
        {"Detail", [&] { preview.Pair("Detail")->Trc()->setValue(60); }},
        {"ColorSmooth", [&] { preview.Pair("ColorSmooth")->Trc()->setValue(4); }},
        {"Brightness", [&] { preview.Pair("Brightness")->Trc()->setValue(40); }},
        {"scale 50", [&] { preview.Trc_ImageSize->setValue(50); }},
        {"width 451", [&] { Retype(preview.Spn_Width, "451"); }},
        {"scale 100", [&] { preview.Trc_ImageSize->setValue(100); }},
        {"scrolled by dragging",
         [&] {
             QTest::mousePress(preview.PreviewArea, Qt::LeftButton, {}, QPoint(100, 100));
             QTest::mouseMove(preview.PreviewArea, QPoint(80, 90));
             QTest::mouseRelease(preview.PreviewArea, Qt::LeftButton, {}, QPoint(80, 90));
         }},
        {"another picture in the next run",
         [&] {
             preview.reject();
             Settle();
             Doc.ViewBitmap = PatternPicture(900, 700, 9);
             preview.show();
             Settle();
         }},
    };
    QImage before = preview.AreaImage().copy();
    for (const TStep& step : steps) {
        step.Act();
        QTRY_VERIFY(preview.ShowsExact());
        EXPECT_NE(preview.AreaImage(), before) << step.What << " shows no change";
        EXPECT_TRUE(AreaShows(preview, Reference(preview.Settings(), Doc.SourceBitmap), 0, 0)) << step.What;
        before = preview.AreaImage().copy();
    }
}

TEST_F(PreviewDialog, EveryCloseButOkRestoresTheWorkingPictureAndStoresTheWindowRectangle)
{
    struct TClose {
        const char* How;
        std::function<void(TFrmPreview&)> Close;
        bool Ok;
    };
    const std::vector<TClose> closes = {
        {"Cancel", [](TFrmPreview& p) { p.Btn_Cancel->click(); }, false},
        {"Esc", [](TFrmPreview& p) { QTest::keyClick(p.Pair("Detail")->Trc(), Qt::Key_Escape); }, false},
        {"close box", [](TFrmPreview& p) { p.close(); }, false},
        {"Enter on a track bar", [](TFrmPreview& p) { QTest::keyClick(p.Pair("Red")->Trc(), Qt::Key_Return); }, true},
        {"Enter on the Cancel button", [](TFrmPreview& p) { QTest::keyClick(p.Btn_Cancel, Qt::Key_Return); }, false},
    };
    for (const TClose& close : closes) {
        Pictures(800, 600);
        const TBitmap before = Doc.SourceBitmap;
        Preview.reset();
        TFrmPreview& preview = Shown();
        preview.resize(640, 480);
        Settle();
        preview.Trc_ImageSize->setValue(50);
        close.Close(preview);
        Settle();
        EXPECT_FALSE(preview.isVisible()) << close.How;
        EXPECT_EQ(preview.Confirmed(), close.Ok) << close.How;
        if (close.Ok)
            EXPECT_EQ(Doc.SourceBitmap.Width(), 400) << close.How;
        else
            EXPECT_SAME_PICTURE(Doc.SourceBitmap, before) << close.How;
        EXPECT_EQ(Options.LastWidth, 640) << close.How;
        EXPECT_EQ(Options.LastHeight, 480) << close.How;
    }
}

TEST_F(PreviewDialog, WindowIsPlacedFromTheOptionsAgainstTheWorkArea)
{
    Pictures(100, 100);
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    const int R = work.right() + 1, B = work.bottom() + 1;
    ASSERT_GT(R, 600);
    ASSERT_GT(B, 500);
    const QPoint centred((R - 517) / 2, (B - 438) / 2);
    struct TCase {
        const char* What;
        TProgramOptions Options;
        QRect Expected;
    };
    const auto options = [](int mode, int cw, int ch, int top, int left, int w, int h) {
        return TProgramOptions{mode, cw, ch, 50, top, left, w, h};
    };
    const std::vector<TCase> cases = {
        {"custom", options(0, 459, 451, 0, 0, 0, 0), QRect((R - 459) / 2, (B - 451) / 2, 459, 451)},
        {"custom wider than the work area", options(0, R, 451, 0, 0, 0, 0), QRect(centred, QSize(517, 438))},
        {"maximized", options(1, 459, 451, 0, 0, 0, 0), QRect(0, 0, std::min(R, 1600), std::min(B, 1200))},
        {"last", options(2, 459, 451, 10, 20, 500, 420), QRect(20, 10, 500, 420)},
        {"last with width 0", options(2, 459, 451, 10, 20, 0, 420), QRect(centred, QSize(517, 438))},
        {"last below the work area", options(2, 459, 451, B + 1, 20, 500, 420), QRect(centred, QSize(517, 438))},
        {"unknown mode", options(7, 459, 451, 0, 0, 0, 0), QRect(centred, QSize(517, 438))},
        {"custom below the minimum: grown, and kept on the work area", options(0, 100, 100, 0, 0, 0, 0),
         QRect(std::min((R - 100) / 2, R - 453), std::min((B - 100) / 2, B - 400), 453, 400)},
    };
    for (const TCase& c : cases) {
        Options = c.Options;
        TFrmPreview& preview = Make();
        EXPECT_EQ(QRect(preview.pos(), preview.size()), c.Expected) << c.What;
    }
}

TEST_F(PreviewDialog, CaptionsAndWhatTheCheckBoxesEnable)
{
    Pictures(300, 200);
    TFrmPreview& preview = Make();
    EXPECT_EQ(preview.windowTitle(), "Lumen Quilla Preview");
    const QStringList tabs = {"Image Size", "Sketch", "Coloring Step 1", "Coloring Step 2"};
    for (int i = 0; i < tabs.size(); ++i)
        EXPECT_EQ(preview.Tabs->tabText(i), tabs[i]);
    const std::vector<std::pair<const char*, const char*>> rows = {
        {"Detail", "Darkness:"},        {"Darkness", "Detail:"},
        {"SketchSmooth", "Smooth:"},    {"Threshold", "Threshold:"},
        {"ColorScale", "Color Scale:"}, {"BorderBlur", "Border Blur:"},
        {"Contrast", "Contrast"},       {"Blue", "Blue"}};
    for (const auto& [field, caption] : rows)
        EXPECT_EQ(preview.Pair(field)->Caption()->text(), caption) << field;
    EXPECT_EQ(preview.Pair("Detail")->Caption()->objectName(), "Lab_Sketch2");

    // Designed: sketch on, colour off.
    for (const TEffectControl& c : PreviewPairs) {
        const bool colour = c.Offset >= offsetof(TEffectSettings, ColorScale) && !c.StoresWhiteLevel;
        EXPECT_EQ(preview.Pair(c.Name)->IsEnabled(), !colour) << c.Name;
    }
    EXPECT_FALSE(preview.ColorMore->isEnabled());

    preview.show();
    preview.Chk_DrawSketch->click();
    preview.Chk_DrawColor->click();
    for (const TEffectControl& c : PreviewPairs) {
        const bool sketch = c.Offset < offsetof(TEffectSettings, ColorScale) && !c.StoresWhiteLevel;
        EXPECT_EQ(preview.Pair(c.Name)->IsEnabled(), !sketch) << c.Name;
        EXPECT_EQ(preview.Pair(c.Name)->Caption()->isEnabled(), !sketch) << c.Name;
    }
    EXPECT_TRUE(preview.SketchMore->isEnabled());
    EXPECT_TRUE(preview.ColorMore->isEnabled());
}

TEST_F(PreviewDialog, EachDialogReducesFromThePictureItWasShownOn)
{
    Pictures(80, 60);
    TFrmPreview& preview = Shown();
    const auto reduced = [](const TBitmap& picture, int w, int h) {
        TBitmap target;
        EXPECT_TRUE(ResampleTo(CaptureResampleSource(picture), w, h, target));
        return target;
    };
    {
        // Another preview on another picture, shown and reduced meanwhile.
        TDocument other;
        other.ViewBitmap = PatternPicture(50, 40, 3);
        other.SourceBitmap = other.ViewBitmap;
        TFrmSketchMoreOption sketchMore;
        TFrmColorMoreOption colorMore;
        TFrmPreview second(other, Options, sketchMore, colorMore);
        second.show();
        Settle();
        second.Trc_ImageSize->setValue(50);
        EXPECT_SAME_PICTURE(other.SourceBitmap, reduced(other.ViewBitmap, 25, 20));
    }
    preview.Trc_ImageSize->setValue(50);
    EXPECT_SAME_PICTURE(Doc.SourceBitmap, reduced(Doc.ViewBitmap, 40, 30));
}
