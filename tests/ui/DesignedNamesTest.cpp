// The windows' members have plain C++ names, but every control keeps the
// object name of its design: tests and stored layouts find controls by it.
#include "tests/ui/PreviewFixture.h"

#include "document/History.h"
#include "document/LayerState.h"
#include "ui/ColorScaleRuler.h"
#include "ui/FrmBrightContrast.h"
#include "ui/FrmHistory.h"
#include "ui/FrmLayers.h"
#include "ui/FrmOptions.h"
#include "ui/FrmProcess.h"
#include "ui/PaintBox.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>

namespace {

using DesignedNames = PreviewFixture;

TEST_F(DesignedNames, RenamedMembersKeepTheirObjectNames)
{
    Pictures(40, 30);
    TFrmPreview& preview = Make();
    TFrmProcess process;
    TFrmOptions options;
    THistory history{Folder.File("history")};
    TFrmHistory historyPanel(history);
    TLayerState layerState;
    TFrmLayers layers(layerState);
    TFrmBrightContrast adjustment(Doc, {});
    struct TCase {
        const QWidget* Window;
        const char* Name;
        const QObject* Member;
    };
    const TCase cases[] = {
        {&preview, "PaintBox1", preview.PreviewArea},
        {&preview, "Btn_Cancle", preview.Btn_Cancel},
        {&preview, "PageControl1", preview.Tabs},
        {&preview, "StatusBar1", preview.StatusBar},
        {&ColorMore, "PaintBox1", ColorMore.Ruler},
        {&ColorMore, "Label1", ColorMore.Lab_Boundary},
        {&ColorMore, "SpinEdit1", ColorMore.Spn_Boundary},
        {&SketchMore, "Label3", SketchMore.Lab_Threshold},
        {&SketchMore, "Label4", SketchMore.Lab_Darkness},
        {&process, "Label1", process.Lab_Total},
        {&process, "ProgressBar1", process.StepBar},
        {&process, "ProgressBar2", process.TotalBar},
        {&process, "Button1", process.BtnCancel},
        {&options, "GroupBox1", options.GrpPreviewSize},
        {&options, "Label1", options.Lab_WinSize},
        {&options, "Label3", options.Lab_Width},
        {&options, "Label4", options.Lab_Height},
        {&options, "GroupBox2", options.GrpHistory},
        {&options, "Label5", options.Lab_History},
        {&historyPanel, "StringGrid1", historyPanel.StateGrid},
        {&historyPanel, "StatusBar1", historyPanel.StatusBar},
        {&layers, "Label1", layers.Lab_BlendingMode},
        {&layers, "Label6", layers.Lab_Opacity},
        {&layers, "Label2", layers.Lab_Drawable},
        {&layers, "Label3", layers.Lab_LayerName},
        {&layers, "Visible", layers.Lab_Visible},
        {&adjustment, "Bevel1", adjustment.Separator},
    };
    for (const TCase& c : cases) {
        ASSERT_NE(c.Member, nullptr) << c.Name;
        EXPECT_EQ(c.Member->objectName(), c.Name);
        EXPECT_EQ(c.Window->findChild<QObject*>(c.Name), c.Member)
            << c.Window->objectName().toStdString() << " finds " << c.Name << " elsewhere";
    }
}

} // namespace
