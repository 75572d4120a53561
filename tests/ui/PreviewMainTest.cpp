#include "tests/ui/MainFixture.h"

#include "settings/EffectControls.h"
#include "settings/SettingsFile.h"
#include "tests/document/TestFolder.h"
#include "tests/picture/PicturePrinter.h"
#include "ui/FrmPreview.h"
#include "ui/PaintBox.h"

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
