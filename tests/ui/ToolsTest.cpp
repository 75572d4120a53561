#include "Tools.h"

#include "ColorSwatch.h"
#include "MessageRecorder.h"

#include <QButtonGroup>
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

class ToolsPalette : public testing::Test
{
protected:
    void SetUp() override
    {
        Palette.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Palette));
    }

    void Click(int toolCode) { QTest::mouseClick(Palette.ButtonOf(toolCode), Qt::LeftButton); }

    std::vector<int> EnabledTools() const
    {
        std::vector<int> codes;
        for (int code : TFrmTools::ToolCodes())
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

TEST_F(ToolsPalette, HasFourteenNamedToolsInOneExclusiveGroup)
{
    EXPECT_EQ(Palette.windowTitle(), "Tools");
    const std::vector<int> codes(TFrmTools::ToolCodes().begin(), TFrmTools::ToolCodes().end());
    EXPECT_EQ(codes, (std::vector<int>{41, 42, 1, 2, 3, 4, 5, 6, 23, 24, 27, 28, 29, 30}));
    EXPECT_TRUE(Palette.ToolGroup->exclusive());
    EXPECT_EQ(Palette.ToolGroup->buttons().size(), 14);
    for (int code : codes) {
        QToolButton* button = Palette.ButtonOf(code);
        ASSERT_NE(button, nullptr) << code;
        EXPECT_EQ(Palette.ToolGroup->id(button), code);
        EXPECT_FALSE(button->icon().isNull()) << code;
        EXPECT_EQ(button->toolTip(), TFrmTools::ToolName(code));
        EXPECT_FALSE(button->toolTip().isEmpty()) << code;
    }
    EXPECT_EQ(Palette.BtnGrabber, Palette.ButtonOf(41));
    EXPECT_EQ(Palette.BtnTxtBalloonC, Palette.ButtonOf(30));
    EXPECT_EQ(TFrmTools::ToolName(1), "Pencil");
    EXPECT_EQ(TFrmTools::ToolName(42), "Color Dropper");
    EXPECT_EQ(TFrmTools::ToolName(7), "");
    EXPECT_EQ(Palette.ButtonOf(7), nullptr);
}

TEST_F(ToolsPalette, BeforeAPictureIsOpenEveryToolSaysSo)
{
    EXPECT_EQ(Palette.PaletteState(), TPaletteState::NoPicture);
    EXPECT_TRUE(EnabledTools().empty());
    EXPECT_TRUE(Palette.BtnGrabber->isChecked());
    EXPECT_EQ(Palette.CurrentTool(), 41);

    Click(1);
    Click(41);
    EXPECT_EQ(Messages.Messages, (QStringList{NoPictureMessage, NoPictureMessage}));
    EXPECT_EQ(Chosen.count(), 0);
    EXPECT_TRUE(Palette.BtnGrabber->isChecked());
}

TEST_F(ToolsPalette, BelowFullZoomOnlyTheHandWorks)
{
    Palette.EnableDrawTools();
    Palette.DisableDrawTools();
    EXPECT_EQ(Palette.PaletteState(), TPaletteState::ZoomTooSmall);
    EXPECT_EQ(EnabledTools(), std::vector<int>{41});

    Click(2);
    Click(42);
    EXPECT_EQ(Messages.Messages, (QStringList{ZoomMessage, ZoomMessage}));
    Click(41);
    EXPECT_EQ(Messages.Messages.size(), 2);
    ASSERT_EQ(Chosen.count(), 1);
    EXPECT_EQ(Chosen.at(0).at(0).toInt(), 41);
}

TEST_F(ToolsPalette, WhenReadyEveryToolIsEnabledAndClicksBesideThemSayNothing)
{
    Palette.EnableDrawTools();
    EXPECT_EQ(Palette.PaletteState(), TPaletteState::Ready);
    EXPECT_EQ(EnabledTools().size(), 14u);
    QTest::mouseClick(Palette.GroupBox1, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_TRUE(Messages.Messages.isEmpty());

    // The hand chosen again is a choice all the same.
    Click(41);
    Click(41);
    EXPECT_EQ(Chosen.count(), 2);
}

TEST_F(ToolsPalette, AToolNotYetBuiltSaysSoAndLeavesTheHandPressed)
{
    Palette.EnableDrawTools();
    Click(27);
    ASSERT_EQ(Messages.Messages.size(), 1);
    EXPECT_TRUE(Messages.Messages[0].contains("Text")) << Messages.Messages[0].toStdString();
    EXPECT_TRUE(Messages.Messages[0].contains("not available yet"));
    EXPECT_TRUE(Palette.BtnGrabber->isChecked());
    EXPECT_FALSE(Palette.BtnText->isChecked());
    EXPECT_EQ(Palette.CurrentTool(), 41);
    EXPECT_EQ(Chosen.count(), 0);
}

TEST_F(ToolsPalette, SettingTheCurrentToolPressesItsButtonSilently)
{
    Palette.EnableDrawTools();
    Palette.SetCurrentTool(2);
    EXPECT_TRUE(Palette.BtnBrush->isChecked());
    EXPECT_FALSE(Palette.BtnGrabber->isChecked());
    EXPECT_EQ(Palette.CurrentTool(), 2);
    Palette.SetCurrentTool(0);
    EXPECT_EQ(Palette.CurrentTool(), 2);
    Palette.SetCurrentTool(41);
    EXPECT_TRUE(Palette.BtnGrabber->isChecked());
    EXPECT_EQ(Chosen.count(), 0);
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

    QTest::mouseClick(Palette.FrontColor, Qt::LeftButton);
    EXPECT_EQ(Palette.FrontColorValue(), QColor(200, 10, 30));
    EXPECT_EQ(Refresh.count(), 1);
    // Any button opens it.
    answer = QColor(1, 2, 3);
    QTest::mouseClick(Palette.BackColor, Qt::RightButton);
    EXPECT_EQ(Palette.BackColorValue(), QColor(1, 2, 3));
    EXPECT_EQ(Refresh.count(), 2);
    // Cancelled: nothing changes.
    answer.reset();
    Palette.FrontColor->setFocus();
    QTest::keyClick(Palette.FrontColor, Qt::Key_Space);
    EXPECT_EQ(Palette.FrontColorValue(), QColor(200, 10, 30));
    EXPECT_EQ(Refresh.count(), 2);
    EXPECT_EQ(asked, (std::vector<QColor>{Qt::black, Qt::white, QColor(200, 10, 30)}));
    // The swatches work before a picture is open; they are no tools.
    EXPECT_TRUE(Messages.Messages.isEmpty());

    // The dropper sets colours without asking for a refresh.
    Palette.SetBackColor(QColor(9, 8, 7));
    EXPECT_EQ(Palette.BackColorValue(), QColor(9, 8, 7));
    EXPECT_EQ(Refresh.count(), 2);
}
