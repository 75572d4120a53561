#include "ui/FrmAdjustment.h"

#include "document/Document.h"
#include "engine/WorkerPool.h"
#include "ui/BusyCursor.h"
#include "ui/SpinEdit.h"
#include "ui/TrackSpin.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

TFrmAdjustment::TFrmAdjustment(TDocument& document, TAdjustmentHost host, const TAdjustmentTable& table,
                               QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , Document(document)
    , Host(std::move(host))
    , Operation(table.Operation)
    , Pool(std::make_unique<TWorkerPool>(0))
{
    setObjectName(table.Name);
    setWindowTitle(table.Caption);
    setModal(true);

    // Scratch pictures left from a picture of another size would leave part
    // of the view unpreviewed (or, written blindly, be overrun).
    Document.SketchWork.SetSize(Document.SketchLayer.Width(), Document.SketchLayer.Height());
    Document.ColorWork.SetSize(Document.ColorLayer.Width(), Document.ColorLayer.Height());

    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    for (const TAdjustmentSlider& s : table.Sliders) {
        auto* pair = new TTrackSpin(s.Minimum, s.Maximum, 0, this, s.Caption);
        pair->Trc()->setObjectName(s.TrcName);
        pair->Trc()->setFocusPolicy(Qt::ClickFocus); // not a tab stop
        pair->Spn()->setObjectName(s.SpnName);
        pair->Caption()->setObjectName("Lab_" + s.TrcName.mid(s.TrcName.startsWith("Trc_") ? 4 : 3));
        pair->ResetHandled();
        pair->AddToGrid(grid, int(Sliders.size()));
        connect(pair, &TTrackSpin::Changed, this, &TFrmAdjustment::SliderChange);
        Sliders.push_back(pair);
    }

    Separator = new QFrame(this);
    Separator->setObjectName("Bevel1");
    Separator->setFrameShape(QFrame::VLine);
    Separator->setFrameShadow(QFrame::Sunken);

    BtnOk = new QPushButton(tr("&Ok"), this);
    BtnOk->setObjectName(table.OkName);
    BtnOk->setDefault(true);
    BtnCancel = new QPushButton(tr("&Cancel"), this);
    BtnCancel->setObjectName("BtnCancel");
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(grid, 1);
    layout->addWidget(Separator);
    layout->addLayout(buttons);
    setFixedSize(table.ClientSize);
}

TFrmAdjustment::~TFrmAdjustment() = default;

int TFrmAdjustment::Value(int slider) const { return Slider(slider)->Value(); }

int TFrmAdjustment::LastPreviewed(int slider) const { return Slider(slider)->LastHandled(); }

std::string TFrmAdjustment::HistoryComment() const
{
    std::string comment;
    if (Document.LayerState.SketchDrawable)
        comment += "Sketch Layer, ";
    if (Document.LayerState.ColorDrawable)
        comment += "Color Layer, ";
    for (int i = 0; i < SliderCount(); ++i)
        comment += (i ? ", " : "") + std::to_string(Value(i));
    return comment;
}

void TFrmAdjustment::SliderChange()
{
    // The pair has already told the position apart from the last one handled.
    Preview();
}

void TFrmAdjustment::Preview()
{
    const TRect view = Host.ViewRect();
    if (Document.LayerState.SketchDrawable) {
        Adjust(Document.SketchLayer, Document.SketchWork, view, Pool.get());
        Document.ShownSketch = &TDocument::SketchWork;
    }
    if (Document.LayerState.ColorDrawable) {
        Adjust(Document.ColorLayer, Document.ColorWork, view, Pool.get());
        Document.ShownColor = &TDocument::ColorWork;
    }
    Host.RefreshView();
    ShowLayers();
}

void TFrmAdjustment::ShowLayers()
{
    Document.ShownSketch = &TDocument::SketchLayer;
    Document.ShownColor = &TDocument::ColorLayer;
}

void TFrmAdjustment::accept()
{
    {
        TBusyCursor busy;
        for (auto [drawable, layer] : {std::pair{Document.LayerState.SketchDrawable, &Document.SketchLayer},
                                       std::pair{Document.LayerState.ColorDrawable, &Document.ColorLayer}})
            if (drawable)
                Adjust(*layer, *layer, WholeRect(layer->Width(), layer->Height()), Pool.get());
        ShowLayers();
        Host.RefreshView();
        // The layers have changed whatever happens to the history; the
        // failure is reported once the dialog has closed.
        try {
            Host.RecordHistory(Operation, HistoryComment());
        } catch (...) {
            RecordFailure = std::current_exception();
        }
    }
    QDialog::accept();
}

void TFrmAdjustment::reject()
{
    ShowLayers();
    Host.RefreshView();
    QDialog::reject();
}
