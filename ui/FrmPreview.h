#pragma once

#include "engine/EffectSettings.h"
#include "engine/Region.h"
#include "picture/Bitmap.h"
#include "settings/Resample.h"
#include "ui/PresetFiles.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QSlider;
class QStatusBar;
class QTabWidget;
class QToolButton;
class TDocument;
class TFrmColorMoreOption;
class TFrmSketchMoreOption;
class TPaintBox;
class TPreviewRenderer;
class TSpinEdit;
class TTrackSpin;
struct TPreviewFrame;
struct TProgramOptions;

// The dialog in which the user tunes the effect before it is applied to the
// whole picture. At 1:1 it shows, at actual pixel size, the part of the
// working picture that fits into its preview area, with exactly the pixels
// the effect gives there on the whole picture; Fit shows the whole picture
// reduced into the area, computed on a reduced copy (an approximation, and
// marked so). Every handled change of a setting recomputes it away from the
// window's thread (TPreviewRenderer): a fast frame first, the exact one when
// it is ready, the newest settings always last. The Original button held
// down, or the right mouse button on the area, shows the photo instead; Split
// shows the photo left of a divider the user drags and the effect right of
// it. Its Image Size tab reduces the working picture first; Load and Save
// read and write preset files; the two "More >>" dialogs edit the same
// record.
//
// Created for one run of the cartoon command: the constructor places the
// window from the options and loads "default.set"; showing it backs the
// document's SourceBitmap up into SketchWork and replaces it by a copy of the
// ViewBitmap; closing it other than with OK restores it. After OK, Confirmed
// is true, "last.set" is written, and Settings holds the record of the last
// preview (its region is the preview's; the caller widens it).
//
// Split by aspect: Preview.cpp builds the window and runs the settings and
// the buttons, PreviewArea.cpp the computation of the frames and scrolling,
// PreviewView.cpp what the area shows (1:1 or Fit, the photo beside the
// effect), PreviewImageSize.cpp the Image Size tab.
class TFrmPreview : public QDialog {
    Q_OBJECT

public:
    static constexpr QSize DesignedSize{517, 438};
    static constexpr QSize MinimumSize{453, 400};
    static constexpr QSize MaximumSize{1600, 1200};

    TFrmPreview(TDocument& document, TProgramOptions& options, TFrmSketchMoreOption& sketchMore,
                TFrmColorMoreOption& colorMore, QWidget* parent = nullptr);
    ~TFrmPreview() override;

    // Reads up to a record's size of the file over the record and shows it
    // in the controls of the three dialogs; a missing file is not read, and
    // the record as it stands is shown.
    // Recomputes the preview when the dialog is on screen.
    void LoadSettingsFile(const QString& path);
    // Fits the settings the controls show to the picture the effect is
    // computed from (FitToPhoto) and shows the result in the controls of the
    // three dialogs and in the colours-table ruler, as loading a preset does.
    void FitSettingsToPicture();
    // Fits once the dialog is shown and holds its working picture: the
    // Shortcut: Auto command.
    void FitWhenShown() { FitOnShow = true; }
    // The 1:1 region opens centred on this pixel of the view picture (the
    // centre of what the main view shows), held inside the picture; without
    // it, at the picture's top-left corner.
    void OpenAround(QPoint viewCentre) { LookAt = viewCentre; }
    // Refreshes the record from the controls and writes it; false when the
    // file could not be written (nothing is shown).
    bool SaveSettingsFile(const QString& path);
    // Asks for the preview of what the area shows with the settings the
    // controls hold; the frames follow as they are computed. Nothing while
    // the dialog is not on screen.
    void RenderPreview();

    bool Confirmed() const { return ConfirmedFlag; }
    const TEffectSettings& Settings() const { return Record; }

    // The pair of a preview control by its field name ("Detail", ... as in
    // EffectControls).
    TTrackSpin* Pair(const char* name) const;
    // What the preview area shows (device pixels; at 1:1 one per picture
    // pixel).
    const QImage& AreaImage() const;
    int ScrollLeft() const;
    int ScrollTop() const;
    // The area shows the frame of the newest request; and that frame has the
    // whole picture's pixels.
    bool ShowsLatest() const { return ShownNumber == Requested; }
    bool ShowsExact() const { return ShowsLatest() && ShownExact; }
    bool InFitView() const;
    // The divider of the split view, in device pixels of the area.
    int SplitColumn() const;

    // Answered by tests in place of a person.
    TFileDialogFunction OpenDialog = RunOpenDialog;
    TFileDialogFunction SaveDialog = RunSaveDialog;
    TConfirmFunction Confirm = ConfirmBox;

    TPaintBox* PreviewArea = nullptr;
    QScrollBar* HorzScrollBar = nullptr;
    QScrollBar* VertScrollBar = nullptr;
    QPushButton* Btn_Ok = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    QPushButton* Btn_Load = nullptr;
    QPushButton* Btn_Save = nullptr;
    QPushButton* Btn_Fit = nullptr;
    QToolButton* Btn_ViewFit = nullptr;
    QToolButton* Btn_ViewActual = nullptr;
    QToolButton* Btn_ViewSplit = nullptr;
    QToolButton* Btn_Original = nullptr;
    QLabel* Lbl_ViewState = nullptr;
    QTabWidget* Tabs = nullptr;
    QWidget* TsImageSize = nullptr;
    QWidget* TsSketch = nullptr;
    QWidget* TsColor1 = nullptr;
    QWidget* TsColor2 = nullptr;
    QCheckBox* Chk_DrawSketch = nullptr;
    QCheckBox* Chk_DrawColor = nullptr;
    QPushButton* SketchMore = nullptr;
    QPushButton* ColorMore = nullptr;
    QLabel* Lbl_Original = nullptr;
    TSpinEdit* Spn_Width = nullptr;
    TSpinEdit* Spn_Height = nullptr;
    QSlider* Trc_ImageSize = nullptr;
    QStatusBar* StatusBar = nullptr;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Preview.cpp
    void CreateControls();
    QWidget* CreateSketchTab();
    QWidget* CreateColorTab1();
    QWidget* CreateColorTab2();
    QWidget* CreateImageSizeTab();
    void PlaceWindow();
    void TakeControls(TEffectSettings& settings) const;
    void UpdateSketchEnabling();
    void UpdateColorEnabling();
    void BtnOkClick();
    void BtnLoadClick();
    void BtnSaveClick();
    // Shows the record in the controls of the three dialogs, starting nothing.
    void ShowRecord();

    // PreviewArea.cpp
    // A renderer for the working picture as it now stands.
    void StartRenderer();
    void FrameArrived(int run, const std::shared_ptr<TPreviewFrame>& frame);
    void SetupPreviewScroll();
    void DrawUnprocessed();
    void PaintBoxResized();
    void PointerPressed(QPoint position, Qt::MouseButton button);
    void PointerMoved(QPoint position, Qt::MouseButtons buttons);
    void PointerReleased(QPoint position, Qt::MouseButton button);

    // PreviewView.cpp
    QWidget* CreateViewBar();
    void SetFitView(bool fit);
    // Draws the area from the shown frame, the photo and the view's state.
    void ShowArea();
    void ShowViewState();
    bool NearDivider(QPoint position) const;
    void ShowAreaCursor(QPoint position);
    // Copies picture pixels from (left, top) to `at` in the area, only into
    // the area's columns [x0, x1).
    void DrawPicture(const TBitmap& picture, int left, int top, QPoint at, int x0, int x1);

    // PreviewImageSize.cpp
    void ShowFullSize();
    void Spn_WidthChange(const QString& text);
    void Spn_HeightChange(const QString& text);
    void Trc_ImageSizeChange(int position);
    // The slider follows a typed size, not its own moves.
    void ApplyImageSize(int width, int height, bool moveSlider);

    TDocument& Document;
    TProgramOptions& Options;
    TFrmSketchMoreOption& FrmSketchMore;
    TFrmColorMoreOption& FrmColorMore;

    TEffectSettings Record{};
    std::unique_ptr<TPreviewRenderer> Renderer;
    // Each renderer's frames carry its run, so that none of an earlier one
    // is shown.
    int RendererRun = 0;
    std::uint64_t Requested = 0;
    // The frame shown: its request, its effect pixels, where they lie, and
    // in the fit view the reduced photo.
    std::uint64_t ShownNumber = 0;
    TBitmap PreviewBitmap;
    TRegion ShownRegion;
    bool ShownExact = false;
    bool ShownFit = false;
    std::shared_ptr<const TBitmap> ShownReduced;
    // The view picture as the dialog was shown: every size the Image Size tab
    // applies, and every fit view, is reduced from it.
    std::shared_ptr<const TResampleSource> ResampleSource;
    std::array<TTrackSpin*, 13> Pairs{};

    bool ConfirmedFlag = false;
    // From showing to closing.
    bool Live = false;
    bool FitOnShow = false;
    bool Closing = false;
    // Set while the dialog is being shown: the picture replaced then is
    // previewed once at the end.
    bool Showing = false;
    int FullWidth = 0;
    int FullHeight = 0;
    int AppliedWidth = 0;
    int AppliedHeight = 0;
    // Set while the dialog itself moves an image size control.
    bool SettingSize = false;
    int GrabX = 0;
    int GrabY = 0;
    // The picture pixel the 1:1 region is centred on, once the main view or
    // the user chose one; it stays centred when the area changes size.
    std::optional<QPoint> LookAt;
    bool FitView = false;
    bool Split = false;
    // The divider's place as a share of the area's width.
    double SplitAt = 0.5;
    bool DraggingDivider = false;
    // A left-button drag that scrolls the 1:1 view: the photo follows it.
    bool Dragging = false;
    QPoint PressedAt;
    QPoint PressedScroll;
    bool OriginalHeld = false;
    bool RightHeld = false;
};
