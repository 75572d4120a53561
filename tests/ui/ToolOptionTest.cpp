#include "ui/FrmToolOption.h"

#include "ui/SpinEdit.h"
#include "ui/TrackSpin.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>

namespace {

class ToolOptionPanel : public testing::Test {
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

    TFrmToolOption Panel;
    QSignalSpy Refresh{&Panel, &TFrmToolOption::ToolPreviewRefreshRequested};
};

} // namespace

TEST_F(ToolOptionPanel, ShowsThePageOfEachToolCode)
{
    EXPECT_EQ(Panel.CurrentPage(), Panel.TsNormal);
    const std::map<int, QString> pages{
        {0, "Info"},         {1, "Pencil"},       {2, "Brush"},        {3, "Eraser"},   {4, "Paint Bucket"},
        {5, "Lighten Tool"}, {6, "Darken Tool"},  {23, "Rectangle"},   {24, "Ellipse"}, {27, "Text"},
        {28, "Text Balloon"}, {29, "Text Balloon"}, {30, "Text Balloon"}, {41, "Info"},    {42, "Color Dropper"},
    };
    for (const auto& [code, caption] : pages) {
        Panel.ShowPage(code);
        EXPECT_EQ(TFrmToolOption::PageCaption(Panel.CurrentPage()), caption) << code;
        EXPECT_TRUE(Panel.CurrentPage() && Panel.CurrentPage()->isVisible()) << code;
    }
    for (int code : {7, 22, 31, 40, 43, -1}) {
        Panel.ShowPage(code);
        EXPECT_EQ(Panel.CurrentPage(), nullptr) << code;
        EXPECT_FALSE(Panel.TsNormal->isVisible()) << code;
    }
}

TEST_F(ToolOptionPanel, TheBrushOpacityStartsAtEightWhileItsBoxShowsThree)
{
    EXPECT_EQ(Panel.BrushOpacity->Trc()->value(), 8);
    EXPECT_EQ(Panel.BrushOpacity->Spn()->Text(), "3");
    Panel.ShowPage(2);
    Retype(Panel.BrushOpacity->Spn(), "20");
    EXPECT_EQ(Panel.BrushOpacity->Spn()->Text(), "20");
    EXPECT_EQ(Panel.BrushOpacity->Value(), 8);
    EXPECT_EQ(Refresh.count(), 2); // "2", then "20" at the track bar's end
    Retype(Panel.BrushOpacity->Spn(), "5");
    EXPECT_EQ(Panel.BrushOpacity->Value(), 5);
    EXPECT_EQ(Refresh.count(), 3);
}

TEST_F(ToolOptionPanel, SettingsThatShowInAnOutlineRefreshTheToolPreviewButTheToleranceDoesNot)
{
    Panel.ShowPage(1);
    Panel.PencilSize->Trc()->setFocus();
    QTest::keyClick(Panel.PencilSize->Trc(), Qt::Key_Right);
    EXPECT_EQ(Panel.PencilSize->Spn()->Text(), "2");
    EXPECT_EQ(Refresh.count(), 1);
    Retype(Panel.PencilSize->Spn(), "0");
    EXPECT_EQ(Panel.PencilSize->Value(), 1);
    EXPECT_EQ(Refresh.count(), 2);

    Panel.ShowPage(4);
    Retype(Panel.Tolerance->Spn(), "100");
    EXPECT_EQ(Panel.Tolerance->Value(), 100);
    EXPECT_EQ(Refresh.count(), 2);

    // A cleared brush size changes nothing until a number is typed.
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

TEST_F(ToolOptionPanel, EveryObjectSettingRefreshesAndTheButtonsAreReported)
{
    QSignalSpy commit(&Panel, &TFrmToolOption::CommitRequested);
    QSignalSpy cancel(&Panel, &TFrmToolOption::CancelRequested);
    for (const TObjectControls* c :
         {&Panel.RectControls, &Panel.EllipseControls, &Panel.TextControls, &Panel.BalloonControls}) {
        Refresh.clear();
        if (c->BorderWidth)
            c->BorderWidth->setValue(4);
        c->FontName->setCurrentIndex(c->FontName->count() - 1);
        c->FontSize->setValue(30);
        for (QToolButton* toggle : {c->Bold, c->Italic, c->Underline})
            QTest::mouseClick(toggle, Qt::LeftButton);
        QTest::keyClicks(c->Text, "Hi");
        const int changes = (c->BorderWidth ? 1 : 0) + (c->FontName->count() > 1 ? 1 : 0) + 1 + 3 + 2;
        EXPECT_EQ(Refresh.count(), changes) << c->Text->objectName().toStdString();
        QTest::mouseClick(c->Commit, Qt::LeftButton);
        QTest::mouseClick(c->Cancel, Qt::LeftButton);
    }
    EXPECT_EQ(Panel.TextControls.BorderWidth, nullptr);
    EXPECT_EQ(commit.count(), 4);
    EXPECT_EQ(cancel.count(), 4);
}

TEST_F(ToolOptionPanel, FontListsHoldTheSortedFamiliesWithThePanelFontSelected)
{
    QStringList expected = QFontDatabase::families();
    std::sort(expected.begin(), expected.end(),
              [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    ASSERT_FALSE(expected.isEmpty());
    const QString panelFamily = QFontInfo(Panel.font()).family();
    const QComboBox* box = Panel.BalloonControls.FontName;
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    EXPECT_EQ(items, expected);
    EXPECT_EQ(box->currentText(), expected.contains(panelFamily) ? panelFamily : QString());
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
    Panel.ShowPage(42);
    const QImage sample = Panel.ShpColor->grab().toImage();
    EXPECT_EQ(sample.pixelColor(sample.width() / 2, sample.height() / 2), QColor(10, 20, 30));
}
