#pragma once

#include "document/Rect.h"

#include <QDialog>
#include <QSize>
#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QFrame;
class QPushButton;
class TBitmap;
class TDocument;
class TTrackSpin;
class TWorkerPool;

// What an adjustment dialog asks of the window that shows it.
struct TAdjustmentHost {
    // The visible part of the picture, inclusive edges.
    std::function<TRect()> ViewRect;
    // Rebuilds the composite of the visible part from the shown pictures and
    // paints it.
    std::function<void()> RefreshView;
    // Stores the document as a new history state; may throw.
    std::function<void(const std::string& operation, const std::string& comment)> RecordHistory;
};

// One track bar and spin edit pair of a dialog, with its control names.
struct TAdjustmentSlider {
    QString TrcName;
    QString SpnName;
    QString Caption;
    int Minimum = 0;
    int Maximum = 0;
};

// What makes one adjustment dialog: its caption, client size, OK button name,
// history operation and sliders (all starting at 0).
struct TAdjustmentTable {
    QString Name;
    QString Caption;
    QSize ClientSize;
    QString OkName;
    std::string Operation;
    std::vector<TAdjustmentSlider> Sliders;
};

// The shape all three adjustment dialogs share. Every effective slider change
// previews the adjustment of the drawable layers in the visible part only:
// the layers are adjusted into their scratch pictures, the composite is
// pointed at those for one view refresh, then back at the layers. OK adjusts
// the whole of each drawable layer in place and records one history state;
// Cancel, Escape and the close box only refresh the view from the layers.
class TFrmAdjustment : public QDialog {
    Q_OBJECT

public:
    ~TFrmAdjustment() override;

    int Value(int slider) const;
    // The last position the slider previewed; TTrackSpin::NotHandled before
    // the first, so that the first change always previews.
    int LastPreviewed(int slider) const;
    TTrackSpin* Slider(int slider) const { return Sliders.at(std::size_t(slider)); }
    int SliderCount() const { return int(Sliders.size()); }
    // The history comment OK records: the drawable layers, then the values.
    std::string HistoryComment() const;

    // A failure to record the history state after OK changed the layers, for
    // the caller to report once the dialog is gone; null when there was none.
    std::exception_ptr RecordError() const { return RecordFailure; }

    QFrame* Separator = nullptr;
    QPushButton* BtnOk = nullptr;
    QPushButton* BtnCancel = nullptr;

    void accept() override;
    void reject() override;

protected:
    TFrmAdjustment(TDocument& document, TAdjustmentHost host, const TAdjustmentTable& table, QWidget* parent = nullptr);

    // The dialog's operation with the current values, from `source` into
    // `destination` (possibly the same picture), on `rect`.
    virtual void Adjust(const TBitmap& source, TBitmap& destination, const TRect& rect, TWorkerPool* pool) const = 0;

private:
    void SliderChange();
    void Preview();
    void ShowLayers();

    TDocument& Document;
    TAdjustmentHost Host;
    std::string Operation;
    std::vector<TTrackSpin*> Sliders;
    std::unique_ptr<TWorkerPool> Pool;
    std::exception_ptr RecordFailure;
};
