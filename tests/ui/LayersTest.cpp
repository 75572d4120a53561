#include "Layers.h"

#include "LayerState.h"
#include "SpinEdit.h"
#include "TrackSpin.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class LayersPanel : public testing::Test
{
protected:
    void SetUp() override
    {
        Panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Panel));
    }

    bool OpacityControlsShown() const
    {
        return Panel.Label6->isVisible() && Panel.Trc_Opacity->isVisible() && Panel.Spn_Opacity->isVisible();
    }
    bool OpacityControlsHidden() const
    {
        return Panel.Label6->isHidden() && Panel.Trc_Opacity->isHidden() && Panel.Spn_Opacity->isHidden();
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

TEST_F(LayersPanel, StartsInMultiplyWithTheOpacityControlsHidden)
{
    EXPECT_EQ(Panel.windowTitle(), "Layers");
    EXPECT_EQ(Panel.CmbBlendingMode->currentText(), "Multiply");
    EXPECT_EQ(Panel.CmbBlendingMode->count(), 2);
    EXPECT_EQ(Panel.CmbBlendingMode->itemText(1), "Opacity");
    EXPECT_FALSE(Panel.CmbBlendingMode->isEditable());
    EXPECT_TRUE(OpacityControlsHidden());
    EXPECT_EQ(Panel.Label6->text(), "Opacity:");
    EXPECT_EQ(Panel.Trc_Opacity->minimum(), 1);
    EXPECT_EQ(Panel.Trc_Opacity->maximum(), 99);
    EXPECT_EQ(Panel.Trc_Opacity->value(), 50);
    for (QCheckBox* box : {Panel.Chk_SketchVisible, Panel.Chk_SketchDrawable, Panel.Chk_ColorVisible,
                           Panel.Chk_ColorDrawable})
        EXPECT_TRUE(box->isChecked()) << box->objectName().toStdString();
    EXPECT_EQ(Panel.Visible->text(), "Visible");
    EXPECT_EQ(Panel.Label2->text(), "Drawable");
    EXPECT_EQ(Panel.Label3->text(), "Layer Name");
    EXPECT_EQ(Panel.Lab_SketchLayer->text(), "Sketch Layer");
    EXPECT_EQ(Panel.Lab_ColorLayer->text(), " Coloring Layer");
    EXPECT_TRUE(Panel.Lab_SketchLayer->font().bold());
    // The panel keeps its size when the opacity controls come and go.
    EXPECT_EQ(Panel.minimumSize(), Panel.maximumSize());
}

TEST_F(LayersPanel, OpacityShowsItsControlsAtTheLastValueAndMultiplyHidesThem)
{
    State.Opacity = 37;
    Panel.ShowLayerState();

    Panel.CmbBlendingMode->setCurrentIndex(BlendOpacity);
    EXPECT_EQ(State.BlendingMode, BlendOpacity);
    EXPECT_TRUE(OpacityControlsShown());
    EXPECT_EQ(Panel.Trc_Opacity->value(), 37);
    EXPECT_EQ(Panel.Spn_Opacity->Text(), "37");
    EXPECT_EQ(RefreshView.count(), 1);

    Panel.CmbBlendingMode->setCurrentIndex(BlendMultiply);
    EXPECT_EQ(State.BlendingMode, BlendMultiply);
    EXPECT_TRUE(OpacityControlsHidden());
    EXPECT_EQ(RefreshView.count(), 2);
    EXPECT_EQ(State.Opacity, 37);
    EXPECT_EQ(RefreshPreview.count(), 0);
}

TEST_F(LayersPanel, TypedOpacitiesAreLimitedAndEachEditRefreshesOnce)
{
    Panel.CmbBlendingMode->setCurrentIndex(BlendOpacity);
    RefreshView.clear();

    Retype("150");
    EXPECT_EQ(Panel.Trc_Opacity->value(), 99);
    EXPECT_EQ(State.Opacity, 99);
    EXPECT_EQ(Panel.Spn_Opacity->Text(), "99");
    // The blank after Backspace, "1", "15" and "150": one refresh each.
    EXPECT_EQ(RefreshView.count(), 4);

    Retype("0");
    EXPECT_EQ(State.Opacity, 1);
    EXPECT_EQ(Panel.Trc_Opacity->value(), 1);
}

TEST_F(LayersPanel, ClearingTheOpacityTextKeepsTheValueButRefreshes)
{
    Panel.CmbBlendingMode->setCurrentIndex(BlendOpacity);
    State.Opacity = 64;
    Panel.ShowLayerState();
    RefreshView.clear();

    Panel.Spn_Opacity->setFocus();
    Panel.Spn_Opacity->selectAll();
    QTest::keyClick(Panel.Spn_Opacity, Qt::Key_Delete);
    EXPECT_EQ(Panel.Spn_Opacity->Text(), "");
    EXPECT_EQ(RefreshView.count(), 1);
    EXPECT_EQ(State.Opacity, 64);
    EXPECT_EQ(Panel.Trc_Opacity->value(), 64);
}

TEST_F(LayersPanel, MovingTheTrackBarWritesTheOpacity)
{
    Panel.CmbBlendingMode->setCurrentIndex(BlendOpacity);
    RefreshView.clear();
    Panel.Trc_Opacity->setFocus();
    QTest::keyClick(Panel.Trc_Opacity, Qt::Key_Right);
    EXPECT_EQ(State.Opacity, 51);
    EXPECT_EQ(Panel.Spn_Opacity->Text(), "51");
    EXPECT_EQ(RefreshView.count(), 1);
}

TEST_F(LayersPanel, VisibleBoxesRefreshTheViewAndDrawableBoxesTheToolPreview)
{
    QTest::mouseClick(Panel.Chk_SketchVisible, Qt::LeftButton);
    EXPECT_FALSE(State.SketchVisible);
    QTest::mouseClick(Panel.Chk_ColorVisible, Qt::LeftButton);
    EXPECT_FALSE(State.ColorVisible);
    EXPECT_EQ(RefreshView.count(), 2);
    EXPECT_EQ(RefreshPreview.count(), 0);

    QTest::mouseClick(Panel.Chk_SketchDrawable, Qt::LeftButton);
    EXPECT_FALSE(State.SketchDrawable);
    Panel.Chk_ColorDrawable->setFocus();
    QTest::keyClick(Panel.Chk_ColorDrawable, Qt::Key_Space);
    EXPECT_FALSE(State.ColorDrawable);
    EXPECT_EQ(RefreshPreview.count(), 2);
    EXPECT_EQ(RefreshView.count(), 2);

    // Back on: the other flags are untouched.
    QTest::mouseClick(Panel.Chk_SketchVisible, Qt::LeftButton);
    EXPECT_EQ(State, (TLayerState{true, false, false, false, BlendMultiply, 50}));
}

TEST_F(LayersPanel, ShowingAStateEmitsNothingAndLeavesTheHandlersAttached)
{
    State = TLayerState{false, true, true, false, BlendOpacity, 12};
    Panel.ShowLayerState();
    EXPECT_EQ(RefreshView.count(), 0);
    EXPECT_EQ(RefreshPreview.count(), 0);
    EXPECT_FALSE(Panel.Chk_SketchVisible->isChecked());
    EXPECT_TRUE(Panel.Chk_ColorVisible->isChecked());
    EXPECT_TRUE(Panel.Chk_SketchDrawable->isChecked());
    EXPECT_FALSE(Panel.Chk_ColorDrawable->isChecked());
    EXPECT_EQ(Panel.CmbBlendingMode->currentIndex(), BlendOpacity);
    EXPECT_TRUE(OpacityControlsShown());
    EXPECT_EQ(Panel.Trc_Opacity->value(), 12);
    EXPECT_EQ(Panel.Spn_Opacity->Text(), "12");

    State = TLayerState{};
    Panel.ShowLayerState();
    EXPECT_TRUE(OpacityControlsHidden());
    EXPECT_EQ(RefreshView.count(), 0);

    QTest::mouseClick(Panel.Chk_ColorVisible, Qt::LeftButton);
    EXPECT_FALSE(State.ColorVisible);
    EXPECT_EQ(RefreshView.count(), 1);
}

TEST_F(LayersPanel, AStateTheControlsCannotShowIsBroughtIntoRange)
{
    State.BlendingMode = 7;
    State.Opacity = 150;
    Panel.ShowLayerState();
    EXPECT_EQ(State.BlendingMode, BlendMultiply);
    EXPECT_EQ(Panel.CmbBlendingMode->currentIndex(), BlendMultiply);
    EXPECT_EQ(State.Opacity, 99);
    EXPECT_EQ(Panel.Trc_Opacity->value(), 99);
    EXPECT_EQ(RefreshView.count(), 0);
}
