#include "document/Document.h"

#include "tests/picture/PicturePrinter.h"
#include "tests/picture/TestPictures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEffectSettings EffectSettings(int blendMode, int opacity)
{
    TEffectSettings settings;
    std::memset(&settings, 0, sizeof settings);
    settings.BlendMode = blendMode;
    settings.Opacity = opacity;
    return settings;
}

TEST(Document, OpeningAPhotoGivesAWhiteSketchAndThePhotoEverywhereElse)
{
    TDocument document;
    document.LayerState = TLayerState{false, false, false, true, BlendOpacity, 12};
    const TBitmap photo = PatternPicture(7, 4, 3);
    document.InitialisePhoto(photo);

    EXPECT_TRUE(document.PictureOpened);
    EXPECT_SAME_PICTURE(document.ViewBitmap, photo);
    EXPECT_SAME_PICTURE(document.SourceBitmap, photo);
    EXPECT_SAME_PICTURE(document.ColorLayer, photo);
    EXPECT_SAME_PICTURE(document.SketchWork, photo);
    EXPECT_SAME_PICTURE(document.ColorWork, photo);
    EXPECT_SAME_PICTURE(document.SketchLayer, FilledPicture(7, 4, 255, 255, 255));
    // Shown and multiplied; drawability and opacity are the user's and stay.
    EXPECT_EQ(document.LayerState, (TLayerState{true, true, false, true, BlendMultiply, 12}));

    document.RebuildAll();
    EXPECT_SAME_PICTURE(document.ViewBitmap, photo) << "the white sketch layer shows the photo unchanged";
}

TEST(Document, RebuildAllSizesTheViewAndCoversTheLastRowAndColumn)
{
    TDocument document;
    document.SketchLayer = PatternPicture(5, 3, 40);
    document.ColorLayer = PatternPicture(5, 3, 90);
    document.SourceBitmap = PatternPicture(5, 3, 7);
    document.ViewBitmap = FilledPicture(2, 8, 1, 2, 3);
    document.LayerState.ColorVisible = false;
    document.RebuildAll();
    EXPECT_SAME_PICTURE(document.ViewBitmap, document.SketchLayer);

    document.LayerState.SketchVisible = false;
    document.RebuildAll();
    EXPECT_SAME_PICTURE(document.ViewBitmap, document.SourceBitmap);
}

TEST(Document, TheCompositeFollowsTheShownPictures)
{
    TDocument document;
    document.InitialisePhoto(FilledPicture(4, 4, 200, 100, 50));
    document.SketchWork.Fill(0, 0, 0);
    document.ShownSketch = &TDocument::SketchWork;
    document.RebuildAll();
    EXPECT_SAME_PICTURE(document.ViewBitmap, FilledPicture(4, 4, 0, 0, 0)) << "an adjustment previews its work copy";

    document.ShownSketch = &TDocument::SketchLayer;
    document.ColorWork.Fill(255, 255, 255);
    document.ShownColor = &TDocument::ColorWork;
    document.RebuildComposite(TRect{0, 0, 1, 3});
    EXPECT_EQ(Pixel(document.ViewBitmap, 1, 3)[0], 255);
    EXPECT_EQ(Pixel(document.ViewBitmap, 2, 3)[0], 0) << "only the rebuilt rectangle changes";
}

TEST(Document, AProjectIsShownWholeAndItsWorkCopiesFollowTheView)
{
    TDocument document;
    document.SketchLayer = FilledPicture(3, 5, 128, 255, 0);
    document.ColorLayer = FilledPicture(3, 5, 128, 77, 200);
    document.SourceBitmap = PatternPicture(3, 5, 1);
    document.InitialiseProject();
    EXPECT_TRUE(document.PictureOpened);
    EXPECT_SAME_PICTURE(document.ViewBitmap, FilledPicture(3, 5, 64, 77, 0));
    EXPECT_SAME_PICTURE(document.SketchWork, document.ViewBitmap);
    EXPECT_SAME_PICTURE(document.ColorWork, document.ViewBitmap);
}

TEST(Document, AnEffectResultBringsItsBlendingAndShowsBothLayers)
{
    TDocument document;
    document.InitialisePhoto(FilledPicture(2, 2, 255, 255, 255));
    document.LayerState = TLayerState{false, false, false, true, BlendMultiply, 50};

    // Opacity mix chosen in the effect: record mode 2 (anything but 1).
    document.TakeEffectResult(FilledPicture(2, 2, 0, 0, 0), FilledPicture(2, 2, 200, 200, 200), EffectSettings(2, 25));
    EXPECT_EQ(document.LayerState, (TLayerState{true, true, false, true, BlendOpacity, 25}));
    EXPECT_SAME_PICTURE(document.ViewBitmap, FilledPicture(2, 2, 150, 150, 150))
        << "rebuilt with the effect's own mode";

    document.TakeEffectResult(EffectSettings(1, 25));
    EXPECT_EQ(document.LayerState.BlendingMode, BlendMultiply);
    EXPECT_SAME_PICTURE(document.ViewBitmap, FilledPicture(2, 2, 0, 0, 0));

    document.TakeEffectResult(EffectSettings(0, 0));
    EXPECT_EQ(document.LayerState.BlendingMode, BlendOpacity);
    EXPECT_EQ(document.LayerState.Opacity, 1) << "the opacity stays in the panel's range";
    document.TakeEffectResult(EffectSettings(2, 400));
    EXPECT_EQ(document.LayerState.Opacity, 99);
}

} // namespace
