#include "tests/ui/MainFixture.h"

#include "ui/PaintBox.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

QRgb ScreenPixel(TFrmMain& main, int x, int y) { return PaintBoxOf(main)->Screen().pixel(x, y); }

TEST_F(MainWindowTest, BeforeAPictureTheViewIsTheWindowFace)
{
    Main->RefreshView();
    const QSize size = Main->View().PaintSize();
    ASSERT_GT(size.width(), 100);
    const QRgb face = PaintBox()->FaceColor().rgb();
    EXPECT_EQ(ScreenPixel(*Main, 0, 0), face);
    EXPECT_EQ(ScreenPixel(*Main, size.width() - 1, size.height() - 1), face);
    EXPECT_TRUE(HorzScrollBar()->isHidden());
    EXPECT_TRUE(VertScrollBar()->isHidden());
}

TEST_F(MainWindowTest, ALargePictureGetsScrollBarsThatFollowTheZoom)
{
    Open(Photo("storm.jpg"));
    const TBitmap& view = Main->Document().ViewBitmap;
    for (double zoom : {1.0, 0.75, 0.5625}) {
        const QSize paint = Main->View().PaintSize();
        const TScrollRange horizontal = ScrollRangeFor(paint.width(), 1920, zoom);
        const TScrollRange vertical = ScrollRangeFor(paint.height(), 1280, zoom);
        EXPECT_EQ(Main->View().ZoomRate(), zoom);
        EXPECT_EQ(HorzScrollBar()->isHidden(), !horizontal.Shown) << zoom;
        EXPECT_EQ(VertScrollBar()->isHidden(), !vertical.Shown) << zoom;
        EXPECT_EQ(HorzScrollBar()->maximum(), horizontal.LastPosition()) << zoom;
        EXPECT_EQ(HorzScrollBar()->pageStep(), horizontal.Page) << zoom;
        EXPECT_EQ(VertScrollBar()->maximum(), vertical.LastPosition()) << zoom;
        EXPECT_EQ(Main->ViewRect(),
                  ComputeViewRect(0, 0, view.Width(), view.Height(), paint.width(), paint.height(), zoom));
        EXPECT_EQ(StatusPanel(1)->text(), QString::fromStdString(ZoomText(zoom)));
        Main->ZoomOut();
        Settle();
    }
    EXPECT_EQ(StatusPanel(0)->text(), "1920 x 1280");
}

TEST_F(MainWindowTest, ZoomStepsReturnExactlyAndStopAtTheBounds)
{
    Open(Photo("astronaut.jpg"));
    Main->ZoomOut();
    EXPECT_EQ(Main->View().ZoomRate(), 0.75);
    EXPECT_EQ(StatusPanel(1)->text(), "75%");
    Main->ZoomIn();
    EXPECT_EQ(Main->View().ZoomRate(), 1.0);
    for (int i = 0; i < 30; ++i)
        Main->ZoomIn();
    EXPECT_EQ(Main->View().ZoomRate(), ZoomRateOfStep(MaxZoomStep()));
    EXPECT_EQ(StatusPanel(1)->text(), "5612%");
    for (int i = 0; i < 60; ++i)
        Main->ZoomOut();
    EXPECT_EQ(Main->View().ZoomRate(), ZoomRateOfStep(MinZoomStep()));
}

TEST_F(MainWindowTest, ThePictureIsDrawnPixelForPixelAndTheRestIsFace)
{
    // 512 x 512 fits the view: no bars, the face colour right of and below it.
    Open(Photo("astronaut.jpg"));
    ASSERT_TRUE(HorzScrollBar()->isHidden());
    const TBitmap& view = Main->Document().ViewBitmap;
    const QRgb face = PaintBox()->FaceColor().rgb();
    for (const QPoint p : {QPoint(0, 0), QPoint(511, 511), QPoint(200, 17)})
        EXPECT_EQ(ScreenPixel(*Main, p.x(), p.y()), PicturePixel(view, p.x(), p.y())) << p.x() << "," << p.y();
    EXPECT_EQ(ScreenPixel(*Main, 512, 0), face);
    EXPECT_EQ(ScreenPixel(*Main, 0, 512), face);

    // Zoomed out, the picture takes nearest(512 x 0.75) = 384 pixels; what it
    // covered before turns to face.
    Main->ZoomOut();
    EXPECT_EQ(ScreenPixel(*Main, 383, 383), PicturePixel(view, 510, 510));
    EXPECT_EQ(ScreenPixel(*Main, 384, 0), face);
    EXPECT_EQ(ScreenPixel(*Main, 0, 384), face);

    // Two steps in, every picture pixel takes one or two screen pixels and
    // none is smoothed: each screen pixel is some picture pixel.
    Main->ActualPixels();
    Main->ZoomIn();
    Main->ZoomIn();
    // Zooming keeps the centre in place; back to the top-left corner.
    HorzScrollBar()->setValue(0);
    VertScrollBar()->setValue(0);
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(ScreenPixel(*Main, x, 5), PicturePixel(view, x * 9 / 16, 5 * 9 / 16)) << x;
}

TEST_F(MainWindowTest, PaintRectRedrawsOnlyItsPartAsTheWholeViewWould)
{
    Open(Photo("storm.jpg"));
    Main->ZoomIn();
    HorzScrollBar()->setValue(0);
    VertScrollBar()->setValue(0);
    const QImage before = PaintBox()->Screen().copy();
    // Change the layers behind the view's back, then redraw a small rectangle.
    Tools().ColorLayer().Fill(0, 0, 255);
    Tools().RebuildComposite(TRect{10, 10, 19, 14});
    Main->PaintRect(TRect{10, 10, 19, 14});
    const QImage& after = PaintBox()->Screen();
    // The view's mapping: screen x shows picture x * w / (scaled w).
    const TRect view = Main->ViewRect();
    const int w = view.Right + 1, h = view.Bottom + 1;
    const int scaledW = ScaledLength(w, Main->View().ZoomRate()), scaledH = ScaledLength(h, Main->View().ZoomRate());
    int changed = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const int px = x * w / scaledW, py = y * h / scaledH;
            const bool inside = px >= 10 && px <= 19 && py >= 10 && py <= 14;
            if (inside) {
                ++changed;
                EXPECT_EQ(after.pixel(x, y), qRgb(255, 0, 0)) << x << "," << y;
            } else {
                EXPECT_EQ(after.pixel(x, y), before.pixel(x, y)) << x << "," << y;
            }
        }
    EXPECT_GT(changed, 50);
}

// The picture point at the centre of the view, from the scroll positions.
static QPointF CentrePoint(const TFrmMain& main)
{
    const TPictureView& view = main.View();
    const QSize paint = view.PaintSize();
    return QPointF(view.ScrollPosition().x() + paint.width() / 2 / view.ZoomRate(),
                   view.ScrollPosition().y() + paint.height() / 2 / view.ZoomRate());
}

TEST_F(MainWindowTest, ZoomingKeepsTheUsersPlaceAndResizingKeepsTheScroll)
{
    Open(Photo("storm.jpg"));
    HorzScrollBar()->setValue(700);
    VertScrollBar()->setValue(400);
    const QPointF centre = CentrePoint(*Main);
    for (void (TFrmMain::*zoom)() : {&TFrmMain::ZoomIn, &TFrmMain::ZoomIn, &TFrmMain::ZoomOut, &TFrmMain::ZoomOut}) {
        (Main.get()->*zoom)();
        EXPECT_NEAR(CentrePoint(*Main).x(), centre.x(), 1.0);
        EXPECT_NEAR(CentrePoint(*Main).y(), centre.y(), 1.0);
    }
    EXPECT_EQ(HorzScrollBar()->value(), 700);

    // Ctrl and the wheel keep the point under the pointer.
    const QPointF at(120, 80);
    const TPicturePoint under = PictureCoordinates(120, 80, Main->View().ZoomRate(), 700, 400);
    QWheelEvent wheel(at, PaintBox()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(PaintBox(), &wheel);
    EXPECT_EQ(Main->View().ZoomRate(), 1 / 0.75);
    const TPicturePoint after =
        PictureCoordinates(120, 80, Main->View().ZoomRate(), HorzScrollBar()->value(), VertScrollBar()->value());
    EXPECT_NEAR(after.X, under.X, 1);
    EXPECT_NEAR(after.Y, under.Y, 1);

    // A smaller window keeps the position.
    Main->ActualPixels();
    HorzScrollBar()->setValue(500);
    Main->resize(700, 500);
    Settle();
    EXPECT_EQ(HorzScrollBar()->value(), 500);
}

TEST_F(MainWindowTest, FitInWindowShowsTheWholePictureAtTheLargestStepAndKeysScroll)
{
    Open(Photo("storm.jpg"));
    EXPECT_TRUE(Item("MenuItem_FitWindow")->isEnabled());
    EXPECT_EQ(Item("MenuItem_FitWindow")->shortcut(), QKeySequence("Ctrl+9"));
    Main->FitInWindow();
    EXPECT_LT(Main->View().ZoomRate(), 1.0);
    EXPECT_TRUE(HorzScrollBar()->isHidden());
    EXPECT_TRUE(VertScrollBar()->isHidden());
    Main->ZoomIn();
    EXPECT_FALSE(HorzScrollBar()->isHidden() && VertScrollBar()->isHidden());

    Main->ActualPixels();
    HorzScrollBar()->setValue(0);
    VertScrollBar()->setValue(0);
    struct TKey {
        Qt::Key key;
        QScrollBar* bar;
        int steps;
    };
    for (const TKey k : {TKey{Qt::Key_Right, HorzScrollBar(), 1}, TKey{Qt::Key_Down, VertScrollBar(), 1},
                         TKey{Qt::Key_PageDown, VertScrollBar(), 0}, TKey{Qt::Key_Left, HorzScrollBar(), -1}}) {
        const int before = k.bar->value();
        QKeyEvent press(QEvent::KeyPress, k.key, Qt::NoModifier);
        QCoreApplication::sendEvent(Main.get(), &press);
        const int expected = k.steps == 0 ? before + k.bar->pageStep() : before + k.steps * k.bar->singleStep();
        EXPECT_EQ(k.bar->value(), std::clamp(expected, 0, k.bar->maximum())) << k.key;
    }
}

TEST_F(MainWindowTest, TheHandDragsThePictureWithinItsEdges)
{
    Open(Photo("storm.jpg"));
    ASSERT_FALSE(HorzScrollBar()->isHidden());
    ASSERT_EQ(Main->CurrentTool(), TToolCode::Hand);
    const TBitmap& view = Main->Document().ViewBitmap;

    // Ten pixels to the left moves the view ten pixels to the right.
    SendMouse(*Main, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(*Main, QEvent::MouseMove, {90, 97}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(HorzScrollBar()->value(), 10);
    EXPECT_EQ(VertScrollBar()->value(), 3);
    EXPECT_EQ(+Main->ViewRect().Left, 10);
    EXPECT_EQ(+Main->ViewRect().Top, 3);
    EXPECT_EQ(ScreenPixel(*Main, 0, 0), PicturePixel(view, 10, 3));
    // The grabbed point is under the pointer again: the same move goes no further.
    SendMouse(*Main, QEvent::MouseMove, {90, 97}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(HorzScrollBar()->value(), 10);
    SendMouse(*Main, QEvent::MouseButtonRelease, {90, 97}, Qt::LeftButton, Qt::NoButton);

    // Never before the first column nor past the last.
    SendMouse(*Main, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(*Main, QEvent::MouseMove, {300, 100}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(HorzScrollBar()->value(), 0);
    SendMouse(*Main, QEvent::MouseMove, {-5000, 100}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(HorzScrollBar()->value(), HorzScrollBar()->maximum());
    EXPECT_EQ(Main->ViewRect().Right, 1919);
    // Without the button held the pointer only moves.
    SendMouse(*Main, QEvent::MouseMove, {500, 100}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(HorzScrollBar()->value(), HorzScrollBar()->maximum());
}

TEST_F(MainWindowTest, TheHandCursorOpensOverAMovablePictureAndClosesWhileDragging)
{
    Main->SetCurrentTool(TToolCode::Hand);
    Main->ShowToolOptionPage();
    EXPECT_EQ(PaintBox()->cursor().shape(), Qt::ArrowCursor);

    Open(Photo("storm.jpg"));
    EXPECT_EQ(PaintBox()->cursor().shape(), Qt::BitmapCursor);
    const QPixmap open = PaintBox()->cursor().pixmap();
    SendMouse(*Main, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
    const QPixmap grabbing = PaintBox()->cursor().pixmap();
    EXPECT_NE(open.toImage(), grabbing.toImage());
    SendMouse(*Main, QEvent::MouseButtonRelease, {100, 100}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(PaintBox()->cursor().pixmap().toImage(), open.toImage());

    // A picture that fits cannot be moved: the arrow.
    Open(Photo("astronaut.jpg"));
    EXPECT_EQ(PaintBox()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MainWindowTest, ResizingKeepsTheBarsInStepWithTheBox)
{
    Open(Photo("coffee.bmp"));
    EXPECT_TRUE(HorzScrollBar()->isHidden());
    Main->resize(500, 400);
    Settle();
    const QSize paint = Main->View().PaintSize();
    ASSERT_LT(paint.width(), 600);
    EXPECT_FALSE(HorzScrollBar()->isHidden());
    EXPECT_EQ(HorzScrollBar()->pageStep(), paint.width());
    EXPECT_EQ(Main->ViewRect().Right, paint.width() - 1);
}

} // namespace
