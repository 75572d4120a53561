#pragma once

#include "tools/ToolCodes.h"
#include "tools/ToolSettings.h"
#include "ui/PanelWindow.h"

#include <QColor>
#include <QSet>

#include <array>
#include <cstddef>
#include <map>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QSpinBox;
class QStackedWidget;
class QToolButton;
class TTrackSpin;

// The tool option panel: one page of settings per tool, of which only the
// current tool's is shown, and the readings of the pointer position and the
// colour under the dropper. The numeric settings are built from their tables
// (tools/ToolSettings.h), and the tools read the panel through the settings
// values it hands back, whenever they paint. A change of a setting that shows
// in a tool's outline or pending object asks for a tool preview refresh. The
// settings start from the same values at every run.
class TFrmToolOption : public TPanelWindow {
    Q_OBJECT

public:
    explicit TFrmToolOption(QWidget* owner = nullptr);

    // Shows the page of a tool code: "Info" for none and the hand, one page
    // for the three balloons, no page for a code without one.
    void ShowPage(TToolCode code);
    // The page shown; nullptr when there is none.
    QWidget* CurrentPage() const;
    // The caption of a page ("Pencil"); empty for nullptr.
    static QString PageCaption(const QWidget* page);

    // What the stroke tools and the bucket paint with: the track bar
    // positions, whatever a spin edit shows beyond its track bar's end.
    TToolSettings Settings() const;
    // The object page of a placed-object tool as it stands; the start values
    // for a code without one.
    TObjectSettings ObjectSettings(TToolCode code) const;
    // Shows settings on the object page of a tool, without asking for a
    // refresh.
    void SetObjectSettings(TToolCode code, const TObjectSettings& settings);
    // Says on the object pages whether the pending object's text is cut.
    void SetTextCut(bool cut);
    // A new object is started with a tool: the options a tool changed for
    // its last object (Fit to text, off once a body is sized by hand) are
    // back at their start values; those the user set stay.
    void StartObject(TToolCode code);

    // The pointer position in picture coordinates on the "Info" page.
    void SetPointerInfo(int x, int y);
    // The dropper's last reading on the "Color Dropper" page.
    void SetDropperReading(int x, int y, QColor color);

signals:
    void ToolPreviewRefreshRequested();
    // The commit and cancel buttons of the object pages: they act on
    // whatever object tool is current.
    void CommitRequested();
    void CancelRequested();

private:
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
        // One per row of ObjectOptionTable and ObjectChoiceTable; nullptr
        // for those the page does not show.
        std::array<QCheckBox*, ObjectOptionTable.size()> Options{};
        std::array<QComboBox*, ObjectChoiceTable.size()> Choices{};
        QLabel* TextCut = nullptr;
    };

    QWidget* AddPage(const char* name, const QString& caption);
    void BuildInfoPage(QWidget* page);
    void BuildDropperPage(QWidget* page);
    void AddPair(QWidget* page, std::size_t row);
    TObjectControls AddObjectControls(QWidget* page, TOptionPage kind, const QString& prefix, bool withBorder);
    void AddLetteringControls(QWidget* page, TOptionPage kind, const QString& prefix, TObjectControls& c);

    QStackedWidget* Pages = nullptr;
    QWidget* NoPage = nullptr;
    std::map<TOptionPage, QWidget*> PageWidgets;
    // One per row of ToolSettingTable, in its order.
    std::array<TTrackSpin*, ToolSettingTable.size()> Pairs{};
    std::map<TOptionPage, TObjectControls> ObjectPages;

    QLabel* LabInfoX = nullptr;
    QLabel* LabInfoY = nullptr;
    QLabel* LabDropperX = nullptr;
    QLabel* LabDropperY = nullptr;
    QLabel* LabDropperR = nullptr;
    QLabel* LabDropperG = nullptr;
    QLabel* LabDropperB = nullptr;
    QFrame* ShpColor = nullptr;

    // Options a tool changed, until the user changes them or a new object
    // starts.
    QSet<QCheckBox*> ChangedByTool;
    QStringList FontFamilies;
    QString PanelFontFamily;
};
