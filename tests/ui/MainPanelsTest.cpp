#include "tests/ui/MainFixture.h"

#include "ui/FrmHistory.h"
#include "ui/FrmLayers.h"
#include "ui/FrmOptions.h"
#include "ui/FrmToolOption.h"
#include "ui/FrmTools.h"
#include "ui/PaintBox.h"
#include "ui/PanelPlacement.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

struct TToggle {
    QAction* Item;
    QToolButton* Button;
    QWidget* Panel;
};

std::vector<TToggle> Toggles(const TFrmMain& main)
{
    return {{main.MenuItem_History, main.Tol_History, main.FrmHistory},
            {main.MenuItem_Layers, main.Tol_Layers, main.FrmLayers},
            {main.MenuItem_Tools, main.Tol_Tools, main.FrmTools},
            {main.MenuItem_ToolOption, main.Tol_ToolOption, main.FrmToolOption}};
}

TEST_F(MainWindowTest, MenuItemButtonAndCloseBoxKeepEachPanelInStep)
{
    for (const TToggle& toggle : Toggles(*Main)) {
        const std::string name = toggle.Item->objectName().toStdString();
        // Shown at start, with the toggle down: tool windows kept above the main window.
        EXPECT_TRUE(toggle.Panel->isVisible()) << name;
        EXPECT_TRUE(toggle.Button->isChecked()) << name;
        EXPECT_EQ(toggle.Panel->parentWidget(), Main.get());
        EXPECT_TRUE(toggle.Panel->windowFlags() & Qt::Tool);
        // The menu item hides the panel and raises the button.
        toggle.Item->trigger();
        EXPECT_FALSE(toggle.Panel->isVisible()) << name;
        EXPECT_FALSE(toggle.Button->isChecked()) << name;
        // The button shows it again and checks the item.
        QTest::mouseClick(toggle.Button, Qt::LeftButton);
        EXPECT_TRUE(toggle.Panel->isVisible()) << name;
        EXPECT_TRUE(toggle.Item->isChecked()) << name;
        // The panel's own close box unchecks both.
        toggle.Panel->close();
        EXPECT_FALSE(toggle.Panel->isVisible()) << name;
        EXPECT_FALSE(toggle.Item->isChecked()) << name;
        EXPECT_FALSE(toggle.Button->isChecked()) << name;
        toggle.Item->trigger();
        EXPECT_TRUE(toggle.Panel->isVisible()) << name;
        EXPECT_TRUE(toggle.Button->isChecked()) << name;
    }
}

TEST_F(MainWindowTest, ThePanelsArePlacedAtTheDesktopsEdges)
{
    const QRect desktop = Main->screen()->virtualGeometry();
    const int scrollBar = Main->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QRect history = Main->FrmHistory->frameGeometry();
    const QRect layers = Main->FrmLayers->frameGeometry();
    const QRect option = Main->FrmToolOption->frameGeometry();
    EXPECT_EQ(Main->FrmTools->frameGeometry().left(), desktop.left());
    EXPECT_EQ(history.right() + 1 + scrollBar, desktop.right() + 1);
    EXPECT_EQ(layers.left(), history.left());
    EXPECT_EQ(option.left(), history.left());
    EXPECT_EQ(layers.width(), history.width());
    EXPECT_EQ(option.width(), history.width());
    // The offscreen screen has room for the stack: one below the other.
    ASSERT_GE(desktop.height(), history.height() + layers.height() + option.height());
    EXPECT_EQ(layers.top(), history.bottom() + 1);
    EXPECT_EQ(option.top(), layers.bottom() + 1);
}

TEST_F(MainWindowTest, TheHistoryIsSizedFromTheOptionsAndTheOptionsAreWrittenOnClosing)
{
    Main.reset();
    TProgramOptions options;
    options.HistoryStates = 3;
    ASSERT_TRUE(SaveOptions(UserFile(OptionsFileName), options));
    Main = TFrmMain::CreateWindows();
    EXPECT_EQ(Main->History.Capacity(), THistory::InitialCapacity);
    Main->show();
    EXPECT_EQ(Main->History.Capacity(), 4);

    // Four opens in a history of three states: the first falls out.
    for (int i = 0; i < 4; ++i)
        Open(Photo("coffee.bmp"));
    EXPECT_EQ(Main->History.RowCount(), 3);
    EXPECT_EQ(Main->FrmHistory->StringGrid1->rowCount(), 3);

    QFile::remove(Folder.filePath("options.dat"));
    Main->close();
    EXPECT_EQ(QFileInfo(Folder.filePath("options.dat")).size(), 32);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
}

TEST_F(MainWindowTest, TheOptionsCommandShowsTheOptionsDialog)
{
    bool shown = false;
    QTimer::singleShot(0, Main->FrmOptions, [&] {
        shown = Main->FrmOptions->isVisible();
        Main->FrmOptions->reject();
    });
    Main->MenuItem_Options->trigger();
    EXPECT_TRUE(shown);
}

TEST_F(MainWindowTest, TheHistoryPanelListsTheStatesAndRestoresAChosenOne)
{
    Open(Photo("coffee.bmp"));
    Open(Photo("astronaut.jpg"));
    Open(Photo("storm.jpg"));
    QTableWidget* grid = Main->FrmHistory->StringGrid1;
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(2, 0)->text(), "Open");
    EXPECT_EQ(grid->item(2, 1)->toolTip(), Photo("storm.jpg"));
    EXPECT_TRUE(grid->item(2, 1)->text().startsWith("storm.jpg"));
    EXPECT_EQ(grid->currentRow(), 2);

    Main->Undo();
    EXPECT_EQ(grid->currentRow(), 1);

    emit Main->FrmHistory->RowChosen(1);
    Settle();
    EXPECT_EQ(Main->StatusPanel0->text(), "600 x 400");
    EXPECT_EQ(grid->currentRow(), 0);
    EXPECT_FALSE(Main->MenuItem_Undo->isEnabled());
    EXPECT_TRUE(Main->MenuItem_Redo->isEnabled());

    // A new open after going back drops the states Redo would have reached.
    Open(Photo("astronaut.jpg"));
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_FALSE(Main->MenuItem_Redo->isEnabled());
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
}

TEST_F(MainWindowTest, TheLayersPanelShowsTheOpenedStateAndItsChangesShowAtOnce)
{
    // A state the open replaces: hidden layers and the opacity mix.
    Main->Document.LayerState = TLayerState{false, false, true, false, BlendOpacity, 30};
    Main->FrmLayers->ShowLayerState();
    Open(Photo("coffee.bmp"));
    EXPECT_EQ(Main->FrmLayers->CmbBlendingMode->currentIndex(), BlendMultiply);
    EXPECT_TRUE(Main->FrmLayers->Chk_SketchVisible->isChecked());
    EXPECT_TRUE(Main->FrmLayers->Chk_ColorVisible->isChecked());
    EXPECT_FALSE(Main->FrmLayers->Chk_ColorDrawable->isChecked());

    // Opacity 30 over a white sketch layer: (70 c + 30 x 255) / 100.
    Main->FrmLayers->CmbBlendingMode->setCurrentIndex(BlendOpacity);
    const std::uint8_t* photo = Main->Document.SourceBitmap.ScanLine(7) + 5 * 3;
    const auto mix = [](int c) { return (70 * c + 30 * 255) / 100; };
    EXPECT_EQ(Main->PaintBox1->Screen().pixel(5, 7), qRgb(mix(photo[2]), mix(photo[1]), mix(photo[0])));
    // Not a history step of its own.
    EXPECT_EQ(Main->History.RowCount(), 1);
}

TEST_F(MainWindowTest, TheDrawingToolsFollowTheZoom)
{
    EXPECT_EQ(Main->FrmTools->PaletteState(), TPaletteState::NoPicture);
    Open(Photo("coffee.bmp"));
    EXPECT_EQ(Main->FrmTools->PaletteState(), TPaletteState::Ready);
    EXPECT_EQ(Main->FrmTools->CurrentTool(), TToolCode::Hand);
    Main->ZoomOut();
    EXPECT_EQ(Main->FrmTools->PaletteState(), TPaletteState::ZoomTooSmall);
    Main->ZoomIn();
    EXPECT_EQ(Main->FrmTools->PaletteState(), TPaletteState::Ready);
    Main->ZoomIn();
    Main->ZoomOut();
    EXPECT_EQ(Main->FrmTools->PaletteState(), TPaletteState::Ready);

    // An undo at 75 % keeps the zoom, and the tools stay unavailable.
    Open(Photo("astronaut.jpg"));
    Main->ZoomOut();
    Main->Undo();
    EXPECT_EQ(Main->ZoomRate(), 0.75);
    EXPECT_EQ(Main->FrmTools->PaletteState(), TPaletteState::ZoomTooSmall);
    Main->ActualPixels();
    EXPECT_EQ(Main->FrmTools->PaletteState(), TPaletteState::Ready);
}

TEST_F(MainWindowTest, TheHandReportsThePointerInPictureCoordinates)
{
    Open(Photo("storm.jpg"));
    Main->ZoomIn();
    Main->HorzScrollBar->setValue(0);
    Main->VertScrollBar->setValue(0);
    ASSERT_EQ(TFrmToolOption::PageCaption(Main->FrmToolOption->CurrentPage()), "Info");
    // Screen 40 at 1 / 0.75 is picture 30; screen 3 is picture 2.25, so 2.
    QMouseEvent move(QEvent::MouseMove, QPointF(40, 3), Main->PaintBox1->mapToGlobal(QPointF(40, 3)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Main->PaintBox1, &move);
    EXPECT_EQ(Main->FrmToolOption->findChild<QLabel*>("LabInfoX")->text(), "X: 30");
    EXPECT_EQ(Main->FrmToolOption->findChild<QLabel*>("LabInfoY")->text(), "Y: 2");
}

TEST_F(MainWindowTest, DeleteAndTheHandButtonMakeTheHandCurrent)
{
    Open(Photo("coffee.bmp"));
    // Released, not pressed, in the main window or in a panel.
    for (QWidget* target : {static_cast<QWidget*>(Main.get()), static_cast<QWidget*>(Main->FrmLayers)}) {
        Main->SetCurrentTool(TToolCode::None);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        EXPECT_EQ(Main->CurrentTool(), TToolCode::None);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &release);
        EXPECT_EQ(Main->CurrentTool(), TToolCode::Hand);
    }

    Main->SetCurrentTool(TToolCode::None);
    QTest::mouseClick(Main->FrmTools->ButtonOf(TToolCode::Hand), Qt::LeftButton);
    EXPECT_EQ(Main->CurrentTool(), TToolCode::Hand);
    EXPECT_EQ(TFrmToolOption::PageCaption(Main->FrmToolOption->CurrentPage()), "Info");
}

} // namespace
