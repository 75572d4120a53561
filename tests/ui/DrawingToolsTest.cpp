#include "tests/ui/MainFixture.h"

#include "tests/picture/PicturePrinter.h"
#include "tests/ui/ToolOptionControls.h"
#include "ui/ColorSwatch.h"
#include "ui/FrmLayers.h"
#include "ui/FrmToolOption.h"
#include "ui/FrmTools.h"
#include "ui/PaintBox.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QToolButton>

namespace {

// A short left-button stroke on the view: press, three moves, release.
void Stroke(TFrmMain& main, QPoint from)
{
    SendMouse(main, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
    SendMouse(main, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= 3; ++i)
        SendMouse(main, QEvent::MouseMove, from + QPoint(4 * i, i), Qt::NoButton, Qt::LeftButton);
    SendMouse(main, QEvent::MouseButtonRelease, from + QPoint(12, 3), Qt::LeftButton, Qt::NoButton);
}

// The composite the layers give, computed afresh.
TBitmap FreshComposite(const TDocument& document)
{
    TDocument copy = document;
    copy.RebuildAll();
    return copy.ViewBitmap;
}

} // namespace

TEST_F(MainWindowTest, EveryPaintingToolRecordsItsStepOnRelease)
{
    struct TCase {
        TToolCode Code;
        const char* Page;
        const char* Step;
    };
    const TCase cases[] = {
        {TToolCode::Pencil, "Pencil", "Pencil"},
        {TToolCode::Brush, "Brush", "Brush"},
        {TToolCode::Eraser, "Eraser", "Eraser"},
        {TToolCode::PaintBucket, "Paint Bucket", "Paint Bucket"},
        {TToolCode::Lighten, "Lighten Tool", "Lighten Tool"},
        {TToolCode::Darken, "Darken Tool", "Darken Tool"},
    };
    Open(Photo("coffee.bmp"));
    ASSERT_TRUE(HorzScrollBar()->isHidden());
    Window<TFrmTools>()->SetFrontColor(QColor(200, 30, 40));
    int x = 20;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Step);
        QTest::mouseClick(Window<TFrmTools>()->ButtonOf(c.Code), Qt::LeftButton);
        EXPECT_EQ(Main->CurrentTool(), c.Code);
        EXPECT_EQ(TFrmToolOption::PageCaption(Window<TFrmToolOption>()->CurrentPage()), c.Page);
        EXPECT_EQ(PaintBox()->cursor().shape(), Qt::CrossCursor);
        const int rows = Main->History().RowCount();
        Stroke(*Main, QPoint(x, 60));
        x += 80;
        EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
        ASSERT_EQ(Main->History().RowCount(), rows + 1);
        EXPECT_EQ(Main->History().Operation(Main->History().Current()), c.Step);
        EXPECT_EQ(Main->History().Comment(Main->History().Current()), "--");
        EXPECT_TRUE(Item("MenuItem_Undo")->isEnabled());
    }
    // The pencil's press dab is on both layers; the eraser's white covers
    // its press point.
    EXPECT_EQ(PicturePixel(Main->Document().SketchLayer, 20, 60), qRgb(200, 30, 40));
    EXPECT_EQ(PicturePixel(Main->Document().ColorLayer, 20, 60), qRgb(200, 30, 40));
    EXPECT_EQ(PicturePixel(Main->Document().ColorLayer, 180, 60), qRgb(255, 255, 255));

    // Undo goes back one tool at a time; redo brings the step back.
    Main->Undo();
    EXPECT_EQ(Main->History().Operation(Main->History().Current()), "Lighten Tool");
    Main->Redo();
    EXPECT_EQ(Main->History().Operation(Main->History().Current()), "Darken Tool");
}

TEST_F(MainWindowTest, WithNoDrawableLayerAStrokeChangesNothingButIsAStep)
{
    Open(Photo("coffee.bmp"));
    Window<TFrmLayers>()->Chk_SketchDrawable->click();
    Window<TFrmLayers>()->Chk_ColorDrawable->click();
    ASSERT_FALSE(Main->Document().LayerState.SketchDrawable);
    const TBitmap sketch = Main->Document().SketchLayer;
    const TBitmap color = Main->Document().ColorLayer;
    QTest::mouseClick(Window<TFrmTools>()->ButtonOf(TToolCode::Pencil), Qt::LeftButton);
    Stroke(*Main, QPoint(50, 50));
    EXPECT_SAME_PICTURE(Main->Document().SketchLayer, sketch);
    EXPECT_SAME_PICTURE(Main->Document().ColorLayer, color);
    EXPECT_EQ(Main->History().RowCount(), 2);
    EXPECT_EQ(Main->History().Operation(Main->History().Current()), "Pencil");
}

TEST_F(MainWindowTest, BelowFullZoomTheToolsSayWhyAndTheHandStays)
{
    Open(Photo("coffee.bmp"));
    Main->ZoomOut();
    QTest::mouseClick(Window<TFrmTools>()->ButtonOf(TToolCode::Brush), Qt::LeftButton);
    EXPECT_EQ(Messages, QStringList{"When the Zoom Rate < 100%, you can not use draw tools."});
    EXPECT_EQ(Main->CurrentTool(), TToolCode::Hand);
    Main->ZoomIn();
    QTest::mouseClick(Window<TFrmTools>()->ButtonOf(TToolCode::Brush), Qt::LeftButton);
    EXPECT_EQ(Main->CurrentTool(), TToolCode::Brush);
    EXPECT_EQ(Messages.size(), 1);
}

TEST_F(MainWindowTest, TheOutlineFollowsThePointerAndGoesWithTheTool)
{
    Open(Photo("coffee.bmp"));
    QTest::mouseClick(Window<TFrmTools>()->ButtonOf(TToolCode::Brush), Qt::LeftButton);
    const TBitmap clean = FreshComposite(Main->Document());
    SendMouse(*Main, QEvent::MouseMove, {100, 100}, Qt::NoButton, Qt::NoButton);
    SendMouse(*Main, QEvent::MouseMove, {200, 150}, Qt::NoButton, Qt::NoButton);
    EXPECT_NE(Main->Document().ViewBitmap, clean);
    // The first outline is gone; the second shows on the screen.
    EXPECT_EQ(PicturePixel(Main->Document().ViewBitmap, 100, 90), PicturePixel(clean, 100, 90));
    EXPECT_EQ(PaintBox()->Screen().pixel(200, 140), PicturePixel(Main->Document().ViewBitmap, 200, 140));
    EXPECT_NE(PicturePixel(Main->Document().ViewBitmap, 200, 140), PicturePixel(clean, 200, 140));

    // A size change shows at once; choosing another tool takes the outline away.
    ControlNamed<QSlider>(*Window<TFrmToolOption>(), "TrcBrushSize")->setValue(40);
    EXPECT_NE(PicturePixel(Main->Document().ViewBitmap, 200, 130), PicturePixel(clean, 200, 130));
    QTest::mouseClick(Window<TFrmTools>()->ButtonOf(TToolCode::Pencil), Qt::LeftButton);
    EXPECT_SAME_PICTURE(Main->Document().ViewBitmap, clean);
    // And the Delete key too.
    SendMouse(*Main, QEvent::MouseMove, {200, 150}, Qt::NoButton, Qt::NoButton);
    QTest::keyRelease(Main.get(), Qt::Key_Delete);
    EXPECT_EQ(Main->CurrentTool(), TToolCode::Hand);
    EXPECT_SAME_PICTURE(Main->Document().ViewBitmap, clean);
}

TEST_F(MainWindowTest, TheDropperPicksFromTheCompositeAndShowsItsReading)
{
    Open(Photo("coffee.bmp"));
    QTest::mouseClick(Window<TFrmTools>()->ButtonOf(TToolCode::Dropper), Qt::LeftButton);
    const QRgb at = PicturePixel(Main->Document().ViewBitmap, 30, 40);
    const QRgb other = PicturePixel(Main->Document().ViewBitmap, 300, 200);
    SendMouse(*Main, QEvent::MouseMove, {30, 40}, Qt::NoButton, Qt::NoButton);
    const auto reading = [&](const char* name) {
        return ControlNamed<QLabel>(*Window<TFrmToolOption>(), name)->text();
    };
    EXPECT_EQ(reading("LabDropperX"), "X: 30");
    EXPECT_EQ(reading("LabDropperR"), QString("R: %1").arg(qRed(at)));
    EXPECT_EQ(reading("LabDropperB"), QString("B: %1").arg(qBlue(at)));
    SendMouse(*Main, QEvent::MouseButtonPress, {30, 40}, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(Window<TFrmTools>()->BackColorValue().rgb(), at);
    SendMouse(*Main, QEvent::MouseMove, {300, 200}, Qt::NoButton, Qt::RightButton);
    SendMouse(*Main, QEvent::MouseButtonRelease, {300, 200}, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(Window<TFrmTools>()->BackColorValue().rgb(), other);
    EXPECT_EQ(Window<TFrmTools>()->FrontColorValue(), QColor(Qt::black));
    EXPECT_EQ(Main->History().RowCount(), 1);
}
