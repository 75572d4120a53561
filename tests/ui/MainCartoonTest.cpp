// The cartoon commands from the menu to the layers, through the real preview
// and progress dialogs.
#include "tests/ui/MainFixture.h"

#include "picture/PictureFiles.h"
#include "settings/EffectComment.h"
#include "settings/SettingsFile.h"
#include "tests/picture/PicturePrinter.h"
#include "ui/FrmLayers.h"
#include "ui/FrmPreview.h"
#include "ui/FrmProcess.h"

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
