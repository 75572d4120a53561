#pragma once

#include "ui/PanelWindow.h"

#include <QColor>

class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QSpinBox;
class QStackedWidget;
class QToolButton;
class TTrackSpin;

// The controls of a page for a placed object: a framed box, a text or a
// balloon. The text page has no border width (nullptr).
struct TObjectControls {
    QSpinBox* BorderWidth = nullptr;
    QComboBox* FontName = nullptr;
    QSpinBox* FontSize = nullptr;
    QToolButton* Bold = nullptr;
    QToolButton* Italic = nullptr;
    QToolButton* Underline = nullptr;
    QToolButton* Cancel = nullptr;
    QToolButton* Commit = nullptr;
    QPlainTextEdit* Text = nullptr;
};

// The tool option panel: one page of settings per tool, of which only the
// current tool's is shown, and the readings of the pointer position and the
// colour under the dropper. The tools read the controls whenever they paint;
// a change of a setting that shows in a tool's outline or pending object
// asks for a tool preview refresh. The settings start from the same values
// at every run.
class TFrmToolOption : public TPanelWindow {
    Q_OBJECT

public:
    explicit TFrmToolOption(QWidget* owner = nullptr);

    // Shows the page of a tool code: "Info" for none (0) and the hand (41),
    // one page for the three balloons (28 to 30), no page for a code without
    // one.
    void ShowPage(int toolCode);
    // The page shown; nullptr when there is none.
    QWidget* CurrentPage() const;
    // The caption of a page ("Pencil"); empty for nullptr.
    static QString PageCaption(const QWidget* page);

    // The pointer position in picture coordinates on the "Info" page.
    void SetPointerInfo(int x, int y);
    // The dropper's last reading on the "Color Dropper" page.
    void SetDropperReading(int x, int y, QColor color);

    QStackedWidget* Pages = nullptr;
    QWidget* TsNormal = nullptr;
    QWidget* TsPencil = nullptr;
    QWidget* TsBrush = nullptr;
    QWidget* TsEraser = nullptr;
    QWidget* TsPaintBucket = nullptr;
    QWidget* TsLightenTool = nullptr;
    QWidget* TsDarkenTool = nullptr;
    QWidget* TsRectangle = nullptr;
    QWidget* TsEllipse = nullptr;
    QWidget* TsText = nullptr;
    QWidget* TsBalloonA = nullptr;
    QWidget* TsDropper = nullptr;

    // Track bar and spin edit pairs; their controls are named after them
    // (TrcPencilSize and SpnPencilSize for PencilSize).
    TTrackSpin* PencilSize = nullptr;
    TTrackSpin* BrushSize = nullptr;
    TTrackSpin* BrushContent = nullptr;
    TTrackSpin* BrushOpacity = nullptr;
    TTrackSpin* EraserSize = nullptr;
    TTrackSpin* Tolerance = nullptr;
    TTrackSpin* LightenSize = nullptr;
    TTrackSpin* LightenContrast = nullptr;
    TTrackSpin* DarkenSize = nullptr;
    TTrackSpin* DarkenContrast = nullptr;

    TObjectControls RectControls;
    TObjectControls EllipseControls;
    TObjectControls TextControls;
    TObjectControls BalloonControls;

    QLabel* LabInfoX = nullptr;
    QLabel* LabInfoY = nullptr;
    QLabel* LabDropperX = nullptr;
    QLabel* LabDropperY = nullptr;
    QLabel* LabDropperR = nullptr;
    QLabel* LabDropperG = nullptr;
    QLabel* LabDropperB = nullptr;
    QFrame* ShpColor = nullptr;

signals:
    void ToolPreviewRefreshRequested();
    // The commit and cancel buttons of the object pages: they act on
    // whatever object tool is current.
    void CommitRequested();
    void CancelRequested();

private:
    QWidget* AddPage(const char* name, const QString& caption);
    TTrackSpin* AddPair(QWidget* page, const QString& name, const QString& caption, int minimum, int maximum,
                        int value);
    TObjectControls AddObjectControls(QWidget* page, const QString& prefix, bool withBorder);
    void BuildStrokePages();
    void BuildObjectPages();
    void BuildReadingPages();

    QWidget* NoPage = nullptr;
    QStringList FontFamilies;
    QString PanelFontFamily;
};
