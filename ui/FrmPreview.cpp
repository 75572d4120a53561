#include "ui/FrmPreview.h"

#include "document/Document.h"
#include "settings/EffectControls.h"
#include "settings/FitToPhoto.h"
#include "settings/ProgramDir.h"
#include "settings/ProgramOptions.h"
#include "settings/SettingsFile.h"
#include "ui/BusyCursor.h"
#include "ui/FrmColorMoreOption.h"
#include "ui/FrmSketchMoreOption.h"
#include "ui/Message.h"
#include "ui/PaintBox.h"
#include "ui/PanelPlacement.h"
#include "ui/PreviewRenderer.h"
#include "ui/SpinEdit.h"
#include "ui/TrackSpin.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstring>
#include <string_view>

namespace {

// How each pair of the control table is shown. The first Sketch row sets
// Detail but reads "Darkness:", and the second the other way round: the
// captions are the ones users know.
struct TPairLook {
    const char* Caption;
    const char* LabelName;
};

constexpr std::array<TPairLook, PreviewPairCount> PairLooks = {{
    {"Darkness:", "Lab_Sketch2"},
    {"Detail:", "Lab_Sketch1"},
    {"Smooth:", "Lab_Sketch3"},
    {"Threshold:", "Label1"},
    {"Color Scale:", "Lab_Color1"},
    {"Smooth:", "Lab_Color2"},
    {"Border Blur:", "Lab_Color3"},
    {"Brightness:", "Lab_Color4"},
    {"Contrast", "Lab_Color5"},
    {"Saturation", "Lab_Color6"},
    {"Red", "Lab_Color7"},
    {"Green", "Lab_Color8"},
    {"Blue", "Lab_Color9"},
}};

// Positions in PreviewPairs.
constexpr int FirstSketchPair = 0, SketchPairs = 3, ThresholdPair = 3;
constexpr int FirstColorPair = 4, ColorPairs = 9, ColorScalePair = 4;

QPushButton* Button(const QString& caption, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Enter is the OK button's only where the dialog says so (eventFilter).
    button->setAutoDefault(false);
    return button;
}

QGridLayout* PairGrid(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    return grid;
}

} // namespace

TFrmPreview::TFrmPreview(TDocument& document, TProgramOptions& options, TFrmSketchMoreOption& sketchMore,
                         TFrmColorMoreOption& colorMore, QWidget* parent)
    : QDialog(parent)
    , Document(document)
    , Options(options)
    , FrmSketchMore(sketchMore)
    , FrmColorMore(colorMore)
{
    setObjectName("FrmPreview");
    setWindowTitle(tr("Lumen Quilla Preview"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    std::memset(&Record, 0, sizeof Record);

    CreateControls();
    PlaceWindow();

    FrmSketchMore.Attach(&Record);
    FrmColorMore.Attach(&Record, [this] { return Pairs[ColorScalePair]->Value(); });
    connect(&FrmSketchMore, &TFrmSketchMoreOption::RenderRequested, this, &TFrmPreview::RenderPreview);
    connect(&FrmColorMore, &TFrmColorMoreOption::RenderRequested, this, &TFrmPreview::RenderPreview);

    LoadSettingsFile(QString::fromStdString(ProgramFile(DefaultSetName)));
}

TFrmPreview::~TFrmPreview()
{
    // Its threads post their frames to this window: they end first.
    Renderer.reset();
    FrmSketchMore.Attach(nullptr);
    FrmColorMore.Attach(nullptr, {});
}

void TFrmPreview::CreateControls()
{
    PreviewArea = new TPaintBox(this);
    PreviewArea->setMinimumSize(120, 60);
    PreviewArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // The scroll position lives in two bars that are never shown: the user
    // scrolls by dragging the picture.
    HorzScrollBar = new QScrollBar(Qt::Horizontal, this);
    HorzScrollBar->setObjectName("HorzScrollBar");
    VertScrollBar = new QScrollBar(Qt::Vertical, this);
    VertScrollBar->setObjectName("VertScrollBar");
    for (QScrollBar* bar : {HorzScrollBar, VertScrollBar}) {
        bar->hide();
        bar->setRange(0, 0);
        bar->setEnabled(false);
    }

    Btn_Ok = Button(tr("&OK"), "Btn_Ok", this);
    Btn_Cancel = Button(tr("&Cancel"), "Btn_Cancle", this);
    Btn_Load = Button(tr("&Load"), "Btn_Load", this);
    Btn_Save = Button(tr("&Save"), "Btn_Save", this);
    Btn_Fit = Button(tr("&Fit to Photo"), "Btn_Fit", this);
    Btn_Fit->setToolTip(tr("Adapts these settings to this picture: where the colour bands lie, how strong an edge "
                           "must be to draw a line, how far the smoothing reaches"));

    for (int i = 0; i < PreviewPairCount; ++i) {
        const TEffectControl& c = PreviewPairs[i];
        auto* pair = new TTrackSpin(c.Min, c.Max, c.Designed, this, tr(PairLooks[i].Caption));
        pair->setObjectName(c.Name);
        pair->Trc()->setObjectName(QStringLiteral("Trc_") + c.Name);
        pair->Spn()->setObjectName(QStringLiteral("Spn_") + c.Name);
        pair->Caption()->setObjectName(PairLooks[i].LabelName);
        pair->Trc()->installEventFilter(this);
        connect(pair, &TTrackSpin::Changed, this, &TFrmPreview::RenderPreview);
        Pairs[i] = pair;
    }

    Tabs = new QTabWidget(this);
    Tabs->setObjectName("PageControl1");
    TsImageSize = CreateImageSizeTab();
    TsSketch = CreateSketchTab();
    TsColor1 = CreateColorTab1();
    TsColor2 = CreateColorTab2();
    Tabs->addTab(TsImageSize, tr("Image Size"));
    Tabs->addTab(TsSketch, tr("Sketch"));
    Tabs->addTab(TsColor1, tr("Coloring Step 1"));
    Tabs->addTab(TsColor2, tr("Coloring Step 2"));
    Tabs->setCurrentWidget(TsSketch);
    Tabs->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName("StatusBar1");
    auto* panel = new QLabel(StatusBar);
    panel->setFixedWidth(50);
    StatusBar->addWidget(panel);
    StatusBar->setSizeGripEnabled(true);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {Btn_Ok, Btn_Cancel, Btn_Load, Btn_Save})
        buttons->addWidget(b);
    buttons->addSpacing(8);
    buttons->addWidget(Btn_Fit);
    buttons->addStretch(1);

    // The view bar sits under the picture, beside the buttons, which are
    // taller than it: the window's least height does not grow.
    auto* picture = new QVBoxLayout;
    picture->setSpacing(2);
    picture->addWidget(PreviewArea, 1);
    picture->addWidget(CreateViewBar());
    auto* top = new QGridLayout;
    top->setContentsMargins(8, 4, 8, 0);
    top->addLayout(picture, 0, 0);
    top->addLayout(buttons, 0, 1);
    top->addWidget(Tabs, 1, 0, 1, 2);
    top->setRowStretch(0, 1);
    top->setColumnStretch(0, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(top, 1);
    layout->addWidget(StatusBar);

    for (QPushButton* b : {Btn_Ok, Btn_Cancel, Btn_Load})
        b->installEventFilter(this);
    connect(Btn_Ok, &QPushButton::clicked, this, &TFrmPreview::BtnOkClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Btn_Load, &QPushButton::clicked, this, &TFrmPreview::BtnLoadClick);
    connect(Btn_Save, &QPushButton::clicked, this, &TFrmPreview::BtnSaveClick);
    connect(Btn_Fit, &QPushButton::clicked, this, &TFrmPreview::FitSettingsToPicture);
    connect(Chk_DrawSketch, &QCheckBox::clicked, this, [this] {
        UpdateSketchEnabling();
        RenderPreview();
        ShowViewState();
    });
    connect(Chk_DrawColor, &QCheckBox::clicked, this, [this] {
        UpdateColorEnabling();
        RenderPreview();
        ShowViewState();
    });
    connect(SketchMore, &QPushButton::clicked, &FrmSketchMore, &QDialog::exec);
    connect(ColorMore, &QPushButton::clicked, &FrmColorMore, &QDialog::exec);
    connect(PreviewArea, &TPaintBox::Resized, this, &TFrmPreview::PaintBoxResized);
    connect(PreviewArea, &TPaintBox::PointerPressed, this,
            [this](QPoint p, Qt::MouseButton button) { PointerPressed(p, button); });
    connect(PreviewArea, &TPaintBox::PointerMoved, this, &TFrmPreview::PointerMoved);
    connect(PreviewArea, &TPaintBox::PointerReleased, this,
            [this](QPoint p, Qt::MouseButton button) { PointerReleased(p, button); });

    UpdateSketchEnabling();
    UpdateColorEnabling();
}

QWidget* TFrmPreview::CreateSketchTab()
{
    auto* page = new QWidget;
    page->setObjectName("TsSketch");
    Chk_DrawSketch = new QCheckBox(tr("Draw Sketch"), page);
    Chk_DrawSketch->setObjectName("Chk_DrawSketch");
    Chk_DrawSketch->setChecked(true);
    SketchMore = Button(tr("More >>"), "SketchMore", page);
    auto* grid = PairGrid(page);
    grid->addWidget(Chk_DrawSketch, 0, 0, 1, 2);
    grid->addWidget(SketchMore, 0, 2, Qt::AlignRight);
    for (int i = 0; i <= ThresholdPair; ++i) {
        Pairs[i]->AddToGrid(grid, i + 1);
    }
    grid->setRowStretch(ThresholdPair + 2, 1);
    return page;
}

QWidget* TFrmPreview::CreateColorTab1()
{
    auto* page = new QWidget;
    page->setObjectName("TsColor1");
    Chk_DrawColor = new QCheckBox(tr("Draw Color"), page);
    Chk_DrawColor->setObjectName("Chk_DrawColor");
    Chk_DrawColor->setChecked(false);
    ColorMore = Button(tr("More >>"), "ColorMore", page);
    auto* grid = PairGrid(page);
    grid->addWidget(Chk_DrawColor, 0, 0, 1, 2);
    grid->addWidget(ColorMore, 0, 2, Qt::AlignRight);
    for (int i = FirstColorPair; i < FirstColorPair + 3; ++i) {
        Pairs[i]->AddToGrid(grid, i - FirstColorPair + 1);
    }
    grid->setRowStretch(4, 1);
    return page;
}

QWidget* TFrmPreview::CreateColorTab2()
{
    auto* page = new QWidget;
    page->setObjectName("TsColor2");
    auto* grid = PairGrid(page);
    // Six rows in two columns of three keep the tab as low as the others.
    for (int i = FirstColorPair + 3; i < PreviewPairCount; ++i) {
        const int k = i - (FirstColorPair + 3);
        Pairs[i]->AddToGrid(grid, k % 3, k / 3 * 3);
    }
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(3, 1);
    return page;
}

void TFrmPreview::PlaceWindow()
{
    setMinimumSize(MinimumSize);
    setMaximumSize(MaximumSize);
    const QScreen* screen =
        parentWidget() && parentWidget()->screen() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // The frame the window system draws around it: its own once it is on the
    // screen, before that the main window's (a dialog's is no larger).
    QMargins frame;
    const QWidget* framed = isVisible() ? this : parentWidget() ? parentWidget()->window() : nullptr;
    if (framed && framed->isVisible()) {
        const QRect outer = framed->frameGeometry(), inner = framed->geometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    }
    const QRect place = PreviewPlace(Options, work, {DesignedSize, MinimumSize, MaximumSize}, frame);
    resize(place.size());
    move(place.topLeft());
}

TTrackSpin* TFrmPreview::Pair(const char* name) const
{
    for (int i = 0; i < PreviewPairCount; ++i)
        if (std::string_view(PreviewPairs[i].Name) == name)
            return Pairs[i];
    return nullptr;
}

void TFrmPreview::TakeControls(TEffectSettings& s) const
{
    for (int i = 0; i < PreviewPairCount; ++i)
        if (!PreviewPairs[i].StoresWhiteLevel)
            SetControlValue(s, PreviewPairs[i], Pairs[i]->Value());
    FrmSketchMore.TakeSettings(s);
    FrmColorMore.TakeSettings(s);
    s.DrawSketch = Chk_DrawSketch->isChecked() ? 1 : 0;
    s.DrawColor = Chk_DrawColor->isChecked() ? 1 : 0;
    s.ScanFromOrigin = 1;
}

void TFrmPreview::LoadSettingsFile(const QString& path)
{
    // A missing file is not read, but the record is still shown: before
    // "default.set" that is the all-zero record, later the same settings again.
    // A file that is no preset (empty, too long) is not read either, and the
    // user is told why rather than left wondering why nothing changed.
    std::string problem;
    ReadSettingsFile(path.toStdString(), Record, &problem);
    if (!problem.empty())
        ShowMessage(this, QString::fromStdString(problem));
    ShowRecord();
    RenderPreview();
}

void TFrmPreview::FitSettingsToPicture()
{
    TBusyCursor busy;
    TakeControls(Record);
    // Before the dialog is shown its working picture is still the view's.
    const TBitmap& picture = Live ? Document.SourceBitmap : Document.ViewBitmap;
    Record = FitToPhoto(Record, picture);
    ShowRecord();
    RenderPreview();
}

void TFrmPreview::ShowRecord()
{
    // Values set here start nothing; the caller computes the preview once.
    for (int i = 0; i < PreviewPairCount; ++i)
        if (!PreviewPairs[i].StoresWhiteLevel)
            Pairs[i]->SetValueSilently(ControlValue(Record, PreviewPairs[i]));
    Chk_DrawSketch->setChecked(Record.DrawSketch != 0);
    Chk_DrawColor->setChecked(Record.DrawColor != 0);
    FrmSketchMore.ApplySettings(Record);
    FrmColorMore.ApplySettings(Record);
    // The colours table may hold another row now.
    FrmColorMore.TableChanged();
    UpdateSketchEnabling();
    UpdateColorEnabling();
}

bool TFrmPreview::SaveSettingsFile(const QString& path)
{
    TakeControls(Record);
    return WriteSettingsFile(path.toStdString(), Record);
}

void TFrmPreview::UpdateSketchEnabling()
{
    const bool on = Chk_DrawSketch->isChecked();
    for (int i = FirstSketchPair; i < FirstSketchPair + SketchPairs; ++i)
        Pairs[i]->SetEnabled(on);
}

void TFrmPreview::UpdateColorEnabling()
{
    const bool on = Chk_DrawColor->isChecked();
    for (int i = FirstColorPair; i < FirstColorPair + ColorPairs; ++i)
        Pairs[i]->SetEnabled(on);
    ColorMore->setEnabled(on);
}

bool TFrmPreview::eventFilter(QObject* watched, QEvent* event)
{
    // Enter on OK, Load or a track bar confirms the dialog. On the Cancel
    // button it cancels: a focused button does what it says, and running
    // the effect on the whole picture is not what a user pressing Enter on
    // "Cancel" asks for.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == Btn_Cancel)
                reject();
            else
                BtnOkClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmPreview::BtnOkClick()
{
    SaveSettingsFile(QString::fromStdString(UserPresetFile(LastSetName)));
    ConfirmedFlag = true;
    accept();
}

void TFrmPreview::BtnLoadClick()
{
    const std::optional<QString> path = AskPresetFile(OpenDialog, this, SettingsFileKind(), tr("Open"));
    if (!path)
        return;
    if (!QFileInfo(*path).isReadable())
        ShowMessage(this, QDir::toNativeSeparators(*path) + tr(" could not be read."));
    else
        LoadSettingsFile(*path);
}

void TFrmPreview::BtnSaveClick()
{
    const std::optional<QString> path = AskPresetFile(SaveDialog, this, SettingsFileKind(), tr("Save As"));
    // A preset that was not written must not look saved.
    if (path && MayWritePreset(Confirm, this, SettingsFileKind(), *path) && !SaveSettingsFile(*path))
        ShowMessage(this, QDir::toNativeSeparators(*path) + tr(" could not be written."));
}
