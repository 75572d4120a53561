// The picture view on its own: what it reports to the window that owns it.
#include "ui/PictureView.h"

#include "document/Document.h"
#include "ui/PaintBox.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <vector>

namespace {

class PictureView : public testing::Test {
protected:
    void SetUp() override
    {
        View.resize(400, 300);
        View.show();
        QCoreApplication::processEvents();
        QObject::connect(&View, &TPictureView::PointerMoved,
                         [this](TPicturePoint point, Qt::MouseButtons) { Points.push_back(point); });
        QObject::connect(&View, &TPictureView::ZoomTurned, [this](int notches, QPoint) { Notches.push_back(notches); });
    }

    void OpenPicture()
    {
        Document.InitialisePhoto(TBitmap(1000, 800));
        View.UpdateScrollBars(QPoint(0, 0));
        QCoreApplication::processEvents();
    }

    TPaintBox* Box() const { return View.findChild<TPaintBox*>("PaintBox1"); }

    void Move(QPoint at)
    {
        QMouseEvent event(QEvent::MouseMove, QPointF(at), Box()->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(Box(), &event);
    }

    void Wheel(int delta, Qt::KeyboardModifiers modifiers)
    {
        const QPointF at(50, 40);
        QWheelEvent event(at, Box()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(Box(), &event);
    }

    TDocument Document;
    TPictureView View{Document};
    std::vector<TPicturePoint> Points;
    std::vector<int> Notches;
};

TEST_F(PictureView, ReportsThePointerInPicturePixelsOnceAPictureIsOpen)
{
    Move({40, 3});
    Wheel(120, Qt::ControlModifier);
    EXPECT_TRUE(Points.empty());
    EXPECT_TRUE(Notches.empty());

    OpenPicture();
    ASSERT_TRUE(View.SetZoomStep(1, QPoint(0, 0)));
    ASSERT_TRUE(View.ScrollBy(30, 20));
    ASSERT_EQ(View.ScrollPosition(), QPoint(30, 20));
    // At 1 / 0.75: screen 40 is picture 30 + 30, screen 3 is 20 + 2.25.
    Move({40, 3});
    ASSERT_EQ(Points.size(), 1u);
    EXPECT_EQ(Points[0], (TPicturePoint{60, 22}));
    // The view rectangle starts where the bars stand.
    EXPECT_EQ(View.ViewRect().Left, 30);
    EXPECT_EQ(View.ViewRect().Top, 20);
}

TEST_F(PictureView, CtrlAndTheWheelZoomByWholeNotchesAndTouchpadTurnsAddUp)
{
    OpenPicture();
    struct TCase {
        std::vector<int> Turns;
        std::vector<int> Notches;
    };
    const TCase cases[] = {
        {{120}, {1}},
        {{-120}, {-1}},
        {{60, 60}, {1}},
        {{-250}, {-2}},
        // What is left of a turn counts towards the next one.
        {{90}, {}},
        {{40}, {1}},
        {{-30, -30}, {}},
    };
    for (const TCase& c : cases) {
        Notches.clear();
        for (int turn : c.Turns)
            Wheel(turn, Qt::ControlModifier);
        EXPECT_EQ(Notches, c.Notches) << c.Turns.front();
    }

    // Without Ctrl the wheel scrolls the picture instead.
    Notches.clear();
    const QPoint before = View.ScrollPosition();
    Wheel(-120, Qt::NoModifier);
    EXPECT_TRUE(Notches.empty());
    EXPECT_GT(View.ScrollPosition().y(), before.y());
    EXPECT_EQ(View.ScrollPosition().x(), before.x());
}

} // namespace
