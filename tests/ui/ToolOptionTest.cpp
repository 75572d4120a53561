#include "ui/FrmToolOption.h"

#include "tests/ui/ToolOptionControls.h"
#include "ui/SpinEdit.h"

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

#include <algorithm>
#include <map>
#include <ostream>
#include <tuple>

// Readable failures: every setting by name.
void PrintTo(const TToolSettings& settings, std::ostream* out)
{
    for (const TToolSetting& row : ToolSettingTable)
        *out << row.Name << '=' << settings.*row.Field << ' ';
}

void PrintTo(const TObjectSettings& s, std::ostream* out)
{
    *out << "border " << s.BorderWidth << ", font \"" << s.FontName << "\" " << s.FontSize << (s.Bold ? " bold" : "")
         << (s.Italic ? " italic" : "") << (s.Underline ? " underline" : "") << ", lines";
    for (const std::string& line : s.Lines)
        *out << " \"" << line << '"';
    for (const TObjectOption& option : ObjectOptionTable)
        *out << ", " << option.Name << ' ' << s.*option.Field;
    *out << ", align " << int(s.Align);
}

namespace {

class ToolOptionPanel : public testing::Test {
protected:
    void SetUp() override
    {
        Panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Panel));
    }

    template <class T>
    T* Control(const QString& name) const
    {
        return ControlNamed<T>(Panel, name);
    }
    QSlider* Track(const char* name) const { return Control<QSlider>(QStringLiteral("Trc") + name); }
    TSpinEdit* Spin(const char* name) const { return Control<TSpinEdit>(QStringLiteral("Spn") + name); }
    QString LabelText(const char* name) const { return Control<QLabel>(name)->text(); }

    // The text of the label a control is the buddy of; empty for none.
    static QString CaptionOf(const QWidget* control)
    {
        for (const QLabel* label : control->parentWidget()->findChildren<QLabel*>())
            if (label->buddy() == control)
                return label->text();
        return {};
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
    EXPECT_EQ(Panel.CurrentPage(), Control<QWidget>("TsNormal"));
    const std::map<int, QString> pages{
        {0, "Info"},          {1, "Pencil"},         {2, "Brush"},         {3, "Eraser"},        {4, "Paint Bucket"},
        {5, "Lighten Tool"},  {6, "Darken Tool"},    {23, "Rectangle"},    {24, "Ellipse"},      {27, "Text"},
        {28, "Text Balloon"}, {29, "Text Balloon"},  {30, "Text Balloon"}, {31, "Text Balloon"}, {32, "Text Balloon"},
        {41, "Info"},         {42, "Color Dropper"},
    };
    for (const auto& [code, caption] : pages) {
        Panel.ShowPage(TToolCode(code));
        EXPECT_EQ(TFrmToolOption::PageCaption(Panel.CurrentPage()), caption) << code;
        EXPECT_TRUE(Panel.CurrentPage() && Panel.CurrentPage()->isVisible()) << code;
    }
    for (int code : {7, 22, 33, 40, 43, -1}) {
        Panel.ShowPage(TToolCode(code));
        EXPECT_EQ(Panel.CurrentPage(), nullptr) << code;
        EXPECT_FALSE(Control<QWidget>("TsNormal")->isVisible()) << code;
    }
}

TEST_F(ToolOptionPanel, EachPairIsBuiltFromItsRowAndTheSettingsFollowTheTrackBars)
{
    const TToolSettings defaults;
    EXPECT_EQ(Panel.Settings(), defaults);
    TToolSettings moved;
    for (const TToolSetting& row : ToolSettingTable) {
        SCOPED_TRACE(row.Name);
        QSlider* track = Track(row.Name);
        TSpinEdit* spin = Spin(row.Name);
        ASSERT_TRUE(track && spin);
        EXPECT_EQ(defaults.*row.Field, row.Default);
        EXPECT_EQ(std::tuple(track->minimum(), track->maximum(), track->value()),
                  std::tuple(row.Min, row.Max, row.Default));
        EXPECT_EQ(std::tuple(spin->Minimum(), spin->Maximum(), spin->Text().toStdString()),
                  std::tuple(row.Min, row.SpinMax, std::to_string(row.SpinShown)));
        EXPECT_EQ(CaptionOf(spin), row.Caption);

        // The pair sits on the page its tools show.
        const auto tool = std::find_if(ToolTable.begin(), ToolTable.end(),
                                       [&](const TToolInfo& info) { return info.Page == row.Page; });
        ASSERT_NE(tool, ToolTable.end());
        Panel.ShowPage(tool->Code);
        EXPECT_EQ(Panel.CurrentPage(), track->parentWidget());
        EXPECT_TRUE(track->isVisible() && spin->isVisible());

        // A moved track bar is what the panel hands back, and it redraws
        // the outline of a tool that shows one.
        const int before = int(Refresh.count());
        const int value = row.Default == row.Max ? row.Min : row.Max;
        track->setValue(value);
        moved.*row.Field = value;
        EXPECT_EQ(spin->Text(), QString::number(value));
        EXPECT_EQ(Panel.Settings().*row.Field, value);
        EXPECT_EQ(Refresh.count(), before + (row.ShowsInOutline ? 1 : 0));
    }
    EXPECT_EQ(Panel.Settings(), moved);
}

TEST_F(ToolOptionPanel, TheBrushOpacityStartsAtEightWhileItsBoxShowsThree)
{
    EXPECT_EQ(Track("BrushOpacity")->value(), 8);
    EXPECT_EQ(Spin("BrushOpacity")->Text(), "3");
    Panel.ShowPage(TToolCode::Brush);
    Retype(Spin("BrushOpacity"), "20");
    EXPECT_EQ(Spin("BrushOpacity")->Text(), "20");
    EXPECT_EQ(Panel.Settings().BrushOpacity, 8);
    EXPECT_EQ(Refresh.count(), 2); // "2", then "20" at the track bar's end
    Retype(Spin("BrushOpacity"), "5");
    EXPECT_EQ(Panel.Settings().BrushOpacity, 5);
    EXPECT_EQ(Refresh.count(), 3);
}

TEST_F(ToolOptionPanel, SettingsThatShowInAnOutlineRefreshTheToolPreviewButTheToleranceDoesNot)
{
    Panel.ShowPage(TToolCode::Pencil);
    Track("PencilSize")->setFocus();
    QTest::keyClick(Track("PencilSize"), Qt::Key_Right);
    EXPECT_EQ(Spin("PencilSize")->Text(), "2");
    EXPECT_EQ(Refresh.count(), 1);
    Retype(Spin("PencilSize"), "0");
    EXPECT_EQ(Panel.Settings().PencilSize, 1);
    EXPECT_EQ(Refresh.count(), 2);

    Panel.ShowPage(TToolCode::PaintBucket);
    Retype(Spin("Tolerance"), "100");
    EXPECT_EQ(Panel.Settings().Tolerance, 100);
    EXPECT_EQ(Refresh.count(), 2);

    // A cleared brush size changes nothing until a number is typed.
    Panel.ShowPage(TToolCode::Brush);
    TSpinEdit* brushSize = Spin("BrushSize");
    brushSize->setFocus();
    brushSize->selectAll();
    QTest::keyClick(brushSize, Qt::Key_Backspace);
    EXPECT_EQ(Panel.Settings().BrushSize, 20);
    EXPECT_EQ(Refresh.count(), 2);
    QTest::keyClicks(brushSize, "35");
    EXPECT_EQ(Panel.Settings().BrushSize, 35);
    EXPECT_EQ(Refresh.count(), 4);
}

TEST_F(ToolOptionPanel, ObjectPagesAreBuiltFromTheirRowsAndHandBackWhatTheyShow)
{
    for (TToolCode code : {TToolCode::Rectangle, TToolCode::Ellipse, TToolCode::Text, TToolCode::BalloonRect}) {
        SCOPED_TRACE(int(code));
        const TObjectPage page = ObjectPage(Panel, code);
        const bool framed = code != TToolCode::Text;
        ASSERT_EQ(page.BorderWidth != nullptr, framed);
        if (framed) {
            EXPECT_EQ(std::tuple(page.BorderWidth->minimum(), page.BorderWidth->maximum(), page.BorderWidth->value()),
                      std::tuple(BorderWidthSetting.Min, BorderWidthSetting.Max, BorderWidthSetting.Default));
            EXPECT_EQ(CaptionOf(page.BorderWidth), BorderWidthSetting.Caption);
        }
        EXPECT_EQ(std::tuple(page.FontSize->minimum(), page.FontSize->maximum(), page.FontSize->value()),
                  std::tuple(FontSizeSetting.Min, FontSizeSetting.Max, FontSizeSetting.Default));
        EXPECT_EQ(page.FontSize->toolTip(), FontSizeSetting.Caption);

        TObjectSettings expected = StartObjectSettings(FindTool(code)->Page);
        expected.FontName = page.FontName->currentText().toStdString();
        EXPECT_EQ(Panel.ObjectSettings(code), expected);

        if (framed) {
            page.BorderWidth->setValue(7);
            expected.BorderWidth = 7;
        }
        page.FontName->setCurrentIndex(0);
        expected.FontName = page.FontName->itemText(0).toStdString();
        page.FontSize->setValue(30);
        expected.FontSize = 30;
        page.Italic->click();
        expected.Italic = true;
        page.Text->setPlainText(QString::fromUtf8("one\n\nt\u00e9o"));
        expected.Lines = {"one", "", "t\u00e9o"};
        EXPECT_EQ(Panel.ObjectSettings(code), expected);

        // A size box left blank while typing hands back no size.
        page.FontSize->clear();
        EXPECT_EQ(Panel.ObjectSettings(code).FontSize, 0);
    }
    // The three balloons share one page; a tool without an object page
    // gets the start values.
    EXPECT_EQ(Panel.ObjectSettings(TToolCode::BalloonEllipse), Panel.ObjectSettings(TToolCode::BalloonRect));
    EXPECT_EQ(Panel.ObjectSettings(TToolCode::Pencil), TObjectSettings());
}

TEST_F(ToolOptionPanel, EveryObjectSettingRefreshesAndTheButtonsAreReported)
{
    QSignalSpy commit(&Panel, &TFrmToolOption::CommitRequested);
    QSignalSpy cancel(&Panel, &TFrmToolOption::CancelRequested);
    for (TToolCode code : {TToolCode::Rectangle, TToolCode::Ellipse, TToolCode::Text, TToolCode::BalloonRect}) {
        const TObjectPage c = ObjectPage(Panel, code);
        Refresh.clear();
        if (c.BorderWidth)
            c.BorderWidth->setValue(4);
        c.FontName->setCurrentIndex(c.FontName->count() - 1);
        c.FontSize->setValue(30);
        for (QToolButton* toggle : {c.Bold, c.Italic, c.Underline})
            QTest::mouseClick(toggle, Qt::LeftButton);
        QTest::keyClicks(c.Text, "Hi");
        const int changes = (c.BorderWidth ? 1 : 0) + (c.FontName->count() > 1 ? 1 : 0) + 1 + 3 + 2;
        EXPECT_EQ(Refresh.count(), changes) << c.Text->objectName().toStdString();
        QTest::mouseClick(c.Commit, Qt::LeftButton);
        QTest::mouseClick(c.Cancel, Qt::LeftButton);
    }
    EXPECT_EQ(Panel.findChild<QSpinBox*>("SpnTextBorderW"), nullptr);
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
    const QComboBox* box = ObjectPage(Panel, TToolCode::BalloonRect).FontName;
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    EXPECT_EQ(items, expected);
    EXPECT_EQ(box->currentText(), expected.contains(panelFamily) ? panelFamily : QString());
}

TEST_F(ToolOptionPanel, ShowsThePointerAndTheDropperReadings)
{
    Panel.SetPointerInfo(120, -3);
    EXPECT_EQ(LabelText("LabInfoX"), "X: 120");
    EXPECT_EQ(LabelText("LabInfoY"), "Y: -3");

    Panel.SetDropperReading(7, 1080, QColor(10, 20, 30));
    EXPECT_EQ(LabelText("LabDropperX"), "X: 7");
    EXPECT_EQ(LabelText("LabDropperY"), "Y: 1080");
    EXPECT_EQ(LabelText("LabDropperR"), "R: 10");
    EXPECT_EQ(LabelText("LabDropperG"), "G: 20");
    EXPECT_EQ(LabelText("LabDropperB"), "B: 30");
    Panel.ShowPage(TToolCode::Dropper);
    const QImage sample = Control<QFrame>("ShpColor")->grab().toImage();
    EXPECT_EQ(sample.pixelColor(sample.width() / 2, sample.height() / 2), QColor(10, 20, 30));
}
