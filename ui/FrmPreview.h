#pragma once

#include "engine/EffectSettings.h"
#include "picture/Bitmap.h"
#include "settings/Resample.h"
#include "ui/PresetFiles.h"

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QSlider;
class QStatusBar;
class QTabWidget;
class TDocument;
class TDrawEffect;
class TFrmColorMoreOption;
class TFrmSketchMoreOption;
class TPaintBox;
class TSpinEdit;
class TTrackSpin;
struct TProgramOptions;

// The dialog in which the user tunes the effect before it is applied to the
// whole picture. It shows, at actual pixel size, the part of the working
// picture that fits into its preview area with the effect computed for just
// that part, and recomputes it on every handled change of a setting. Its
// Image Size tab reduces the working picture first; Load and Save read and
// write preset files; the two "More >>" dialogs edit the same record.
//
// Created for one run of the cartoon command: the constructor places the
// window from the options and loads "default.set"; showing it backs the
// document's SourceBitmap up into SketchWork and replaces it by a copy of the
// ViewBitmap; closing it other than with OK restores it. After OK, Confirmed
// is true, "last.set" is written, and Settings holds the record of the last
// preview (its region is the preview's; the caller widens it).
//
// Split by aspect: Preview.cpp builds the window and runs the settings and
// the buttons, PreviewArea.cpp the preview area and its scrolling,
// PreviewImageSize.cpp the Image Size tab.
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
    // Refreshes the record from the controls and writes it; false when the
    // file could not be written (nothing is shown).
    bool SaveSettingsFile(const QString& path);
    // Recomputes and draws the preview of the visible region; nothing while
    // the dialog is not on screen.
    void RenderPreview();

    bool Confirmed() const { return ConfirmedFlag; }
    const TEffectSettings& Settings() const { return Record; }

    // The pair of a preview control by its field name ("Detail", ... as in
    // EffectControls).
    TTrackSpin* Pair(const char* name) const;
    // What the preview area shows (device pixels, one per picture pixel).
    const QImage& AreaImage() const;
    int ScrollLeft() const;
    int ScrollTop() const;

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
    void SetupPreviewScroll();
    void DrawUnprocessed();
    void DrawPreviewBitmap();
    void ShowPicture(const TBitmap& picture, int left, int top);
    void PaintBoxResized();
    void PointerPressed(QPoint position);
    void PointerMoved(QPoint position, Qt::MouseButtons buttons);

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
    std::unique_ptr<TDrawEffect> PreviewEffect;
    TBitmap PreviewBitmap;
    // The view picture as the dialog was shown: every size the Image Size tab
    // applies is reduced from it.
    TResampleSource ResampleSource;
    std::array<TTrackSpin*, 13> Pairs{};

    bool ConfirmedFlag = false;
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
};
