#include "ui/FrmLayers.h"

#include "document/LayerState.h"
#include "ui/SpinEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class LayersPanel : public testing::Test {
protected:
    void SetUp() override
    {
        Panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Panel));
    }

    bool OpacityShown() const
    {
        return Panel.Lab_Opacity->isVisible() && Panel.Trc_Opacity->isVisible() && Panel.Spn_Opacity->isVisible();
    }
    bool OpacityHidden() const
    {
        return Panel.Lab_Opacity->isHidden() && Panel.Trc_Opacity->isHidden() && Panel.Spn_Opacity->isHidden();
    }

    void Retype(const QString& text)
    {
        Panel.Spn_Opacity->setFocus();
        Panel.Spn_Opacity->selectAll();
        QTest::keyClick(Panel.Spn_Opacity, Qt::Key_Backspace);
        QTest::keyClicks(Panel.Spn_Opacity, text);
    }

    TLayerState State;
    TFrmLayers Panel{State};
    QSignalSpy RefreshView{&Panel, &TFrmLayers::RefreshViewRequested};
    QSignalSpy RefreshPreview{&Panel, &TFrmLayers::RefreshToolPreviewRequested};
};

} // namespace

TEST_F(LayersPanel, OpacityShowsItsControlsAtTheLastValueAndMultiplyHidesThem)
{
    EXPECT_TRUE(OpacityHidden());
    State.Opacity = 37;
    Panel.ShowLayerState();

    Panel.CmbBlendingMode->setCurrentIndex(BlendOpacity);
    EXPECT_EQ(State.BlendingMode, BlendOpacity);
    EXPECT_TRUE(OpacityShown());
    EXPECT_EQ(Panel.Trc_Opacity->value(), 37);
    EXPECT_EQ(Panel.Spn_Opacity->Text(), "37");
    EXPECT_EQ(RefreshView.count(), 1);

    Panel.CmbBlendingMode->setCurrentIndex(BlendMultiply);
    EXPECT_EQ(State.BlendingMode, BlendMultiply);
    EXPECT_TRUE(OpacityHidden());
    EXPECT_EQ(RefreshView.count(), 2);
    EXPECT_EQ(RefreshPreview.count(), 0);
    // The fixed-size panel does not jump when the controls come and go.
    EXPECT_EQ(Panel.minimumSize(), Panel.maximumSize());
}

TEST_F(LayersPanel, TypedOpacitiesAreLimitedAndEveryEditRefreshesOnce)
{
    Panel.CmbBlendingMode->setCurrentIndex(BlendOpacity);
    RefreshView.clear();

    Retype("150");
    EXPECT_EQ(Panel.Trc_Opacity->value(), 99);
    EXPECT_EQ(+State.Opacity, 99);
    EXPECT_EQ(Panel.Spn_Opacity->Text(), "99");
    // The blank after Backspace, "1", "15" and "150".
    EXPECT_EQ(RefreshView.count(), 4);

    // Cleared text changes no value but refreshes all the same.
    Panel.Spn_Opacity->selectAll();
    QTest::keyClick(Panel.Spn_Opacity, Qt::Key_Delete);
    EXPECT_EQ(Panel.Spn_Opacity->Text(), "");
    EXPECT_EQ(+State.Opacity, 99);
    EXPECT_EQ(RefreshView.count(), 5);

    Panel.Trc_Opacity->setFocus();
    QTest::keyClick(Panel.Trc_Opacity, Qt::Key_Left);
    EXPECT_EQ(+State.Opacity, 98);
    EXPECT_EQ(Panel.Spn_Opacity->Text(), "98");
    EXPECT_EQ(RefreshView.count(), 6);
}

TEST_F(LayersPanel, VisibleBoxesRefreshTheViewAndDrawableBoxesTheToolPreview)
{
    QTest::mouseClick(Panel.Chk_SketchVisible, Qt::LeftButton);
    QTest::mouseClick(Panel.Chk_ColorVisible, Qt::LeftButton);
    EXPECT_EQ(RefreshView.count(), 2);
    EXPECT_EQ(RefreshPreview.count(), 0);

    QTest::mouseClick(Panel.Chk_SketchDrawable, Qt::LeftButton);
    Panel.Chk_ColorDrawable->setFocus();
    QTest::keyClick(Panel.Chk_ColorDrawable, Qt::Key_Space);
    EXPECT_EQ(RefreshPreview.count(), 2);
    EXPECT_EQ(RefreshView.count(), 2);

    QTest::mouseClick(Panel.Chk_SketchVisible, Qt::LeftButton);
    EXPECT_EQ(State, (TLayerState{true, false, false, false, BlendMultiply, 50}));
}

TEST_F(LayersPanel, ShowingAStateEmitsNothingAndLeavesTheHandlersAttached)
{
    State = TLayerState{false, true, true, false, BlendOpacity, 12};
    Panel.ShowLayerState();
    EXPECT_FALSE(Panel.Chk_SketchVisible->isChecked());
    EXPECT_TRUE(Panel.Chk_ColorVisible->isChecked());
    EXPECT_TRUE(Panel.Chk_SketchDrawable->isChecked());
    EXPECT_FALSE(Panel.Chk_ColorDrawable->isChecked());
    EXPECT_EQ(Panel.CmbBlendingMode->currentIndex(), BlendOpacity);
    EXPECT_TRUE(OpacityShown());
    EXPECT_EQ(Panel.Spn_Opacity->Text(), "12");

    State = TLayerState{};
    Panel.ShowLayerState();
    EXPECT_TRUE(OpacityHidden());
    EXPECT_EQ(RefreshView.count(), 0);
    EXPECT_EQ(RefreshPreview.count(), 0);

    // A state the controls cannot show is brought into their range.
    State.BlendingMode = 7;
    State.Opacity = 150;
    Panel.ShowLayerState();
    EXPECT_EQ(State.BlendingMode, BlendMultiply);
    EXPECT_EQ(+State.Opacity, 99);
    EXPECT_EQ(RefreshView.count(), 0);

    QTest::mouseClick(Panel.Chk_ColorVisible, Qt::LeftButton);
    EXPECT_FALSE(State.ColorVisible);
    EXPECT_EQ(RefreshView.count(), 1);
}
