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
    std::vector<TToggle> toggles;
    for (const char* name : {"History", "Layers", "Tools", "ToolOption"})
        toggles.push_back({Named<QAction>(main, QString("MenuItem_") + name),
                           Named<QToolButton>(main, QString("Tol_") + name),
                           Named<QWidget>(main, QString("Frm") + name)});
    return toggles;
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
    const QRect history = Window<TFrmHistory>()->frameGeometry();
    const QRect layers = Window<TFrmLayers>()->frameGeometry();
    const QRect option = Window<TFrmToolOption>()->frameGeometry();
    EXPECT_EQ(Window<TFrmTools>()->frameGeometry().left(), desktop.left());
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
    EXPECT_EQ(Main->History().Capacity(), THistory::InitialCapacity);
    Main->show();
    EXPECT_EQ(Main->History().Capacity(), 4);

    // Four opens in a history of three states: the first falls out.
    for (int i = 0; i < 4; ++i)
        Open(Photo("coffee.bmp"));
    EXPECT_EQ(Main->History().RowCount(), 3);
    EXPECT_EQ(Window<TFrmHistory>()->StateGrid->rowCount(), 3);

    QFile::remove(Folder.filePath("options.dat"));
    Main->close();
    EXPECT_EQ(QFileInfo(Folder.filePath("options.dat")).size(), 32);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
}

TEST_F(MainWindowTest, TheOptionsCommandShowsTheOptionsDialog)
{
    bool shown = false;
    QTimer::singleShot(0, Window<TFrmOptions>(), [&] {
        shown = Window<TFrmOptions>()->isVisible();
        Window<TFrmOptions>()->reject();
    });
    Item("MenuItem_Options")->trigger();
    EXPECT_TRUE(shown);
}

TEST_F(MainWindowTest, TheHistoryPanelListsTheStatesAndRestoresAChosenOne)
{
    Open(Photo("coffee.bmp"));
    Open(Photo("astronaut.jpg"));
    Open(Photo("storm.jpg"));
    QTableWidget* grid = Window<TFrmHistory>()->StateGrid;
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(2, 0)->text(), "Open");
    EXPECT_EQ(grid->item(2, 1)->toolTip(), Photo("storm.jpg"));
    EXPECT_TRUE(grid->item(2, 1)->text().startsWith("storm.jpg"));
    EXPECT_EQ(grid->currentRow(), 2);

    Main->Undo();
    EXPECT_EQ(grid->currentRow(), 1);

    emit Window<TFrmHistory>()->RowChosen(1);
    Settle();
    EXPECT_EQ(StatusPanel(0)->text(), "600 x 400");
    EXPECT_EQ(grid->currentRow(), 0);
    EXPECT_FALSE(Item("MenuItem_Undo")->isEnabled());
    EXPECT_TRUE(Item("MenuItem_Redo")->isEnabled());

    // A new open after going back drops the states Redo would have reached.
    Open(Photo("astronaut.jpg"));
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_FALSE(Item("MenuItem_Redo")->isEnabled());
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
}

TEST_F(MainWindowTest, TheLayersPanelShowsTheOpenedStateAndItsChangesShowAtOnce)
{
    // A state the open replaces: hidden layers and the opacity mix.
    Window<TFrmLayers>()->LayerState() = TLayerState{false, false, true, false, BlendOpacity, 30};
    Window<TFrmLayers>()->ShowLayerState();
    Open(Photo("coffee.bmp"));
    EXPECT_EQ(Window<TFrmLayers>()->CmbBlendingMode->currentIndex(), BlendMultiply);
    EXPECT_TRUE(Window<TFrmLayers>()->Chk_SketchVisible->isChecked());
    EXPECT_TRUE(Window<TFrmLayers>()->Chk_ColorVisible->isChecked());
    EXPECT_FALSE(Window<TFrmLayers>()->Chk_ColorDrawable->isChecked());

    // Opacity 30 over a white sketch layer: (70 c + 30 x 255) / 100.
    Window<TFrmLayers>()->CmbBlendingMode->setCurrentIndex(BlendOpacity);
    const std::uint8_t* photo = Main->Document().SourceBitmap.ScanLine(7) + 5 * 3;
    const auto mix = [](int c) { return (70 * c + 30 * 255) / 100; };
    EXPECT_EQ(PaintBox()->Screen().pixel(5, 7), qRgb(mix(photo[2]), mix(photo[1]), mix(photo[0])));
    // Not a history step of its own.
    EXPECT_EQ(Main->History().RowCount(), 1);
}

TEST_F(MainWindowTest, TheDrawingToolsFollowTheZoom)
{
    EXPECT_EQ(Window<TFrmTools>()->PaletteState(), TPaletteState::NoPicture);
    Open(Photo("coffee.bmp"));
    EXPECT_EQ(Window<TFrmTools>()->PaletteState(), TPaletteState::Ready);
    EXPECT_EQ(Window<TFrmTools>()->CurrentTool(), TToolCode::Hand);
    Main->ZoomOut();
    EXPECT_EQ(Window<TFrmTools>()->PaletteState(), TPaletteState::ZoomTooSmall);
    Main->ZoomIn();
    EXPECT_EQ(Window<TFrmTools>()->PaletteState(), TPaletteState::Ready);
    Main->ZoomIn();
    Main->ZoomOut();
    EXPECT_EQ(Window<TFrmTools>()->PaletteState(), TPaletteState::Ready);

    // An undo at 75 % keeps the zoom, and the tools stay unavailable.
    Open(Photo("astronaut.jpg"));
    Main->ZoomOut();
    Main->Undo();
    EXPECT_EQ(Main->View().ZoomRate(), 0.75);
    EXPECT_EQ(Window<TFrmTools>()->PaletteState(), TPaletteState::ZoomTooSmall);
    Main->ActualPixels();
    EXPECT_EQ(Window<TFrmTools>()->PaletteState(), TPaletteState::Ready);
}

TEST_F(MainWindowTest, TheHandReportsThePointerInPictureCoordinates)
{
    Open(Photo("storm.jpg"));
    Main->ZoomIn();
    HorzScrollBar()->setValue(0);
    VertScrollBar()->setValue(0);
    ASSERT_EQ(TFrmToolOption::PageCaption(Window<TFrmToolOption>()->CurrentPage()), "Info");
    // Screen 40 at 1 / 0.75 is picture 30; screen 3 is picture 2.25, so 2.
    QMouseEvent move(QEvent::MouseMove, QPointF(40, 3), PaintBox()->mapToGlobal(QPointF(40, 3)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(PaintBox(), &move);
    EXPECT_EQ(Window<TFrmToolOption>()->findChild<QLabel*>("LabInfoX")->text(), "X: 30");
    EXPECT_EQ(Window<TFrmToolOption>()->findChild<QLabel*>("LabInfoY")->text(), "Y: 2");
}

TEST_F(MainWindowTest, DeleteAndTheHandButtonMakeTheHandCurrent)
{
    Open(Photo("coffee.bmp"));
    // Released, not pressed, in the main window or in a panel.
    for (QWidget* target : {static_cast<QWidget*>(Main.get()), static_cast<QWidget*>(Window<TFrmLayers>())}) {
        Main->SetCurrentTool(TToolCode::None);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        EXPECT_EQ(Main->CurrentTool(), TToolCode::None);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &release);
        EXPECT_EQ(Main->CurrentTool(), TToolCode::Hand);
    }

    Main->SetCurrentTool(TToolCode::None);
    QTest::mouseClick(Window<TFrmTools>()->ButtonOf(TToolCode::Hand), Qt::LeftButton);
    EXPECT_EQ(Main->CurrentTool(), TToolCode::Hand);
    EXPECT_EQ(TFrmToolOption::PageCaption(Window<TFrmToolOption>()->CurrentPage()), "Info");
}

} // namespace
