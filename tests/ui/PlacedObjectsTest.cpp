// The placed-object tools in the main window: the palette buttons, the
// option pages, the commands that wait while an object is placed, and the
// history steps with their texts.
#include "tests/ui/MainFixture.h"

#include "tests/picture/PicturePrinter.h"
#include "tests/ui/ToolOptionControls.h"
#include "ui/FrmToolOption.h"
#include "ui/FrmTools.h"
#include "ui/PaintBox.h"

#include <QAction>
#include <QComboBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

namespace {

void Hover(TFrmMain& main, QPoint at) { SendMouse(main, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); }

// The object follows the pointer to `at` and lands there.
void Place(TFrmMain& main, QPoint at)
{
    Hover(main, at);
    SendMouse(main, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(main, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

struct TLayers {
    TBitmap Sketch;
    TBitmap Color;
    friend bool operator==(const TLayers&, const TLayers&) = default;
    friend void PrintTo(const TLayers& layers, std::ostream* os)
    {
        *os << "sketch ";
        PrintTo(layers.Sketch, os);
        *os << ", colour ";
        PrintTo(layers.Color, os);
    }
};

TLayers LayersOf(const TDocument& document) { return {document.SketchLayer, document.ColorLayer}; }

} // namespace

TEST_F(MainWindowTest, EveryObjectToolCommitsItsObjectAsOneStepWhenLeft)
{
    struct TCase {
        TToolCode Code;
        const char* Page;
        const char* Operation;
        const char* Detail;
    };
    const TCase cases[] = {
        {TToolCode::Rectangle, "Rectangle", "Rectangle", "--"},
        {TToolCode::Ellipse, "Ellipse", "Ellipse", "--"},
        {TToolCode::Text, "Text", "Text", "--"},
        {TToolCode::BalloonRect, "Text Balloon", "Text Balloon", "Type: Rectangle"},
        {TToolCode::BalloonRounded, "Text Balloon", "Text Balloon", "Type: Rounded Rectangle"},
        {TToolCode::BalloonEllipse, "Text Balloon", "Text Balloon", "Type: Ellipse"},
        {TToolCode::BalloonThought, "Text Balloon", "Text Balloon", "Type: Thought"},
        {TToolCode::BalloonShout, "Text Balloon", "Text Balloon", "Type: Shout"},
    };
    Open(Photo("coffee.bmp"));
    Window<TFrmTools>()->SetFrontColor(QColor(200, 30, 40));
    Window<TFrmTools>()->SetBackColor(QColor(250, 240, 100));
    int x = 10;
    int y = 40;
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Page) + " " + c.Detail);
        const TLayers before = LayersOf(Main->Document());
        const int rows = Main->History().RowCount();
        QTest::mouseClick(Window<TFrmTools>()->ButtonOf(c.Code), Qt::LeftButton);
        ASSERT_EQ(Main->CurrentTool(), c.Code);
        EXPECT_EQ(TFrmToolOption::PageCaption(Window<TFrmToolOption>()->CurrentPage()), c.Page);
        EXPECT_FALSE(Item("MenuItem_Open")->isEnabled());
        EXPECT_FALSE(Item("MenuItem_SaveAs")->isEnabled());

        Place(*Main, QPoint(x, y));
        ObjectPage(*Window<TFrmToolOption>(), c.Code).Text->setPlainText(QString::fromUtf8("Caf\u00e9 \u65e5\u672c"));
        EXPECT_NE(LayersOf(Main->Document()), before);
        EXPECT_EQ(Main->History().RowCount(), rows);
        const TLayers shown = LayersOf(Main->Document());

        QTest::mouseClick(Window<TFrmTools>()->ButtonOf(TToolCode::Brush), Qt::LeftButton);
        ASSERT_EQ(Main->History().RowCount(), rows + 1);
        EXPECT_EQ(Main->History().Operation(Main->History().Current()), c.Operation);
        EXPECT_EQ(Main->History().Comment(Main->History().Current()), +c.Detail);
        EXPECT_TRUE(Item("MenuItem_Open")->isEnabled());
        EXPECT_TRUE(Item("MenuItem_Undo")->isEnabled());
        // What was shown is what the layers keep.
        EXPECT_EQ(LayersOf(Main->Document()), shown);
        x += 110;
        if (x > 450) {
            x = 10;
            y += 150;
        }
    }
}

TEST_F(MainWindowTest, CommitCancelAndDeleteEndWithTheHand)
{
    enum class TEnd { Commit, Cancel, Delete };
    struct TCase {
        TToolCode Code;
        TEnd End;
        bool Kept;
    };
    const TCase cases[] = {
        {TToolCode::Rectangle, TEnd::Commit, true},
        {TToolCode::Ellipse, TEnd::Cancel, false},
        {TToolCode::BalloonRounded, TEnd::Delete, false},
        {TToolCode::Text, TEnd::Commit, true},
    };
    Open(Photo("coffee.bmp"));
    for (const TCase& c : cases) {
        SCOPED_TRACE(int(c.Code));
        const TLayers before = LayersOf(Main->Document());
        const int rows = Main->History().RowCount();
        QTest::mouseClick(Window<TFrmTools>()->ButtonOf(c.Code), Qt::LeftButton);
        Place(*Main, QPoint(60, 50));
        const TObjectPage page = ObjectPage(*Window<TFrmToolOption>(), c.Code);
        switch (c.End) {
        case TEnd::Commit: QTest::mouseClick(page.Commit, Qt::LeftButton); break;
        case TEnd::Cancel: QTest::mouseClick(page.Cancel, Qt::LeftButton); break;
        case TEnd::Delete: QTest::keyRelease(Main.get(), Qt::Key_Delete); break;
        }
        EXPECT_EQ(Main->CurrentTool(), TToolCode::Hand);
        EXPECT_TRUE(Window<TFrmTools>()->ButtonOf(TToolCode::Hand)->isChecked());
        EXPECT_EQ(TFrmToolOption::PageCaption(Window<TFrmToolOption>()->CurrentPage()), "Info");
        EXPECT_TRUE(Item("MenuItem_Open")->isEnabled());
        EXPECT_EQ(Main->History().RowCount(), rows + (c.Kept ? 1 : 0));
        EXPECT_EQ(LayersOf(Main->Document()) == before, !c.Kept);
        // The hand's moves no longer reach the object.
        Hover(*Main, QPoint(150, 120));
        EXPECT_EQ(LayersOf(Main->Document()) == before, !c.Kept);
    }
}

TEST_F(MainWindowTest, UndoWhileAnObjectIsPlacedDropsTheObjectFirst)
{
    Open(Photo("coffee.bmp"));
    const TLayers opened = LayersOf(Main->Document());
    QTest::mouseClick(Window<TFrmTools>()->ButtonOf(TToolCode::Rectangle), Qt::LeftButton);
    Place(*Main, QPoint(30, 30));
    QTest::mouseClick(Window<TFrmTools>()->ButtonOf(TToolCode::Rectangle), Qt::LeftButton);
    const TLayers firstBox = LayersOf(Main->Document());
    ASSERT_NE(firstBox, opened);
    Place(*Main, QPoint(100, 80));
    ASSERT_TRUE(Item("MenuItem_Undo")->isEnabled());

    Item("MenuItem_Undo")->trigger();
    EXPECT_EQ(Main->CurrentTool(), TToolCode::Hand);
    EXPECT_EQ(LayersOf(Main->Document()), opened);
    // Nothing of the dropped object comes back with a refresh.
    Main->RefreshView();
    EXPECT_EQ(LayersOf(Main->Document()), opened);
    Item("MenuItem_Redo")->trigger();
    EXPECT_EQ(LayersOf(Main->Document()), firstBox);
}

TEST_F(MainWindowTest, TheViewCursorSaysWhatADragOnTheObjectDoes)
{
    Open(Photo("coffee.bmp"));
    QTest::mouseClick(Window<TFrmTools>()->ButtonOf(TToolCode::Rectangle), Qt::LeftButton);
    EXPECT_EQ(PaintBox()->cursor().shape(), Qt::CrossCursor);
    Place(*Main, QPoint(40, 40));
    const struct {
        QPoint At;
        Qt::CursorShape Shape;
    } cases[] = {
        {{50, 50}, Qt::SizeAllCursor}, {{60, 50}, Qt::SizeHorCursor},   {{40, 41}, Qt::SizeFDiagCursor},
        {{50, 60}, Qt::SizeVerCursor}, {{60, 38}, Qt::SizeBDiagCursor}, {{150, 150}, Qt::ArrowCursor},
    };
    for (const auto& c : cases) {
        Hover(*Main, c.At);
        EXPECT_EQ(PaintBox()->cursor().shape(), c.Shape) << c.At.x() << ", " << c.At.y();
    }
    QTest::mouseClick(Window<TFrmTools>()->ButtonOf(TToolCode::Pencil), Qt::LeftButton);
    EXPECT_EQ(PaintBox()->cursor().shape(), Qt::CrossCursor);
}

TEST_F(MainWindowTest, ChangingTheFontRendersThePendingObjectAtOnce)
{
    Open(Photo("coffee.bmp"));
    QTest::mouseClick(Window<TFrmTools>()->ButtonOf(TToolCode::BalloonEllipse), Qt::LeftButton);
    const TObjectPage page = ObjectPage(*Window<TFrmToolOption>(), TToolCode::BalloonEllipse);
    page.Text->setPlainText("Hello there");
    Place(*Main, QPoint(100, 100));
    const TLayers plain = LayersOf(Main->Document());
    page.Bold->click();
    const TLayers bold = LayersOf(Main->Document());
    EXPECT_NE(bold, plain);
    page.FontSize->setValue(20);
    EXPECT_NE(LayersOf(Main->Document()), bold);
    page.FontSize->setValue(12);
    page.Bold->click();
    EXPECT_EQ(LayersOf(Main->Document()), plain);
}
