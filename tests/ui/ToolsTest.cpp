#include "ui/FrmTools.h"

#include "tests/ui/MessageRecorder.h"
#include "tests/ui/ToolOptionControls.h"
#include "ui/ColorSwatch.h"

#include <QGroupBox>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

const QString NoPictureMessage = "You haven't opened a picture.";
const QString ZoomMessage = "When the Zoom Rate < 100%, you can not use draw tools.";

class ToolsPalette : public testing::Test {
protected:
    void SetUp() override
    {
        Palette.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Palette));
    }

    void Click(TToolCode code) { QTest::mouseClick(Palette.ButtonOf(code), Qt::LeftButton); }
    bool Pressed(TToolCode code) const { return Palette.ButtonOf(code)->isChecked(); }
    TColorSwatch* Swatch(const char* name) const { return ControlNamed<TColorSwatch>(Palette, name); }

    std::vector<TToolCode> EnabledTools() const
    {
        std::vector<TToolCode> codes;
        for (TToolCode code : TFrmTools::ToolCodes())
            if (Palette.ButtonOf(code)->isEnabled())
                codes.push_back(code);
        return codes;
    }

    TMessageRecorder Messages;
    TFrmTools Palette;
    QSignalSpy Chosen{&Palette, &TFrmTools::ToolChosen};
    QSignalSpy Refresh{&Palette, &TFrmTools::ToolPreviewRefreshRequested};
};

} // namespace

TEST_F(ToolsPalette, BeforeAPictureIsOpenEveryToolSaysSo)
{
    EXPECT_EQ(TFrmTools::ToolCodes().size(), 16u);
    EXPECT_EQ(Palette.PaletteState(), TPaletteState::NoPicture);
    EXPECT_TRUE(EnabledTools().empty());
    EXPECT_TRUE(Pressed(TToolCode::Hand));

    Click(TToolCode::Pencil);
    Click(TToolCode::Hand);
    EXPECT_EQ(Messages.Messages, (QStringList{NoPictureMessage, NoPictureMessage}));
    EXPECT_EQ(Chosen.count(), 0);
}

TEST_F(ToolsPalette, BelowFullZoomOnlyTheHandWorks)
{
    Palette.EnableDrawTools();
    Palette.DisableDrawTools();
    EXPECT_EQ(Palette.PaletteState(), TPaletteState::ZoomTooSmall);
    EXPECT_EQ(EnabledTools(), std::vector<TToolCode>{TToolCode::Hand});

    Click(TToolCode::Brush);
    Click(TToolCode::Dropper);
    Click(TToolCode::Hand);
    EXPECT_EQ(Messages.Messages, (QStringList{ZoomMessage, ZoomMessage}));
    ASSERT_EQ(Chosen.count(), 1);
    EXPECT_EQ(Chosen.at(0).at(0).value<TToolCode>(), TToolCode::Hand);
}

TEST_F(ToolsPalette, WhenReadyEveryToolIsChosenByItsButton)
{
    Palette.EnableDrawTools();
    EXPECT_EQ(EnabledTools().size(), 16u);
    QTest::mouseClick(ControlNamed<QGroupBox>(Palette, "GroupBox1"), Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_TRUE(Messages.Messages.isEmpty());

    Click(TToolCode::Hand);
    Click(TToolCode::Hand); // the current tool chosen again is a choice all the same
    EXPECT_EQ(Chosen.count(), 2);

    Click(TToolCode::Text);
    EXPECT_TRUE(Messages.Messages.isEmpty());
    EXPECT_TRUE(Pressed(TToolCode::Text));
    EXPECT_FALSE(Pressed(TToolCode::Hand));
    EXPECT_EQ(Palette.CurrentTool(), TToolCode::Text);
    ASSERT_EQ(Chosen.count(), 3);
    EXPECT_EQ(Chosen.at(2).at(0).value<TToolCode>(), TToolCode::Text);

    Palette.SetCurrentTool(TToolCode::Brush);
    EXPECT_TRUE(Pressed(TToolCode::Brush));
    EXPECT_EQ(Palette.CurrentTool(), TToolCode::Brush);
    Palette.SetCurrentTool(TToolCode::None);
    EXPECT_EQ(Palette.CurrentTool(), TToolCode::Brush);
    EXPECT_EQ(Chosen.count(), 3);
}

TEST_F(ToolsPalette, SwatchesOpenTheChooserAtTheirColourAndTakeTheChoice)
{
    EXPECT_EQ(Palette.FrontColorValue(), QColor(0, 0, 0));
    EXPECT_EQ(Palette.BackColorValue(), QColor(255, 255, 255));

    std::vector<QColor> asked;
    std::optional<QColor> answer = QColor(200, 10, 30);
    Palette.SetColorChooser([&](QWidget*, QColor initial, const QString&) {
        asked.push_back(initial);
        return answer;
    });

    QTest::mouseClick(Swatch("FrontColor"), Qt::LeftButton);
    EXPECT_EQ(Palette.FrontColorValue(), QColor(200, 10, 30));
    answer = QColor(1, 2, 3);
    QTest::mouseClick(Swatch("BackColor"), Qt::RightButton);
    EXPECT_EQ(Palette.BackColorValue(), QColor(1, 2, 3));
    EXPECT_EQ(Refresh.count(), 2);

    answer.reset(); // cancelled
    Swatch("FrontColor")->setFocus();
    QTest::keyClick(Swatch("FrontColor"), Qt::Key_Space);
    EXPECT_EQ(Palette.FrontColorValue(), QColor(200, 10, 30));
    EXPECT_EQ(Refresh.count(), 2);
    EXPECT_EQ(asked, (std::vector<QColor>{Qt::black, Qt::white, QColor(200, 10, 30)}));
    EXPECT_TRUE(Messages.Messages.isEmpty());
}
