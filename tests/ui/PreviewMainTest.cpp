#include "tests/ui/MainFixture.h"

#include "settings/EffectControls.h"
#include "settings/SettingsFile.h"
#include "tests/document/TestFolder.h"
#include "tests/picture/PicturePrinter.h"
#include "ui/FrmPreview.h"
#include "ui/PaintBox.h"
#include "ui/PreviewGeometry.h"

#include <QPushButton>

#include <cstring>

// The preview dialog on the main window's own document, options and option
// dialogs, as the cartoon command shows it.
TEST_F(MainWindowTest, APreviewClosedAt700By500IsRememberedInTheOptionsFile)
{
    ASSERT_TRUE(WriteSettingsFile(ProgramFile(DefaultSetName), DesignedSettings()));
    Open(Photo("coffee.jpg"));
    const TBitmap photo = Main->Document().SourceBitmap;
    // The preview the cartoon command shows, cancelled.
    WhenShown<TFrmPreview>([&](TFrmPreview& preview) {
        preview.resize(700, 500);
        Settle();
        EXPECT_EQ(+preview.Settings().Width, std::min(photo.Width(), preview.PreviewArea->DeviceSize().width()));
        preview.Btn_Cancel->click();
    });
    Item("MenuItem_Classic")->trigger();
    Settle();
    EXPECT_SAME_PICTURE(Main->Document().SourceBitmap, photo);
    Main->close();
    const std::string options = FileBytes(Folder.filePath("options.dat").toStdString());
    ASSERT_EQ(options.size(), 32u);
    std::int32_t width = 0, height = 0;
    std::memcpy(&width, options.data() + 24, 4);
    std::memcpy(&height, options.data() + 28, 4);
    EXPECT_EQ(width, 700);
    EXPECT_EQ(height, 500);
}

// The preview opens on the part of the picture the main view shows: its 1:1
// region centred on the centre of the view's visible part, held inside the
// picture (and kept so when the window grows).
TEST_F(MainWindowTest, ThePreviewOpensCentredOnWhatTheViewShows)
{
    ASSERT_TRUE(WriteSettingsFile(ProgramFile(DefaultSetName), DesignedSettings()));
    Open(Photo("storm.jpg"));
    const int w = Main->Document().ViewBitmap.Width(), h = Main->Document().ViewBitmap.Height();
    struct TCase {
        const char* What;
        bool AtTheEnd; // scrolled as far as the bars go
        QPoint Scroll;
    };
    const TCase cases[] = {
        {"the middle", false, {600, 350}}, {"the far corner", true, {}}, {"the origin", false, {0, 0}}};
    for (const TCase& c : cases) {
        HorzScrollBar()->setValue(c.AtTheEnd ? HorzScrollBar()->maximum() : c.Scroll.x());
        VertScrollBar()->setValue(c.AtTheEnd ? VertScrollBar()->maximum() : c.Scroll.y());
        Settle();
        const TRect view = Main->View().ViewRect();
        const QPoint centre((view.Left + view.Right) / 2, (view.Top + view.Bottom) / 2);
        QSize area, grownArea;
        QPoint region, grownRegion;
        WhenShown<TFrmPreview>([&](TFrmPreview& preview) {
            area = preview.PreviewArea->DeviceSize();
            region = QPoint(preview.ScrollLeft(), preview.ScrollTop());
            // Larger than the main view: the centred region reaches past the
            // picture at its far corner.
            preview.resize(1100, 1000);
            Settle();
            grownArea = preview.PreviewArea->DeviceSize();
            grownRegion = QPoint(preview.ScrollLeft(), preview.ScrollTop());
            preview.Btn_Cancel->click();
        });
        Item("MenuItem_Classic")->trigger();
        Settle();
        ASSERT_TRUE(area.isValid()) << c.What;
        ASSERT_LT(area.width(), view.Right - view.Left);
        EXPECT_EQ(region, centre - QPoint(area.width() / 2, area.height() / 2)) << c.What;
        ASSERT_GT(grownArea.width(), view.Right - view.Left + 1);
        const QPoint grownExpected(CentredScroll(centre.x(), grownArea.width(), w),
                                   CentredScroll(centre.y(), grownArea.height(), h));
        EXPECT_EQ(grownRegion, grownExpected) << c.What;
        if (c.AtTheEnd) {
            EXPECT_EQ(grownRegion + QPoint(grownArea.width(), grownArea.height()), QPoint(w, h)) << c.What;
        }
    }
}
