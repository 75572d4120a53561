// The cartoon commands from the menu to the layers, through the real preview
// and progress dialogs.
#include "tests/ui/MainFixture.h"

#include "picture/PictureFiles.h"
#include "settings/EffectComment.h"
#include "settings/EffectControls.h"
#include "settings/FitToPhoto.h"
#include "settings/SettingsFile.h"
#include "tests/picture/PicturePrinter.h"
#include "ui/ColorScaleRuler.h"
#include "ui/FrmColorMoreOption.h"
#include "ui/FrmLayers.h"
#include "ui/FrmPreview.h"
#include "ui/FrmProcess.h"
#include "ui/TrackSpin.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include <functional>

namespace {

class CartoonCommand : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // The shipped presets, in the test's program folder.
        for (const char* name : {DefaultSetName, CartoonSetName, SketchSetName, LineDrawingSetName, CanvasSetName})
            ASSERT_TRUE(QFile::copy(QStringLiteral(LQ_PROGRAM_DIR "/") + name, Folder.filePath(name))) << name;
    }

    static TEffectSettings Preset(const char* name)
    {
        TEffectSettings s{};
        EXPECT_TRUE(ReadSettingsFile(ProgramFile(name), s));
        return s;
    }

    // A dim photo with soft edges, which the cartoon preset fits to visibly.
    QString DimPhoto() const
    {
        TBitmap photo(320, 240);
        for (int y = 0; y < photo.Height(); ++y)
            for (int x = 0; x < photo.Width(); ++x) {
                std::uint8_t* p = photo.ScanLine(y) + x * 3;
                const bool square = ((x / 40) + (y / 40)) % 2 != 0;
                p[0] = std::uint8_t(square ? 40 : 22);
                p[1] = std::uint8_t(square ? 30 + x / 16 : 15);
                p[2] = std::uint8_t(square ? 20 : 12 + y / 20);
            }
        const QString path = Folder.filePath(QStringLiteral("dim.bmp"));
        WritePicture(path.toStdString(), photo);
        return path;
    }

    // What the preview's controls show, as a record.
    static TEffectSettings Shown(const TFrmPreview& preview)
    {
        TEffectSettings s{};
        for (const TEffectControl& c : PreviewPairs)
            if (!c.StoresWhiteLevel)
                SetControlValue(s, c, preview.Pair(c.Name)->Value());
        return s;
    }

    static void ExpectShownValues(const TEffectSettings& shown, const TEffectSettings& expected)
    {
        for (const TEffectControl& c : PreviewPairs) {
            if (!c.StoresWhiteLevel) {
                EXPECT_EQ(ControlValue(shown, c), ControlValue(expected, c)) << c.Name;
            }
        }
    }

    // The colouring options' ruler as it draws, and a ruler beside it (the
    // same style) drawing `row`.
    TColorScaleRuler* Ruler() const { return Named<TColorScaleRuler>(*Window<TFrmColorMoreOption>(), "PaintBox1"); }
    QImage RulerImageOf(const std::uint8_t* row) const
    {
        TColorScaleRuler ruler(Ruler()->parentWidget());
        ruler.resize(Ruler()->size());
        ruler.SetRow(row);
        return ruler.grab().toImage();
    }

    bool LayersEqual(const TBitmap& sketch, const TBitmap& color) const
    {
        return Main->Document().SketchLayer == sketch && Main->Document().ColorLayer == color;
    }
};

TEST_F(CartoonCommand, AShortcutSetsTheLayersThePanelAndOneClassicState)
{
    Open(Photo("coffee.jpg"));
    Window<TFrmLayers>()->LayerState().ColorVisible = false;
    Window<TFrmLayers>()->ShowLayerState();

    struct TCase {
        QAction* item;
        const char* preset;
        int mode;
    };
    for (const TCase c : {TCase{Item("MenuItem_Canvas"), CanvasSetName, BlendOpacity},
                          TCase{Item("MenuItem_Cartoon"), CartoonSetName, BlendMultiply}}) {
        const int rows = Main->History().RowCount();
        WhenShown<TFrmPreview>([](TFrmPreview& preview) { preview.Btn_Ok->click(); });
        c.item->trigger();
        Settle();
        ASSERT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();

        const TEffectSettings preset = Preset(c.preset);
        EXPECT_EQ(Main->History().RowCount(), rows + 1) << c.preset;
        EXPECT_EQ(Main->History().Operation(Main->History().Current()), "Classic");
        EXPECT_EQ(Main->History().Comment(Main->History().Current()), EffectHistoryComment(preset));
        EXPECT_EQ(Window<TFrmLayers>()->CmbBlendingMode->currentIndex(), c.mode);
        EXPECT_EQ(Window<TFrmLayers>()->Trc_Opacity->isHidden(), c.mode == BlendMultiply);
        if (c.mode == BlendOpacity) {
            EXPECT_EQ(Window<TFrmLayers>()->Trc_Opacity->value(), +preset.Opacity);
        }
        EXPECT_TRUE(Main->Document().LayerState.SketchVisible && Main->Document().LayerState.ColorVisible);
        EXPECT_EQ(Main->Document().SketchLayer.Width(), 600);
        EXPECT_TRUE(Item("MenuItem_Undo")->isEnabled());
    }
}

TEST_F(CartoonCommand, CancelInEitherDialogChangesNoLayerAndRecordsNothing)
{
    Open(Photo("storm.jpg"));
    const TBitmap sketch = Main->Document().SketchLayer, color = Main->Document().ColorLayer;
    const TBitmap photo = Main->Document().SourceBitmap;

    WhenShown<TFrmPreview>([](TFrmPreview& preview) { preview.Btn_Cancel->click(); });
    Item("MenuItem_Cartoon")->trigger();
    Settle();
    EXPECT_EQ(Main->History().RowCount(), 1);
    EXPECT_TRUE(LayersEqual(sketch, color));
    EXPECT_SAME_PICTURE(Main->Document().SourceBitmap, photo);

    // OK in the preview, Cancel in the progress dialog as soon as it shows.
    WhenShown<TFrmPreview>([](TFrmPreview& preview) {
        WhenShown<TFrmProcess>([](TFrmProcess& process) { process.BtnCancel->click(); });
        preview.Btn_Ok->click();
    });
    Item("MenuItem_Classic")->trigger();
    Settle();
    EXPECT_EQ(Main->History().RowCount(), 1);
    EXPECT_TRUE(LayersEqual(sketch, color));
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    // The commands are back for the next try.
    EXPECT_TRUE(Item("MenuItem_Classic")->isEnabled());
}

TEST_F(CartoonCommand, FitToPhotoShowsTheFittedSettingsEverywhereAndCancelKeepsTheDocument)
{
    Open(DimPhoto());
    const TBitmap photo = Main->Document().SourceBitmap;
    const TEffectSettings cartoon = Preset(CartoonSetName);
    const TEffectSettings fitted = FitToPhoto(cartoon, Main->Document().ViewBitmap);
    const std::uint8_t* fittedRow = fitted.ColorTable + (fitted.ColorScale - 1) * ColorTableRowSize;
    ASSERT_NE(
        std::memcmp(fittedRow, cartoon.ColorTable + (cartoon.ColorScale - 1) * ColorTableRowSize, ColorTableRowSize), 0)
        << "the dim photo must move the bands for this test to show anything";

    bool checked = false;
    WhenShown<TFrmPreview>([&](TFrmPreview& preview) {
        ExpectShownValues(Shown(preview), cartoon);
        const QImage before = Ruler()->grab().toImage();
        preview.Btn_Fit->click();
        ExpectShownValues(Shown(preview), fitted);
        const QImage after = Ruler()->grab().toImage();
        EXPECT_NE(after, before);
        EXPECT_TRUE(after == RulerImageOf(fittedRow)) << "the ruler does not show the fitted row";
        checked = true;
        preview.Btn_Cancel->click();
    });
    Item("MenuItem_Cartoon")->trigger();
    Settle();
    ASSERT_TRUE(checked);
    EXPECT_EQ(Main->History().RowCount(), 1);
    EXPECT_SAME_PICTURE(Main->Document().SourceBitmap, photo);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
}

TEST_F(CartoonCommand, ShortcutAutoRunsTheCartoonPresetFittedToThePicture)
{
    Open(DimPhoto());
    const TEffectSettings fitted = FitToPhoto(Preset(CartoonSetName), Main->Document().ViewBitmap);
    WhenShown<TFrmPreview>([&](TFrmPreview& preview) {
        ExpectShownValues(Shown(preview), fitted);
        preview.Btn_Ok->click();
    });
    Item("MenuItem_Auto")->trigger();
    Settle();
    ASSERT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_EQ(Main->History().Operation(Main->History().Current()), "Classic");
    EXPECT_EQ(Main->History().Comment(Main->History().Current()), EffectHistoryComment(fitted));
    EXPECT_NE(EffectHistoryComment(fitted), EffectHistoryComment(Preset(CartoonSetName)));
}

// The editor and lumenquilla-render share one path from photo and preset to
// layers, so the same preset gives the same layers in both.
TEST_F(CartoonCommand, AShortcutGivesTheRenderersLayersByteForByte)
{
    const QString photo = Photo("coffee.jpg");
    for (const auto& [item, preset] :
         {std::pair{Item("MenuItem_Cartoon"), "cartoon"}, std::pair{Item("MenuItem_Sketch"), "sketch"}}) {
        Open(photo);
        WhenShown<TFrmPreview>([](TFrmPreview& preview) { preview.Btn_Ok->click(); });
        item->trigger();
        Settle();
        ASSERT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();

        const QString sketchFile = Folder.filePath(QStringLiteral("sketch.bmp"));
        const QString colorFile = Folder.filePath(QStringLiteral("color.bmp"));
        QProcess render;
        render.start(QStringLiteral(LQ_RENDER_PROGRAM),
                     {QStringLiteral("-p"), QString::fromLatin1(preset), QStringLiteral("--sketch-out"), sketchFile,
                      QStringLiteral("--color-out"), colorFile, photo, Folder.filePath(QStringLiteral("out.bmp"))});
        ASSERT_TRUE(render.waitForFinished(120000));
        ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();

        EXPECT_SAME_PICTURE(Main->Document().SketchLayer, ReadPicture(sketchFile.toStdString(), nullptr)) << preset;
        EXPECT_SAME_PICTURE(Main->Document().ColorLayer, ReadPicture(colorFile.toStdString(), nullptr)) << preset;
        const QString out = Folder.filePath(QStringLiteral("out.bmp"));
        EXPECT_SAME_PICTURE(Main->Document().ViewBitmap, ReadPicture(out.toStdString(), nullptr)) << preset;
    }
}

} // namespace
