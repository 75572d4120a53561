#include "ui/TrackSpin.h"
#include "ui/SpinEdit.h"

#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Values(const QSignalSpy& spy)
{
    std::vector<int> values;
    for (const QList<QVariant>& call : spy)
        values.push_back(call.at(0).toInt());
    return values;
}

class TrackSpinPair : public testing::Test {
protected:
    // A pair like the layers panel's opacity: 1..99, starting at 50.
    void Make(int minimum = 1, int maximum = 99, int value = 50)
    {
        Pair = new TTrackSpin(minimum, maximum, value, &Window, "Opacity:");
        Changed = std::make_unique<QSignalSpy>(Pair, &TTrackSpin::Changed);
        Edited = std::make_unique<QSignalSpy>(Pair, &TTrackSpin::SpinTextEdited);
        Window.show();
    }

    void SetUp() override { Make(); }

    QSlider* Trc() const { return Pair->Trc(); }
    TSpinEdit* Spn() const { return Pair->Spn(); }

    // Replaces the spin edit's text key by key, as a user does.
    void Retype(const QString& text)
    {
        Spn()->setFocus();
        Spn()->selectAll();
        QTest::keyClick(Spn(), Qt::Key_Backspace);
        QTest::keyClicks(Spn(), text);
    }

    void Append(const QString& text)
    {
        Spn()->setFocus();
        QTest::keyClick(Spn(), Qt::Key_End);
        QTest::keyClicks(Spn(), text);
    }

    void FinishEditing() { QTest::keyClick(Spn(), Qt::Key_Return); }

    QWidget Window;
    TTrackSpin* Pair = nullptr;
    std::unique_ptr<QSignalSpy> Changed;
    std::unique_ptr<QSignalSpy> Edited;
};

} // namespace

TEST_F(TrackSpinPair, StartsWithBothControlsShowingTheValue)
{
    EXPECT_EQ(Trc()->value(), 50);
    EXPECT_EQ(Trc()->minimum(), 1);
    EXPECT_EQ(Trc()->maximum(), 99);
    EXPECT_EQ(Spn()->Text(), "50");
    EXPECT_EQ(Pair->LastHandled(), 50);
    EXPECT_EQ(Pair->Caption()->text(), "Opacity:");
    EXPECT_EQ(Pair->Caption()->buddy(), Spn());
}

TEST_F(TrackSpinPair, TypingBeyondTheRangeIsLimitedInBothControls)
{
    Retype("150");
    EXPECT_EQ(Trc()->value(), 99);
    EXPECT_EQ(Spn()->Text(), "99");
    // One handled change per keystroke that moved the track bar.
    EXPECT_EQ(Values(*Changed), (std::vector<int>{1, 15, 99}));
    FinishEditing();
    EXPECT_EQ(Changed->count(), 3);
}

TEST_F(TrackSpinPair, TypingBelowTheRangeGivesTheMinimum)
{
    Retype("0");
    EXPECT_EQ(Trc()->value(), 1);
    EXPECT_EQ(Spn()->Text(), "1");
    EXPECT_EQ(Values(*Changed), (std::vector<int>{1}));
}

TEST(TrackSpinWide, TypingFiveThousandOnALongRangeGivesItsEnd)
{
    QWidget window;
    TTrackSpin detail(0, 1024, 115, &window);
    QSignalSpy changed(&detail, &TTrackSpin::Changed);
    window.show();
    detail.Spn()->setFocus();
    QTest::keyClick(detail.Spn(), Qt::Key_End);
    QTest::keyClick(detail.Spn(), Qt::Key_Backspace);
    QTest::keyClick(detail.Spn(), Qt::Key_Backspace);
    QTest::keyClick(detail.Spn(), Qt::Key_Backspace);
    QTest::keyClicks(detail.Spn(), "5000");
    EXPECT_EQ(detail.Value(), 1024);
    EXPECT_EQ(detail.Spn()->Text(), "1024");
    // Deleting digits moves the track bar too; the blank text does not.
    EXPECT_EQ(Values(changed), (std::vector<int>{11, 1, 5, 50, 500, 1024}));
}

TEST_F(TrackSpinPair, ClearingTheTextChangesNothingButIsReported)
{
    Spn()->setFocus();
    Spn()->selectAll();
    QTest::keyClick(Spn(), Qt::Key_Delete);
    EXPECT_EQ(Spn()->Text(), "");
    EXPECT_EQ(Trc()->value(), 50);
    EXPECT_EQ(Changed->count(), 0);
    ASSERT_EQ(Edited->count(), 1);
    EXPECT_FALSE(Edited->at(0).at(0).toBool());

    QTest::keyClicks(Spn(), "   ");
    EXPECT_EQ(Trc()->value(), 50);
    EXPECT_EQ(Changed->count(), 0);
    EXPECT_EQ(Edited->count(), 4);

    // Leaving the blank text shows the value again, still without a change.
    FinishEditing();
    EXPECT_EQ(Spn()->Text(), "50");
    EXPECT_EQ(Changed->count(), 0);
}

TEST(TrackSpinSigned, TextThatIsNoNumberGivesTheMinimumAndIsLeftToBeTypedOn)
{
    QWidget window;
    TTrackSpin brightness(-255, 255, 40, &window);
    QSignalSpy changed(&brightness, &TTrackSpin::Changed);
    window.show();
    TSpinEdit* spin = brightness.Spn();
    spin->setFocus();
    spin->selectAll();
    QTest::keyClick(spin, Qt::Key_Backspace);
    QTest::keyClick(spin, Qt::Key_Minus);
    EXPECT_EQ(brightness.Value(), -255);
    EXPECT_EQ(spin->Text(), "-") << "a lone sign is not replaced while typing";
    QTest::keyClicks(spin, "20");
    EXPECT_EQ(brightness.Value(), -20);
    EXPECT_EQ(spin->Text(), "-20");
    EXPECT_EQ(Values(changed), (std::vector<int>{-255, -2, -20}));

    QTest::keyClicks(spin, "-");
    EXPECT_EQ(brightness.Value(), -255);
    QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(spin->Text(), "-255");
    EXPECT_EQ(Values(changed), (std::vector<int>{-255, -2, -20, -255}));
}

TEST_F(TrackSpinPair, APositionAlreadyHandledEmitsNothing)
{
    Retype("99");
    Changed->clear();
    Edited->clear();

    // "990" is limited to 99, where the track bar already is.
    Append("0");
    EXPECT_EQ(Spn()->Text(), "99");
    EXPECT_EQ(Trc()->value(), 99);
    EXPECT_EQ(Changed->count(), 0);
    ASSERT_EQ(Edited->count(), 1);
    EXPECT_FALSE(Edited->at(0).at(0).toBool());

    // The same number written differently is the same position.
    Append(" ");
    QTest::keyClick(Spn(), Qt::Key_Home);
    QTest::keyClick(Spn(), Qt::Key_Plus);
    EXPECT_EQ(Spn()->Text(), "+99 ");
    EXPECT_EQ(Changed->count(), 0);
    EXPECT_EQ(Edited->count(), 3);
}

TEST_F(TrackSpinPair, TheTrackBarReportingTheHandledPositionAgainIsIgnored)
{
    // Code that detached the track bar and moved it leaves the last handled
    // position behind; returning to it is not handled a second time.
    Trc()->blockSignals(true);
    Trc()->setValue(51);
    Trc()->blockSignals(false);
    Spn()->SetText("51");
    Trc()->setFocus();
    QTest::keyClick(Trc(), Qt::Key_Left);
    EXPECT_EQ(Trc()->value(), 50);
    EXPECT_EQ(Changed->count(), 0);
    EXPECT_EQ(Spn()->Text(), "50") << "the spin edit mirrors it all the same";

    QTest::keyClick(Trc(), Qt::Key_Left);
    EXPECT_EQ(Values(*Changed), (std::vector<int>{49}));
}

TEST_F(TrackSpinPair, SilentSettingEmitsNothingAndIsRememberedAsHandled)
{
    Pair->SetValueSilently(70);
    EXPECT_EQ(Trc()->value(), 70);
    EXPECT_EQ(Spn()->Text(), "70");
    EXPECT_EQ(Pair->LastHandled(), 70);

    Pair->SetValueSilently(500);
    EXPECT_EQ(Trc()->value(), 99);
    EXPECT_EQ(Spn()->Text(), "99");

    Pair->SetRange(1, 20);
    EXPECT_EQ(Trc()->value(), 20);
    EXPECT_EQ(Spn()->Text(), "20");
    EXPECT_EQ(Spn()->Maximum(), 20);
    EXPECT_EQ(Changed->count(), 0);
    EXPECT_EQ(Edited->count(), 0);

    // Moving back to a position set earlier is a change again.
    Pair->SetValueSilently(5);
    Trc()->setFocus();
    QTest::keyClick(Trc(), Qt::Key_Right);
    EXPECT_EQ(Values(*Changed), (std::vector<int>{6}));
}

TEST_F(TrackSpinPair, AfterResetTheNextPositionIsAlwaysHandled)
{
    Pair->ResetHandled();
    EXPECT_EQ(Pair->LastHandled(), TTrackSpin::NotHandled);
    Trc()->setFocus();
    QTest::keyClick(Trc(), Qt::Key_Left);
    EXPECT_EQ(Values(*Changed), (std::vector<int>{49}));
    EXPECT_EQ(Spn()->Text(), "49");
    EXPECT_EQ(Pair->LastHandled(), 49);
}

TEST_F(TrackSpinPair, EveryKeyOnTheTrackBarIsOneChange)
{
    Trc()->setFocus();
    QTest::keyClick(Trc(), Qt::Key_Right);
    QTest::keyClick(Trc(), Qt::Key_Up);
    QTest::keyClick(Trc(), Qt::Key_Left);
    QTest::keyClick(Trc(), Qt::Key_PageUp);
    QTest::keyClick(Trc(), Qt::Key_PageDown);
    QTest::keyClick(Trc(), Qt::Key_End);
    QTest::keyClick(Trc(), Qt::Key_End);
    QTest::keyClick(Trc(), Qt::Key_Home);
    EXPECT_EQ(Values(*Changed), (std::vector<int>{51, 52, 51, 60, 51, 99, 1}));
    EXPECT_EQ(Spn()->Text(), "1");
    EXPECT_EQ(Edited->count(), 0) << "the track bar does not edit the spin edit's text as a user";
}

TEST_F(TrackSpinPair, SpinArrowsStepTheTrackBarByOne)
{
    Spn()->setFocus();
    QTest::keyClick(Spn(), Qt::Key_Up);
    EXPECT_EQ(Trc()->value(), 51);
    QTest::keyClick(Spn(), Qt::Key_Down);
    QTest::keyClick(Spn(), Qt::Key_Down);
    EXPECT_EQ(Trc()->value(), 49);
    EXPECT_EQ(Values(*Changed), (std::vector<int>{51, 50, 49}));
    ASSERT_EQ(Edited->count(), 3);
    EXPECT_TRUE(Edited->at(2).at(0).toBool());

    Pair->SetValueSilently(99);
    QTest::keyClick(Spn(), Qt::Key_Up);
    EXPECT_EQ(Trc()->value(), 99);
    EXPECT_EQ(Changed->count(), 3);
}

TEST_F(TrackSpinPair, EnablingAndShowingCoverTheCaption)
{
    Pair->SetEnabled(false);
    EXPECT_FALSE(Pair->IsEnabled());
    EXPECT_FALSE(Trc()->isEnabled());
    EXPECT_FALSE(Spn()->isEnabled());
    EXPECT_FALSE(Pair->Caption()->isEnabled());
    Pair->SetEnabled(true);
    EXPECT_TRUE(Pair->Caption()->isEnabled());
    EXPECT_TRUE(Spn()->isEnabled());

    Pair->SetVisible(false);
    EXPECT_TRUE(Trc()->isHidden());
    EXPECT_TRUE(Spn()->isHidden());
    EXPECT_TRUE(Pair->Caption()->isHidden());
    Pair->SetVisible(true);
    EXPECT_TRUE(Trc()->isVisible());
    EXPECT_TRUE(Pair->Caption()->isVisible());

    // Hidden or not, silent setting still reaches both controls.
    Pair->SetVisible(false);
    Pair->SetValueSilently(33);
    EXPECT_EQ(Spn()->Text(), "33");
    EXPECT_EQ(Changed->count(), 0);
}

TEST_F(TrackSpinPair, AWiderSpinRangeKeepsTheTypedValueWhileTheTrackBarStopsAtItsEnd)
{
    // The brush opacity: track bar 1..8 at 8, spin edit 1..50 showing 3.
    delete Pair;
    Make(1, 8, 8);
    Pair->SetSpinRange(1, 50);
    Spn()->SetValue(3);
    EXPECT_EQ(Pair->Value(), 8);

    Retype("20");
    EXPECT_EQ(Spn()->Text(), "20");
    EXPECT_EQ(Trc()->value(), 8);
    FinishEditing();
    EXPECT_EQ(Spn()->Text(), "20");

    Retype("70");
    EXPECT_EQ(Spn()->Text(), "50");
    EXPECT_EQ(Trc()->value(), 8);
    Retype("2");
    EXPECT_EQ(Trc()->value(), 2);
    // Each key is a change: "2", "20", "7", "70", "2".
    EXPECT_EQ(Values(*Changed), (std::vector<int>{2, 8, 7, 8, 2}));
    // Moving the track bar shows its position again.
    Trc()->setValue(6);
    EXPECT_EQ(Spn()->Text(), "6");
}
