#include "ui/SpinEdit.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>

TEST(SpinText, BlankTextStandsForNothing)
{
    EXPECT_EQ(InterpretSpinText("", 1), std::nullopt);
    EXPECT_EQ(InterpretSpinText("   ", 1), std::nullopt);
    EXPECT_EQ(InterpretSpinText("\t ", -255), std::nullopt);
}

TEST(SpinText, NumbersWithBlanksAndSigns)
{
    EXPECT_EQ(InterpretSpinText(" 42 ", 1), 42);
    EXPECT_EQ(InterpretSpinText("-17", -255), -17);
    EXPECT_EQ(InterpretSpinText("+5", 0), 5);
    EXPECT_EQ(InterpretSpinText("007", 0), 7);
    // Out of range for a pair is still a number: limiting is the track bar's job.
    EXPECT_EQ(InterpretSpinText("5000", 0), 5000);
}

TEST(SpinText, TextThatIsNoNumberCountsAsTheMinimum)
{
    EXPECT_EQ(InterpretSpinText("-", -255), -255);
    EXPECT_EQ(InterpretSpinText("+", 1), 1);
    EXPECT_EQ(InterpretSpinText("1-2", 1), 1);
    EXPECT_EQ(InterpretSpinText("--5", 0), 0);
    EXPECT_EQ(InterpretSpinText("4 2", 3), 3);
    EXPECT_EQ(ParseSpinNumber("-"), std::nullopt);
    EXPECT_EQ(ParseSpinNumber("12x"), std::nullopt);
}

TEST(SpinText, HugeNumbersSaturateInsteadOfWrapping)
{
    EXPECT_EQ(InterpretSpinText("2147483647", 0), INT_MAX);
    EXPECT_EQ(InterpretSpinText("2147483648", 0), INT_MAX);
    EXPECT_EQ(InterpretSpinText("99999999999999999999999", 0), INT_MAX);
    EXPECT_EQ(InterpretSpinText("-2147483648", 0), INT_MIN);
    EXPECT_EQ(InterpretSpinText("-99999999999999999999999", 0), INT_MIN);
}

class SpinEditWidget : public testing::Test {
protected:
    void SetUp() override
    {
        Spin.SetRange(0, 20);
        Spin.SetValue(5);
        Spin.show();
        Spin.setFocus();
    }

    void Retype(const QString& text)
    {
        Spin.selectAll();
        QTest::keyClick(&Spin, Qt::Key_Backspace);
        QTest::keyClicks(&Spin, text);
    }

    TSpinEdit Spin;
};

TEST_F(SpinEditWidget, AcceptsIntegersOutsideItsRangeAndRefusesLetters)
{
    Retype("5000");
    EXPECT_EQ(Spin.Text(), "5000");
    Retype("4a2.b");
    EXPECT_EQ(Spin.Text(), "42");
    Retype("-3");
    EXPECT_EQ(Spin.Text(), "-3");
    EXPECT_EQ(Spin.Value(), -3);
}

TEST_F(SpinEditWidget, ArrowsStepByOneWithinTheRange)
{
    QSignalSpy edited(&Spin, &TSpinEdit::TextEdited);
    QTest::keyClick(&Spin, Qt::Key_Up);
    EXPECT_EQ(Spin.Text(), "6");
    QTest::keyClick(&Spin, Qt::Key_Down);
    QTest::keyClick(&Spin, Qt::Key_Down);
    EXPECT_EQ(Spin.Text(), "4");
    EXPECT_EQ(edited.count(), 3);

    Spin.SetValue(20);
    QTest::keyClick(&Spin, Qt::Key_Up);
    EXPECT_EQ(Spin.Text(), "20");
    EXPECT_EQ(edited.count(), 3) << "no step past the maximum";

    // Stepping from a value typed beyond the range starts at the limit.
    Retype("500");
    QTest::keyClick(&Spin, Qt::Key_Down);
    EXPECT_EQ(Spin.Text(), "19");
}

TEST_F(SpinEditWidget, ArrowsStepFromTheLastValueWhenTheTextIsBlank)
{
    Spin.SetValue(12);
    Retype("");
    EXPECT_EQ(Spin.Value(), std::nullopt);
    QTest::keyClick(&Spin, Qt::Key_Up);
    EXPECT_EQ(Spin.Text(), "13");
}
