#include "ToolOption.h"

#include "SpinEdit.h"
#include "TrackSpin.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>

namespace {

class ToolOptionPanel : public testing::Test
{
protected:
    void SetUp() override
    {
        Panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Panel));
    }

    static void Retype(TSpinEdit* spin, const QString& text)
    {
        spin->setFocus();
        spin->selectAll();
        QTest::keyClick(spin, Qt::Key_Backspace);
        QTest::keyClicks(spin, text);
    }

    QString Shown() const { return TFrmToolOption::PageCaption(Panel.CurrentPage()); }

    TFrmToolOption Panel;
    QSignalSpy Refresh{&Panel, &TFrmToolOption::ToolPreviewRefreshRequested};
};

} // namespace

TEST_F(ToolOptionPanel, StartsOnTheInfoPage)
{
    EXPECT_EQ(Panel.windowTitle(), "Tool Option");
    EXPECT_EQ(Panel.CurrentPage(), Panel.TsNormal);
    EXPECT_EQ(Shown(), "Info");
    EXPECT_EQ(Panel.LabInfoX->text(), "X:");
    EXPECT_EQ(Panel.LabInfoY->text(), "Y:");
}

TEST_F(ToolOptionPanel, ShowsThePageOfEachToolCode)
{
    const std::map<int, QString> pages{
        {0, "Info"},           {1, "Pencil"},      {2, "Brush"},         {3, "Eraser"},
        {4, "Paint Bucket"},   {5, "Lighten Tool"}, {6, "Darken Tool"},  {23, "Rectangle"},
        {24, "Ellipse"},       {27, "Text"},        {28, "Text Ballon"}, {29, "Text Ballon"},
        {30, "Text Ballon"},   {41, "Info"},        {42, "Color Dropper"},
    };
    for (const auto& [code, caption] : pages) {
        Panel.ShowPage(code);
        EXPECT_EQ(Shown(), caption) << code;
        ASSERT_NE(Panel.CurrentPage(), nullptr);
        EXPECT_TRUE(Panel.CurrentPage()->isVisible()) << code;
    }
    Panel.ShowPage(28);
    EXPECT_EQ(Panel.CurrentPage(), Panel.TsBalloonA);
    for (int code : {7, 22, 25, 31, 40, 43, -1}) {
        Panel.ShowPage(code);
        EXPECT_EQ(Panel.CurrentPage(), nullptr) << code;
        EXPECT_FALSE(Panel.TsNormal->isVisible()) << code;
    }
    Panel.ShowPage(41);
    EXPECT_EQ(Panel.CurrentPage(), Panel.TsNormal);
}

TEST_F(ToolOptionPanel, PairsStartAtTheirValuesAndTheBrushOpacityBoxShowsThree)
{
    struct Expected {
        TTrackSpin* pair;
        int minimum, maximum, value;
    };
    const Expected pairs[] = {
        {Panel.PencilSize, 1, 100, 1},     {Panel.BrushSize, 1, 100, 20},       {Panel.BrushContent, 1, 6, 3},
        {Panel.BrushOpacity, 1, 8, 8},     {Panel.EraserSize, 1, 100, 30},      {Panel.Tolerance, 0, 128, 32},
        {Panel.LightenSize, 1, 100, 10},   {Panel.LightenContrast, 0, 255, 128}, {Panel.DarkenSize, 1, 100, 10},
        {Panel.DarkenContrast, 0, 255, 128},
    };
    for (const Expected& e : pairs) {
        const std::string name = e.pair->objectName().toStdString();
        EXPECT_EQ(e.pair->Minimum(), e.minimum) << name;
        EXPECT_EQ(e.pair->Maximum(), e.maximum) << name;
        EXPECT_EQ(e.pair->Value(), e.value) << name;
        if (e.pair != Panel.BrushOpacity) {
            EXPECT_EQ(e.pair->Spn()->Text(), QString::number(e.value)) << name;
        }
    }
    EXPECT_EQ(Panel.BrushOpacity->Trc()->value(), 8);
    EXPECT_EQ(Panel.BrushOpacity->Spn()->Text(), "3");
    EXPECT_EQ(Panel.findChild<QSlider*>("TrcBrushOpacity"), Panel.BrushOpacity->Trc());
    EXPECT_EQ(Panel.findChild<TSpinEdit*>("SpnDarkenContrast"), Panel.DarkenContrast->Spn());
    EXPECT_EQ(Panel.PencilSize->Caption()->text(), "Size:");
    EXPECT_EQ(Panel.BrushContent->Caption()->text(), "Content:");
    EXPECT_EQ(Panel.Tolerance->Caption()->text(), "Tolerance:");
    EXPECT_EQ(Panel.LightenContrast->Caption()->text(), "Contrast:");
}

TEST_F(ToolOptionPanel, TheBrushOpacityKeepsEightUntilTheUserChangesIt)
{
    Panel.ShowPage(2);
    Retype(Panel.BrushOpacity->Spn(), "5");
    EXPECT_EQ(Panel.BrushOpacity->Value(), 5);
    EXPECT_EQ(Refresh.count(), 1);
}

TEST_F(ToolOptionPanel, SettingsThatShowInAnOutlineRefreshTheToolPreviewButTheToleranceDoesNot)
{
    Panel.ShowPage(1);
    Panel.PencilSize->Trc()->setFocus();
    QTest::keyClick(Panel.PencilSize->Trc(), Qt::Key_Right);
    EXPECT_EQ(Panel.PencilSize->Value(), 2);
    EXPECT_EQ(Panel.PencilSize->Spn()->Text(), "2");
    EXPECT_EQ(Refresh.count(), 1);

    // A typed 0 reads as 0 and the track bar stays at its lower limit.
    Retype(Panel.PencilSize->Spn(), "0");
    EXPECT_EQ(Panel.PencilSize->Value(), 1);
    EXPECT_EQ(Refresh.count(), 2);

    Panel.ShowPage(4);
    Panel.Tolerance->Trc()->setFocus();
    QTest::keyClick(Panel.Tolerance->Trc(), Qt::Key_Right);
    Retype(Panel.Tolerance->Spn(), "100");
    EXPECT_EQ(Panel.Tolerance->Value(), 100);
    EXPECT_EQ(Refresh.count(), 2);

    // Clearing the brush size changes nothing until a number is typed.
    Panel.ShowPage(2);
    Panel.BrushSize->Spn()->setFocus();
    Panel.BrushSize->Spn()->selectAll();
    QTest::keyClick(Panel.BrushSize->Spn(), Qt::Key_Backspace);
    EXPECT_EQ(Panel.BrushSize->Value(), 20);
    EXPECT_EQ(Refresh.count(), 2);
    QTest::keyClicks(Panel.BrushSize->Spn(), "35");
    EXPECT_EQ(Panel.BrushSize->Value(), 35);
    EXPECT_EQ(Refresh.count(), 4);
}

TEST_F(ToolOptionPanel, ObjectPagesHoldTheirControlsAndRefreshOnEveryChange)
{
    struct Page {
        const TObjectControls* controls;
        QString prefix;
        bool border;
    };
    const Page pages[] = {{&Panel.RectControls, "Rect", true},
                          {&Panel.EllipseControls, "Ellipse", true},
                          {&Panel.TextControls, "Text", false},
                          {&Panel.BalloonControls, "Balloon", true}};
    for (const Page& page : pages) {
        const TObjectControls& c = *page.controls;
        const std::string name = page.prefix.toStdString();
        EXPECT_EQ(c.BorderWidth != nullptr, page.border) << name;
        if (c.BorderWidth) {
            EXPECT_EQ(c.BorderWidth->objectName(), "Spn" + page.prefix + "BorderW");
            EXPECT_EQ(c.BorderWidth->minimum(), 1);
            EXPECT_EQ(c.BorderWidth->maximum(), 10);
            EXPECT_EQ(c.BorderWidth->value(), 1);
        }
        EXPECT_EQ(c.FontName->objectName(), "Cmb" + page.prefix + "FontName");
        EXPECT_FALSE(c.FontName->isEditable());
        EXPECT_EQ(c.FontName->maxVisibleItems(), 10);
        EXPECT_EQ(c.FontName->toolTip(), "Font Name");
        EXPECT_EQ(c.FontSize->minimum(), 6);
        EXPECT_EQ(c.FontSize->maximum(), 1000);
        EXPECT_EQ(c.FontSize->value(), 12);
        EXPECT_EQ(c.Text->objectName(), "Mem" + page.prefix + "Text");
        EXPECT_EQ(c.Text->lineWrapMode(), QPlainTextEdit::NoWrap);
        for (QToolButton* toggle : {c.Bold, c.Italic, c.Underline})
            EXPECT_TRUE(toggle->isCheckable()) << name;
        EXPECT_FALSE(c.Commit->icon().isNull()) << name;
        EXPECT_FALSE(c.Cancel->icon().isNull()) << name;

        Refresh.clear();
        if (c.BorderWidth)
            c.BorderWidth->setValue(4);
        c.FontName->setCurrentIndex(c.FontName->count() - 1);
        c.FontSize->setValue(30);
        QTest::mouseClick(c.Bold, Qt::LeftButton);
        QTest::mouseClick(c.Italic, Qt::LeftButton);
        QTest::mouseClick(c.Underline, Qt::LeftButton);
        c.Text->setFocus();
        QTest::keyClicks(c.Text, "Hi");
        const int changes = (c.BorderWidth ? 1 : 0) + (c.FontName->count() > 1 ? 1 : 0) + 1 + 3 + 2;
        EXPECT_EQ(Refresh.count(), changes) << name;
        EXPECT_TRUE(c.Bold->isChecked() && c.Italic->isChecked() && c.Underline->isChecked());
    }
}

TEST_F(ToolOptionPanel, FontListsHoldTheSortedFamiliesWithThePanelFontSelected)
{
    QStringList expected = QFontDatabase::families();
    std::sort(expected.begin(), expected.end(),
              [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    ASSERT_FALSE(expected.isEmpty());
    const QString panelFamily = QFontInfo(Panel.font()).family();
    for (const QComboBox* box : {Panel.RectControls.FontName, Panel.EllipseControls.FontName,
                                 Panel.TextControls.FontName, Panel.BalloonControls.FontName}) {
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        EXPECT_EQ(items, expected);
        EXPECT_EQ(box->currentText(), expected.contains(panelFamily) ? panelFamily : QString());
    }
}

TEST_F(ToolOptionPanel, CommitAndCancelButtonsAreReported)
{
    QSignalSpy commit(&Panel, &TFrmToolOption::CommitRequested);
    QSignalSpy cancel(&Panel, &TFrmToolOption::CancelRequested);
    Panel.ShowPage(28);
    QTest::mouseClick(Panel.BalloonControls.Commit, Qt::LeftButton);
    Panel.ShowPage(23);
    QTest::mouseClick(Panel.RectControls.Cancel, Qt::LeftButton);
    QTest::mouseClick(Panel.RectControls.Cancel, Qt::LeftButton);
    EXPECT_EQ(commit.count(), 1);
    EXPECT_EQ(cancel.count(), 2);
    EXPECT_EQ(Refresh.count(), 0);
}

TEST_F(ToolOptionPanel, ShowsThePointerAndTheDropperReadings)
{
    Panel.SetPointerInfo(120, -3);
    EXPECT_EQ(Panel.LabInfoX->text(), "X: 120");
    EXPECT_EQ(Panel.LabInfoY->text(), "Y: -3");

    Panel.SetDropperReading(7, 1080, QColor(10, 20, 30));
    EXPECT_EQ(Panel.LabDropperX->text(), "X: 7");
    EXPECT_EQ(Panel.LabDropperY->text(), "Y: 1080");
    EXPECT_EQ(Panel.LabDropperR->text(), "R: 10");
    EXPECT_EQ(Panel.LabDropperG->text(), "G: 20");
    EXPECT_EQ(Panel.LabDropperB->text(), "B: 30");
    EXPECT_EQ(Panel.ShpColor->size(), QSize(90, 90));
    Panel.ShowPage(42);
    const QImage sample = Panel.ShpColor->grab().toImage();
    EXPECT_EQ(sample.pixelColor(sample.width() / 2, sample.height() / 2), QColor(10, 20, 30));
}
