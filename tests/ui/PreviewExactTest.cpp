// The preview's pixels against what lumenquilla-render writes (what the
// editor's Save writes) for the same settings, through the real dialog; the
// newest settings when computations overlap; Cancel while they run.
#include "tests/ui/PreviewFixture.h"

#include "engine/DrawEffect.h"
#include "picture/PictureFiles.h"
#include "settings/ProgramDir.h"
#include "tests/picture/PicturePrinter.h"
#include "ui/PaintBox.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>

#include <random>
#include <string>

namespace {

class PreviewExact : public PreviewFixture {
protected:
    // A photo the preview was never tuned on.
    void OpenPhoto(const char* name)
    {
        PhotoPath = std::string(LQ_PHOTO_DIR "/") + name;
        Doc.ViewBitmap = ReadPicture(PhotoPath, nullptr);
        Doc.SourceBitmap = Doc.ViewBitmap;
    }

    // The renderer's output for the record, written as a 24-bit bitmap.
    TBitmap Rendered(const TEffectSettings& settings)
    {
        const std::string preset = Folder.File("case.set"), out = Folder.File("out.bmp");
        EXPECT_TRUE(WriteSettingsFile(preset, settings));
        QProcess render;
        render.start(QStringLiteral(LQ_RENDER_PROGRAM),
                     {"-q", "-p", QString::fromStdString(preset), QString::fromStdString(PhotoPath),
                      QString::fromStdString(out)});
        EXPECT_TRUE(render.waitForFinished(120000));
        EXPECT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
        return ReadPicture(out, nullptr);
    }

    // Drags the picture until the area's top-left corner shows (left, top).
    static void DragTo(TFrmPreview& preview, QPoint target)
    {
        TPaintBox* box = preview.PreviewArea;
        const QPoint grab(box->width() / 2, box->height() / 2);
        const QPoint from(preview.ScrollLeft(), preview.ScrollTop());
        QTest::mousePress(box, Qt::LeftButton, {}, grab);
        QTest::mouseMove(box, grab - (target - from));
        QTest::mouseRelease(box, Qt::LeftButton, {}, grab - (target - from));
        ASSERT_EQ(QPoint(preview.ScrollLeft(), preview.ScrollTop()), target);
    }

    // Whether the area shows `picture` from the scroll position, pixel for
    // pixel.
    static ::testing::AssertionResult AreaEquals(const TFrmPreview& preview, const TBitmap& picture)
    {
        const QImage& area = preview.AreaImage();
        const int left = preview.ScrollLeft(), top = preview.ScrollTop();
        int differ = 0;
        QPoint first;
        for (int y = 0; y < area.height() && top + y < picture.Height(); ++y)
            for (int x = 0; x < area.width() && left + x < picture.Width(); ++x) {
                const std::uint8_t* p = Pixel(picture, left + x, top + y);
                if ((area.pixel(x, y) & 0xffffffu) != (qRgb(p[2], p[1], p[0]) & 0xffffffu) && differ++ == 0)
                    first = QPoint(x, y);
            }
        if (differ == 0)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << differ << " pixels differ, the first at " << first.x() << ","
                                             << first.y() << " of the area at " << left << "," << top;
    }

    std::string PhotoPath;
};

// Any settings the controls can show, with at least one layer on.
TEffectSettings RandomSettings(std::mt19937& rng)
{
    TEffectSettings s = DesignedSettings();
    for (const TEffectControl& c : PreviewPairs)
        if (!c.StoresWhiteLevel)
            SetControlValue(s, c, c.Min + int(rng() % unsigned(c.Max - c.Min + 1)));
    for (const TEffectControl& c : OptionPairs)
        SetControlValue(s, c, c.Min + int(rng() % unsigned(c.Max - c.Min + 1)));
    s.SketchType = 1 + int(rng() % 2);
    s.RemainDark = std::uint8_t(rng() % 2);
    s.ScaleType = 1 + int(rng() % 2);
    s.SmoothType = int(rng() % 2);
    s.BlendMode = 1 + int(rng() % 2);
    s.DrawSketch = std::uint8_t(rng() % 3 != 0);
    s.DrawColor = std::uint8_t(!s.DrawSketch || rng() % 3 != 0);
    return s;
}

// The four shortcut presets and random settings, each with the region at the
// picture's corner, in its middle and at its far edge: the area holds the
// renderer's pixels there, byte for byte, once the exact frame is shown.
TEST_F(PreviewExact, TheAreaEqualsTheRenderersOutputAtTheCornerTheMiddleAndTheEdge)
{
    OpenPhoto("astronaut.jpg");
    TFrmPreview& preview = Shown();
    const QSize area = preview.PreviewArea->DeviceSize();
    const int w = Doc.SourceBitmap.Width(), h = Doc.SourceBitmap.Height();
    ASSERT_LT(area.width(), w);
    ASSERT_LT(area.height(), h);
    const QPoint places[] = {
        {0, 0}, {(w - area.width()) / 2, (h - area.height()) / 2}, {w - area.width(), h - area.height()}};

    std::mt19937 rng(2024);
    struct TCase {
        std::string Name;
        std::function<void()> Load;
    };
    std::vector<TCase> cases;
    for (const char* preset : {CartoonSetName, SketchSetName, LineDrawingSetName, CanvasSetName})
        cases.push_back(
            {preset, [&preview, preset] { preview.LoadSettingsFile(QStringLiteral(LQ_PROGRAM_DIR "/") + preset); }});
    for (int round = 0; round < 3; ++round)
        cases.push_back({"random " + std::to_string(round), [this, &preview, &rng] {
                             ASSERT_TRUE(WriteSettingsFile(Folder.File("random.set"), RandomSettings(rng)));
                             preview.LoadSettingsFile(QString::fromStdString(Folder.File("random.set")));
                             preview.Pair("Threshold")->Trc()->setValue(int(rng() % 256));
                         }});

    for (const TCase& c : cases) {
        c.Load();
        TBitmap rendered;
        for (const QPoint& place : places) {
            DragTo(preview, place);
            QTRY_VERIFY_WITH_TIMEOUT(preview.ShowsExact(), 30000);
            if (rendered.Empty())
                rendered = Rendered(preview.Settings());
            EXPECT_TRUE(AreaEquals(preview, rendered)) << c.Name << " at " << place.x() << "," << place.y();
        }
    }
}

// Settings that change while frames and the whole picture's scaling are
// computed: what stays on the area is the newest settings' exact frame.
TEST_F(PreviewExact, TheNewestSettingsWinWhenComputationsOverlap)
{
    OpenPhoto("storm.jpg");
    TFrmPreview& preview = Shown();
    preview.Chk_DrawColor->click();
    QSlider* scale = preview.Pair("ColorScale")->Trc();
    QSlider* brightness = preview.Pair("Brightness")->Trc();
    // A burst with no event handled in between, then moves that let some
    // frames arrive between them.
    for (int v = 3; v <= 12; ++v)
        scale->setValue(v);
    for (int v = 13; v <= 20; ++v) {
        scale->setValue(v);
        brightness->setValue(v);
        QCoreApplication::processEvents();
    }
    DragTo(preview, QPoint(700, 500));
    QTRY_VERIFY_WITH_TIMEOUT(preview.ShowsExact(), 30000);
    const TEffectSettings& s = preview.Settings();
    EXPECT_EQ(+s.ColorScale, 20);
    EXPECT_EQ(+s.Brightness, 20);
    EXPECT_EQ(+s.Left, 700);
    TEffectSettings whole = s;
    whole.Left = whole.Top = 0;
    whole.Width = Doc.SourceBitmap.Width();
    whole.Height = Doc.SourceBitmap.Height();
    TDrawEffect effect;
    effect.SetSettings(whole, &Doc.SourceBitmap);
    ASSERT_TRUE(effect.Render());
    TBitmap expected;
    effect.DrawBlended(expected);
    EXPECT_TRUE(AreaEquals(preview, expected));
}

// Cancel while a frame and the whole picture's scaling are under way: the
// document is as it was, nothing is written, and no late frame is shown.
TEST_F(PreviewExact, CancellingDuringABackgroundComputationChangesNothing)
{
    OpenPhoto("storm.jpg");
    const TBitmap before = PatternPicture(300, 200, 4);
    Doc.SourceBitmap = before;
    TFrmPreview& preview = Shown();
    preview.Chk_DrawColor->click();
    QTRY_VERIFY(preview.ShowsLatest());
    preview.Pair("ColorScale")->Trc()->setValue(40);
    ASSERT_FALSE(preview.ShowsExact()) << "a computation is under way";
    const QImage shown = preview.AreaImage().copy();
    preview.Btn_Cancel->click();
    EXPECT_FALSE(preview.isVisible());
    EXPECT_FALSE(preview.Confirmed());
    Settle();
    EXPECT_SAME_PICTURE(Doc.SourceBitmap, before);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(Folder.File(LastSetName))));
    EXPECT_EQ(preview.AreaImage(), shown);
}

} // namespace
