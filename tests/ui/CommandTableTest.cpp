// Which commands can be chosen, through the main window's real menus and
// tool bar: without a picture, with one, and while a placed object waits to
// be committed.
#include "tests/ui/MainFixture.h"

#include <QKeyEvent>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include <set>
#include <string>

namespace {

class CommandStates : public MainWindowTest {
protected:
    QMenu* Menu(const QString& title) const
    {
        for (QAction* entry : Main->menuBar()->actions())
            if (entry->menu() && entry->text() == title)
                return entry->menu();
        ADD_FAILURE() << "no menu " << title.toStdString();
        return nullptr;
    }

    // The File menu's own Recent Files entry.
    QAction* RecentFilesEntry() const
    {
        for (QAction* entry : Menu("File")->actions())
            if (entry->menu() && entry->menu()->objectName() == "MenuRecentFiles")
                return entry;
        ADD_FAILURE() << "no Recent Files entry in the File menu";
        return nullptr;
    }

    // A placed text waits for its commit, following the pointer.
    void StartText()
    {
        QTest::mouseClick(Named<QToolButton>(*Main, "BtnText"), Qt::LeftButton);
        SendMouse(*Main, QEvent::MouseMove, {60, 60}, Qt::NoButton, Qt::NoButton);
        ASSERT_EQ(Main->CurrentTool(), TToolCode::Text);
    }

    // The hand: choosing another tool commits the text.
    void CommitText() { QTest::mouseClick(Named<QToolButton>(*Main, "BtnGrabber"), Qt::LeftButton); }
};

TEST_F(CommandStates, EveryCommandIsAvailableByItsRuleInEachState)
{
    struct TRule {
        const char* Name;
        bool NoPicture;
        bool Picture;
        bool Pending;
    };
    // Nothing that opens a file, saves or changes the layers while an object
    // waits; the view, Copy, Undo and the windows go on.
    const TRule rules[] = {
        {"MenuItem_Open", true, true, false},
        {"MenuItem_SaveAs", false, true, false},
        {"MenuRecentFiles", true, true, false},
        {"MenuItem_Batch", true, true, true},
        {"MenuItem_Options", true, true, true},
        {"MenuItem_Exit", true, true, true},
        {"MenuItem_Undo", false, true, true},
        {"MenuItem_Redo", false, true, true},
        // No object has been committed here.
        {"MenuItem_EditLastObject", false, false, false},
        {"MenuItem_Copy", false, true, true},
        {"MenuItem_Classic", false, true, false},
        {"MenuItem_Cartoon", false, true, false},
        {"MenuItem_Sketch", false, true, false},
        {"MenuItem_Auto", false, true, false},
        {"MenuItem_Linedrawing", false, true, false},
        {"MenuItem_Canvas", false, true, false},
        {"MenuItem_BrightContrast", false, true, false},
        {"MenuItem_Saturation", false, true, false},
        {"MenuItem_ColorBalance", false, true, false},
        {"MenuItem_ZoomIn", false, true, true},
        {"MenuItem_ZoomOut", false, true, true},
        {"MenuItem_ActualPixels", false, true, true},
        {"MenuItem_FitWindow", false, true, true},
        {"MenuItem_History", true, true, true},
        {"MenuItem_Layers", true, true, true},
        {"MenuItem_Tools", true, true, true},
        {"MenuItem_ToolOption", true, true, true},
        {"Content1", true, true, true},
        {"About1", true, true, true},
    };

    // Every entry of the menus has a rule here, so that a new command cannot
    // come without one.
    std::set<std::string> listed;
    for (const TRule& rule : rules)
        listed.insert(rule.Name);
    int entries = 0;
    for (QAction* menu : Main->menuBar()->actions())
        for (QAction* entry : menu->menu()->actions()) {
            if (entry->isSeparator())
                continue;
            const QString name = entry->menu() ? entry->menu()->objectName() : entry->objectName();
            EXPECT_TRUE(listed.count(name.toStdString())) << name.toStdString() << " has no rule";
            ++entries;
        }
    EXPECT_EQ(entries, int(std::size(rules)));

    const auto check = [&](const char* state, bool TRule::*enabled) {
        SCOPED_TRACE(state);
        const QToolBar* bar = Named<QToolBar>(*Main, "ToolBar1");
        for (const TRule& rule : rules) {
            const QAction* item = rule.Name == std::string("MenuRecentFiles") ? RecentFilesEntry() : Item(rule.Name);
            EXPECT_EQ(item->isEnabled(), rule.*enabled) << rule.Name;
            // A tool bar button stands for its menu item.
            if (const QWidget* button = bar->widgetForAction(const_cast<QAction*>(item))) {
                EXPECT_EQ(button->isEnabled(), rule.*enabled) << button->objectName().toStdString();
            }
        }
    };

    // A file left in the Recent Files menu by an earlier run.
    Open(Photo("coffee.bmp"));
    Main->close();
    StartAgain();
    ASSERT_FALSE(Main->Document().PictureOpened);
    check("no picture", &TRule::NoPicture);

    // A history state to go back to and one to go forward to.
    for (const char* photo : {"coffee.bmp", "astronaut.jpg", "storm.jpg"})
        Open(Photo(photo));
    Main->Undo();
    ASSERT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    check("picture", &TRule::Picture);

    StartText();
    check("object pending", &TRule::Pending);
    // Delete drops the object; the history is as it was, Redo included.
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(Main.get(), &release);
    ASSERT_EQ(Main->CurrentTool(), TToolCode::Hand);
    check("object dropped", &TRule::Picture);
}

TEST_F(CommandStates, ARecentFileCannotOpenOverAnObjectBeingPlaced)
{
    Open(Photo("astronaut.jpg"));
    Open(Photo("coffee.bmp"));
    QAction* entry = RecentFilesEntry();
    ASSERT_NE(entry, nullptr);
    QMenu* recent = entry->menu();
    ASSERT_EQ(recent->actions().size(), 2);
    QAction* astronaut = recent->actions().last();
    ASSERT_EQ(astronaut->text(), "astronaut.jpg");

    // The user cannot reach the files through the File menu: its Recent
    // Files entry does not open.
    const auto submenuOpens = [&] {
        QMenu* file = Menu("File");
        file->popup(QPoint(10, 10));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(file));
        file->setActiveAction(entry);
        QTest::keyClick(file, Qt::Key_Right);
        // The key opens a submenu at once, or not at all.
        const bool opened = recent->isVisible();
        recent->hide();
        file->hide();
        return opened;
    };
    ASSERT_TRUE(submenuOpens());

    StartText();
    const int rows = Main->History().RowCount();
    EXPECT_FALSE(entry->isEnabled());
    EXPECT_FALSE(submenuOpens());
    for (const QAction* item : recent->actions())
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    // Chosen all the same, a file opens nothing and the object waits on.
    astronaut->trigger();
    Settle();
    EXPECT_EQ(Main->DocumentFileName(), Photo("coffee.bmp").toStdString());
    EXPECT_EQ(Main->CurrentTool(), TToolCode::Text);
    EXPECT_EQ(Main->History().RowCount(), rows);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();

    // Once the object is committed the files open again.
    CommitText();
    EXPECT_TRUE(entry->isEnabled());
    for (const QAction* item : recent->actions())
        EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
    EXPECT_TRUE(submenuOpens());
    astronaut->trigger();
    Settle();
    EXPECT_EQ(Main->DocumentFileName(), Photo("astronaut.jpg").toStdString());
}

} // namespace
