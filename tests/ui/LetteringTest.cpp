// Lettering through the real widgets: the option pages' check boxes and
// choice built from their tables, a balloon that fits what is typed, Fit
// turned off by sizing a balloon by hand, the cut-text notice, and Edit
// Last Object with its history step.
#include "tests/tools/ToolTestEnvironment.h"
#include "tests/ui/MainFixture.h"
#include "tests/ui/ToolOptionControls.h"
#include "tools/Balloon.h"
#include "ui/FrmToolOption.h"
#include "ui/FrmTools.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr TOptionPage ObjectOptionPages[] = {TOptionPage::Rectangle, TOptionPage::Ellipse, TOptionPage::Text,
                                             TOptionPage::Balloon};
// A tool of each object page, and the page's control prefix.
constexpr TToolCode PageTool[] = {TToolCode::Rectangle, TToolCode::Ellipse, TToolCode::Text, TToolCode::BalloonShout};
const char* const PagePrefix[] = {"Rect", "Ellipse", "Text", "Balloon"};

const char* const TwelveWords = "Liftoff in ten seconds, so strap in and hold on to your helmets now!";

void Hover(TFrmMain& main, QPoint at) { SendMouse(main, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); }

void Place(TFrmMain& main, QPoint at)
{
    Hover(main, at);
    SendMouse(main, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(main, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

void DragOnView(TFrmMain& main, QPoint from, QPoint to)
{
    Hover(main, from);
    SendMouse(main, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(main, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    SendMouse(main, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

QCheckBox* Option(const QWidget& panel, const char* prefix, const char* name)
{
    return panel.findChild<QCheckBox*>(QStringLiteral("Chk") + prefix + name);
}

class LetteringPanel : public testing::Test {
protected:
    void SetUp() override
    {
        Panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Panel));
    }

    TFrmToolOption Panel;
    QSignalSpy Refresh{&Panel, &TFrmToolOption::ToolPreviewRefreshRequested};
};

class Lettering : public MainWindowTest {
protected:
    TFrmToolOption& Options() const { return *Window<TFrmToolOption>(); }
    TObjectPage BalloonPage() const { return ObjectPage(Options(), TToolCode::BalloonRect); }
    void Choose(TToolCode code) const { QTest::mouseClick(Window<TFrmTools>()->ButtonOf(code), Qt::LeftButton); }
    TBitmap Sketch() const { return Main->Document().SketchLayer; }
};

} // namespace

TEST_F(LetteringPanel, OptionsAndTheChoiceAreBuiltFromTheirTablesOnTheirPages)
{
    for (std::size_t p = 0; p < std::size(ObjectOptionPages); ++p) {
        SCOPED_TRACE(PagePrefix[p]);
        const TOptionPage page = ObjectOptionPages[p];
        const TToolCode code = PageTool[p];
        Panel.ShowPage(code);
        TObjectSettings expected = Panel.ObjectSettings(code);
        EXPECT_EQ(expected, [&] {
            TObjectSettings start = StartObjectSettings(page);
            start.FontName = expected.FontName;
            return start;
        }());
        for (const TObjectOption& row : ObjectOptionTable) {
            SCOPED_TRACE(row.Name);
            QCheckBox* box = Option(Panel, PagePrefix[p], row.Name);
            ASSERT_EQ(box != nullptr, bool(row.Pages & PageBit(page)));
            if (!box)
                continue;
            EXPECT_EQ(box->text(), row.Caption);
            EXPECT_EQ(box->isChecked(), row.Start);
            EXPECT_TRUE(box->isVisible());
            // A click is what the panel hands back, and redraws the object.
            const int before = int(Refresh.count());
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
            expected.*row.Field = !row.Start;
            EXPECT_EQ(Panel.ObjectSettings(code), expected);
            EXPECT_EQ(Refresh.count(), before + 1);
        }
        for (const TObjectChoice& row : ObjectChoiceTable) {
            auto* box = Panel.findChild<QComboBox*>(QStringLiteral("Cmb") + PagePrefix[p] + row.Name);
            ASSERT_EQ(box != nullptr, bool(row.Pages & PageBit(page)));
            if (!box)
                continue;
            ASSERT_EQ(box->count(), int(row.Items.size()));
            EXPECT_EQ(box->itemText(0), row.Items[0]);
            EXPECT_EQ(box->currentIndex(), int(row.Start));
            const int before = int(Refresh.count());
            box->setCurrentIndex(0);
            expected.*row.Field = TTextAlign(0);
            EXPECT_EQ(Panel.ObjectSettings(code), expected);
            EXPECT_EQ(Refresh.count(), before + 1);
        }
    }
}

TEST_F(LetteringPanel, SettingsShownByAToolAskForNoRedrawAndANewObjectStartsAfresh)
{
    TObjectSettings shown = Panel.ObjectSettings(TToolCode::BalloonThought);
    shown.Lines = {"One", "", "thr\u00e9e"};
    shown.BorderWidth = 4;
    shown.FontSize = 20;
    shown.Underline = true;
    shown.Align = TTextAlign::Left;
    shown.SecondTail = true;
    shown.FitToText = false;
    Panel.SetObjectSettings(TToolCode::BalloonThought, shown);
    EXPECT_EQ(Refresh.count(), 0);
    EXPECT_EQ(Panel.ObjectSettings(TToolCode::BalloonRect), shown);

    // The user turns the second tail off again; a new balloon then gets Fit
    // back, which the tool had turned off, and keeps what the user chose.
    QTest::mouseClick(Option(Panel, "Balloon", "SecondTail"), Qt::LeftButton, {}, QPoint(4, 6));
    EXPECT_EQ(Refresh.count(), 1);
    Panel.StartObject(TToolCode::BalloonShout);
    const TObjectSettings next = Panel.ObjectSettings(TToolCode::BalloonShout);
    EXPECT_TRUE(next.FitToText);
    EXPECT_FALSE(next.SecondTail);
    EXPECT_EQ(next.Lines, shown.Lines);
    EXPECT_EQ(Refresh.count(), 1);
}

TEST_F(Lettering, ABalloonPlacedWithOneClickShowsEveryWordOfWhatIsTyped)
{
    Open(Photo("coffee.bmp"));
    const TBitmap before = Sketch();
    Choose(TToolCode::BalloonRect);
    Place(*Main, QPoint(40, 60));
    BalloonPage().Text->setFocus();
    QTest::keyClicks(BalloonPage().Text, TwelveWords);
    const TObjectSettings settings = Options().ObjectSettings(TToolCode::BalloonRect);
    ASSERT_TRUE(settings.FitToText && settings.WrapWords && settings.SmoothEdges);
    EXPECT_FALSE(Named<QLabel>(Options(), "LabBalloonTextCut")->isVisible());

    // What the layer shows is the balloon fitted to the whole text: the
    // fresh balloon's tail above its corner, its body grown to the words.
    TBalloonShape shape{40, 60, 100, 50, 40, 45};
    TObjectFont font;
    FitBalloon(TBalloonKind::Rectangle, shape, settings, font);
    const TBalloonText text = PlaceBalloonText(TBalloonKind::Rectangle, shape, settings, font);
    EXPECT_TRUE(text.Placed.Fits);
    EXPECT_GT(text.Placed.Block.Lines().size(), 1u);
    TObjectImage image;
    const QColor front = Window<TFrmTools>()->FrontColorValue();
    const QColor back = Window<TFrmTools>()->BackColorValue();
    const TObjectColors colors{{std::uint8_t(front.red()), std::uint8_t(front.green()), std::uint8_t(front.blue())},
                               {std::uint8_t(back.red()), std::uint8_t(back.green()), std::uint8_t(back.blue())}};
    BuildBalloon(image, TBalloonKind::Rectangle, shape, settings, colors, font);
    TBitmap expected = before;
    const TObjectBox bounds = BalloonImageBounds(TBalloonKind::Rectangle, shape, settings);
    WriteObjectImage(expected, image, bounds.Left, bounds.Top);
    EXPECT_TRUE(Sketch() == expected);
}

TEST_F(Lettering, SizingABalloonByHandTurnsItsFitOffAndTheNextBalloonFitsAgain)
{
    Open(Photo("coffee.bmp"));
    Choose(TToolCode::BalloonEllipse);
    BalloonPage().Text->setPlainText("Hold on!");
    Place(*Main, QPoint(60, 80));
    QCheckBox* fit = Option(Options(), "Balloon", "FitToText");
    ASSERT_TRUE(fit->isChecked());
    // The bottom-right handle of the fitted body, found by its cursor.
    QPoint corner;
    for (int x = 60; x < 400 && corner.isNull(); ++x)
        for (int y = 80; y < 300 && corner.isNull(); y += 1) {
            Hover(*Main, QPoint(x, y));
            if (PaintBox()->cursor().shape() == Qt::SizeFDiagCursor && x > 70)
                corner = QPoint(x, y);
        }
    ASSERT_FALSE(corner.isNull());
    DragOnView(*Main, corner, corner + QPoint(80, 60));
    EXPECT_FALSE(fit->isChecked());
    Choose(TToolCode::BalloonEllipse);
    EXPECT_TRUE(fit->isChecked());
}

TEST_F(Lettering, TextThatDoesNotFitIsReportedOnThePage)
{
    Open(Photo("coffee.bmp"));
    Choose(TToolCode::Rectangle);
    const TObjectPage page = ObjectPage(Options(), TToolCode::Rectangle);
    QLabel* notice = Named<QLabel>(Options(), "LabRectTextCut");
    Place(*Main, QPoint(30, 30));
    page.Text->setPlainText(TwelveWords);
    // 20 x 20: no room at all.
    EXPECT_TRUE(notice->isVisible());
    page.Text->setPlainText("");
    EXPECT_FALSE(notice->isVisible());
}

TEST_F(Lettering, EditLastObjectOpensTheBalloonAgainUntilAnotherStepFollows)
{
    Open(Photo("coffee.bmp"));
    QAction* edit = Item("MenuItem_EditLastObject");
    EXPECT_FALSE(edit->isEnabled());
    const TBitmap opened = Sketch();

    Choose(TToolCode::BalloonThought);
    BalloonPage().Text->setPlainText("What was that?");
    Place(*Main, QPoint(80, 100));
    QTest::mouseClick(BalloonPage().Commit, Qt::LeftButton);
    ASSERT_EQ(Main->CurrentTool(), TToolCode::Hand);
    const int rows = Main->History().RowCount();
    const TBitmap committed = Sketch();
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_EQ(edit->shortcut(), QKeySequence("Ctrl+E"));

    // Opened again: its tool, its text, the commands off while it waits.
    BalloonPage().Text->setPlainText("Something else");
    edit->trigger();
    EXPECT_EQ(Main->CurrentTool(), TToolCode::BalloonThought);
    EXPECT_TRUE(Window<TFrmTools>()->ButtonOf(TToolCode::BalloonThought)->isChecked());
    EXPECT_EQ(BalloonPage().Text->toPlainText(), "What was that?");
    EXPECT_TRUE(Sketch() == committed);
    EXPECT_FALSE(Item("MenuItem_Open")->isEnabled());
    EXPECT_FALSE(edit->isEnabled());

    // Changed and committed: the same step, changed.
    BalloonPage().Text->setPlainText("What was THAT, Houston?");
    QTest::mouseClick(BalloonPage().Commit, Qt::LeftButton);
    EXPECT_EQ(Main->History().RowCount(), rows);
    EXPECT_EQ(Main->History().Operation(Main->History().Current()), "Text Balloon");
    EXPECT_EQ(Main->History().Comment(Main->History().Current()), "Type: Thought");
    const TBitmap edited = Sketch();
    EXPECT_FALSE(edited == committed);
    EXPECT_TRUE(edit->isEnabled());

    // Undo returns the picture as it was before the balloon; Redo the
    // edited balloon, which can then be opened once more.
    Item("MenuItem_Undo")->trigger();
    EXPECT_TRUE(Sketch() == opened);
    EXPECT_FALSE(edit->isEnabled());
    edit->trigger();
    EXPECT_EQ(Main->CurrentTool(), TToolCode::Hand);
    Item("MenuItem_Redo")->trigger();
    EXPECT_TRUE(Sketch() == edited);
    EXPECT_TRUE(edit->isEnabled());

    // A pencil stroke follows: no more.
    Choose(TToolCode::Pencil);
    Place(*Main, QPoint(300, 300));
    EXPECT_EQ(Main->History().RowCount(), rows + 1);
    EXPECT_FALSE(edit->isEnabled());
    edit->trigger();
    EXPECT_EQ(Main->CurrentTool(), TToolCode::Pencil);
    EXPECT_EQ(Main->History().RowCount(), rows + 1);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
}
