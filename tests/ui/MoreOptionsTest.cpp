#include "settings/EffectControls.h"
#include "settings/SettingsFile.h"
#include "tests/document/TestFolder.h"
#include "ui/ColorScaleRuler.h"
#include "ui/FrmColorMoreOption.h"
#include "ui/FrmSketchMoreOption.h"
#include "ui/RadioGroup.h"
#include "ui/SpinEdit.h"
#include "ui/TrackSpin.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

namespace {

void Retype(TSpinEdit* spin, const QString& text)
{
    spin->setFocus();
    spin->selectAll();
    QTest::keyClick(spin, Qt::Key_Backspace);
    QTest::keyClicks(spin, text);
}

void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

class SketchOptions : public testing::Test {
protected:
    void SetUp() override
    {
        Record = DesignedSettings();
        Dialog.ApplySettings(Record);
        Dialog.Attach(&Record);
    }
    TEffectSettings Record{};
    TFrmSketchMoreOption Dialog;
    QSignalSpy Asks{&Dialog, &TFrmSketchMoreOption::RenderRequested};
};

class ColorOptions : public testing::Test {
protected:
    static constexpr int Scale = 5;

    void SetUp() override
    {
        Record = DesignedSettings();
        const std::uint8_t row[] = {5, 0, 40, 90, 160, 255};
        std::memcpy(Row(Scale), row, sizeof row);
        Dialog.ApplySettings(Record);
        Dialog.Attach(&Record, [this] { return CurrentScale; });
        Dialog.show();
        QApplication::processEvents();
    }

    std::uint8_t* Row(int v) { return Record.ColorTable + (v - 1) * ColorTableRowSize; }

    // Presses on the handle of boundary b (its middle column, row 25).
    void PressHandle(int b) { Mouse(Dialog.Ruler, QEvent::MouseButtonPress, QPoint(2 * b + 10, 25), Qt::LeftButton); }
    void DragTo(int x) { Mouse(Dialog.Ruler, QEvent::MouseMove, QPoint(x, 25), Qt::LeftButton); }

    TEffectSettings Record{};
    int CurrentScale = Scale;
    TFrmColorMoreOption Dialog;
    QSignalSpy Asks{&Dialog, &TFrmColorMoreOption::RenderRequested};
};

} // namespace

TEST_F(SketchOptions, DarkAreaControlsFollowTheBoxButKeepTheirValues)
{
    EXPECT_EQ(Dialog.windowTitle(), "Sketch - More Options");
    EXPECT_EQ(Dialog.GrpSharper->title(), " Line  Sharper ");
    EXPECT_EQ(Dialog.RG_SketchType->Item(0)->text(), "Black && White");
    Record.RemainDark = 0;
    Record.RemainThreshold = 30;
    Record.RemainDarkness = 300;
    Dialog.ApplySettings(Record);
    EXPECT_FALSE(Dialog.Threshold->IsEnabled());
    EXPECT_FALSE(Dialog.Lab_Darkness->isEnabled());
    TEffectSettings taken{};
    Dialog.TakeSettings(taken);
    EXPECT_EQ(+taken.RemainThreshold, 30);
    EXPECT_EQ(+taken.RemainDarkness, 255);

    Dialog.show();
    Dialog.Chk_Remain->click();
    EXPECT_TRUE(Dialog.Threshold->IsEnabled());
    EXPECT_TRUE(Dialog.Lab_Threshold->isEnabled());
    EXPECT_EQ(Asks.count(), 1);
}

TEST_F(SketchOptions, TypedStrengthIsLimitedAndCancelRestoresTypeAndStrength)
{
    Dialog.show();
    Retype(Dialog.Sharper->Spn(), "60");
    EXPECT_EQ(Dialog.Sharper->Value(), 50);
    EXPECT_EQ(Asks.count(), 2) << "6, then 60 limited to 50";
    Dialog.RG_SketchType->Item(0)->click();
    EXPECT_EQ(Asks.count(), 3);
    Record.Sharper = 50; // what the preview's next computation takes

    QTest::keyClick(&Dialog, Qt::Key_Escape);
    EXPECT_FALSE(Dialog.isVisible());
    EXPECT_EQ(Dialog.Sharper->Value(), 0);
    EXPECT_EQ(Dialog.RG_SketchType->ItemIndex(), SketchTypeGrey - 1);
    EXPECT_EQ(+Record.Sharper, 0);
    EXPECT_EQ(Asks.count(), 4) << "the preview is recomputed";

    // Hidden, values set by a preset start nothing; OK keeps changes.
    Record.Sharper = 20;
    Dialog.ApplySettings(Record);
    EXPECT_EQ(Asks.count(), 4);
    Dialog.show();
    Dialog.Sharper->Trc()->setValue(33);
    Dialog.Btn_Ok->click();
    EXPECT_EQ(Dialog.Sharper->Value(), 33);
}

TEST_F(ColorOptions, SelectingAndDraggingABoundaryStaysBetweenItsNeighbours)
{
    PressHandle(90);
    EXPECT_EQ(Dialog.SelectedMarker(), 3);
    EXPECT_TRUE(Dialog.Lab_Boundary->isVisible());
    EXPECT_EQ(Dialog.Lab_Boundary->text(), "2: ");
    EXPECT_EQ(Dialog.Spn_Boundary->Minimum(), 41);
    EXPECT_EQ(Dialog.Spn_Boundary->Maximum(), 159);
    EXPECT_EQ(Dialog.Spn_Boundary->Text(), "90");

    DragTo(400);
    EXPECT_EQ(Row(Scale)[3], 90);
    EXPECT_EQ(Asks.count(), 0);
    DragTo(300);
    EXPECT_EQ(Row(Scale)[3], 145);
    EXPECT_EQ(Dialog.Spn_Boundary->Text(), "145");
    EXPECT_EQ(Asks.count(), 1);

    // Typing: a value in range applies at once, one outside when the edit ends.
    Retype(Dialog.Spn_Boundary, "100");
    EXPECT_EQ(Row(Scale)[3], 100);
    Retype(Dialog.Spn_Boundary, "200");
    EXPECT_EQ(Row(Scale)[3], 100);
    Dialog.BtnReset->setFocus();
    EXPECT_EQ(Row(Scale)[3], 159);

    // Beside a handle, on the scale line, and the ends: nothing is selected.
    for (QPoint miss : {QPoint(2 * 40 + 5, 25), QPoint(2 * 40 + 10, 21), QPoint(10, 25), QPoint(2 * 255 + 10, 25)}) {
        Mouse(Dialog.Ruler, QEvent::MouseButtonPress, miss, Qt::LeftButton);
        EXPECT_EQ(Dialog.SelectedMarker(), -1) << miss.x() << "," << miss.y();
        EXPECT_FALSE(Dialog.Spn_Boundary->isVisible());
    }
    CurrentScale = 0;
    PressHandle(90);
    EXPECT_EQ(Dialog.SelectedMarker(), -1) << "Color Scale 0 has no row";
}

TEST_F(ColorOptions, ResetRestoresEveryRowAndCancelTheBlendingToo)
{
    const TEffectSettings shown = Record;
    PressHandle(40);
    DragTo(2 * 60 + 10);
    CurrentScale = 7;
    Row(7)[0] = 3;
    Row(7)[1] = 0, Row(7)[2] = 100, Row(7)[3] = 255;
    PressHandle(100);
    DragTo(2 * 50 + 10);
    EXPECT_EQ(Row(7)[2], 50);
    Dialog.BtnReset->click();
    EXPECT_EQ(std::memcmp(Record.ColorTable, shown.ColorTable, ColorTableSize), 0);
    EXPECT_EQ(Dialog.SelectedMarker(), -1);

    CurrentScale = Scale;
    Dialog.RB_Overlay->click();
    EXPECT_TRUE(Dialog.Opacity->IsEnabled());
    PressHandle(160);
    DragTo(2 * 200 + 10);
    const int asked = Asks.count();
    Dialog.BtnCancel->click();
    EXPECT_TRUE(Dialog.RB_Multiply->isChecked());
    EXPECT_FALSE(Dialog.Opacity->IsEnabled());
    EXPECT_FALSE(Dialog.Lab_Blending2->isEnabled());
    EXPECT_EQ(std::memcmp(&Record, &shown, sizeof Record), 0);
    EXPECT_EQ(Asks.count(), asked + 1);
}

TEST_F(ColorOptions, LoadingATableClearsTheSelection)
{
    TTestFolder folder;
    std::vector<std::uint8_t> table(ColorTableSize, 0);
    const std::uint8_t row[] = {4, 0, 10, 20, 255};
    std::memcpy(table.data() + (Scale - 1) * ColorTableRowSize, row, sizeof row);
    ASSERT_TRUE(WriteColorTableFile(folder.File("t.ctb"), TConstColorTableBytes(table.data(), ColorTableSize)));
    std::vector<TFileRequest> requests;
    Dialog.OpenDialog = [&](QWidget*, const TFileRequest& request) {
        requests.push_back(request);
        return std::optional<TFileChoice>(TFileChoice{QString::fromStdString(folder.File("t.ctb")), 1});
    };
    PressHandle(90);
    ASSERT_EQ(Dialog.SelectedMarker(), 3);
    Dialog.BtnLoad->click();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Filters[0].Text, "Colors Table Config File(*.ctb)");
    EXPECT_EQ(requests[0].Filters[0].Patterns, QStringList{"*.ctb"});
    EXPECT_EQ(Dialog.SelectedMarker(), -1);
    EXPECT_FALSE(Dialog.Spn_Boundary->isVisible());
    EXPECT_EQ(std::memcmp(Record.ColorTable, table.data(), ColorTableSize), 0);
    PressHandle(20);
    EXPECT_EQ(Dialog.SelectedMarker(), 3);
    EXPECT_EQ(Dialog.Spn_Boundary->Maximum(), 254);
}
