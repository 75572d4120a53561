#include "ui/FrmLayers.h"

#include "document/LayerState.h"
#include "ui/SpinEdit.h"
#include "ui/TrackSpin.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QCheckBox* LayerBox(const QString& name, const QString& accessibleName, QWidget* parent)
{
    auto* box = new QCheckBox(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setChecked(true);
    return box;
}

QLabel* LayerName(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// Hidden opacity controls keep their room, so the fixed-size panel does not
// jump when the mode changes.
void KeepRoomWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace

TFrmLayers::TFrmLayers(TLayerState& state, QWidget* owner)
    : TPanelWindow(tr("Layers"), owner)
    , State(state)
{
    setObjectName("FrmLayers");

    Lab_BlendingMode = new QLabel(tr("Blending Mode:"), this);
    Lab_BlendingMode->setObjectName("Label1");
    CmbBlendingMode = new QComboBox(this);
    CmbBlendingMode->setObjectName("CmbBlendingMode");
    CmbBlendingMode->addItems({tr("Multiply"), tr("Opacity")});
    Lab_BlendingMode->setBuddy(CmbBlendingMode);

    Opacity = new TTrackSpin(MinOpacity, MaxOpacity, 50, this, tr("Opacity:"));
    Lab_Opacity = Opacity->Caption();
    Lab_Opacity->setObjectName("Label6");
    Trc_Opacity = Opacity->Trc();
    Trc_Opacity->setObjectName("Trc_Opacity");
    Spn_Opacity = Opacity->Spn();
    Spn_Opacity->setObjectName("Spn_Opacity");
    for (QWidget* w :
         {static_cast<QWidget*>(Lab_Opacity), static_cast<QWidget*>(Trc_Opacity), static_cast<QWidget*>(Spn_Opacity)})
        KeepRoomWhenHidden(w);

    HeaderBar = new QFrame(this);
    HeaderBar->setObjectName("HeaderBar");
    HeaderBar->setFrameStyle(QFrame::Panel | QFrame::Raised);
    HeaderBar->setLineWidth(1);
    HeaderBar->setAutoFillBackground(true);
    Lab_Visible = new QLabel(tr("Visible"), this);
    Lab_Visible->setObjectName("Visible");
    Lab_Drawable = new QLabel(tr("Drawable"), this);
    Lab_Drawable->setObjectName("Label2");
    Lab_LayerName = new QLabel(tr("Layer Name"), this);
    Lab_LayerName->setObjectName("Label3");

    Chk_SketchVisible = LayerBox("Chk_SketchVisible", tr("Sketch layer visible"), this);
    Chk_SketchDrawable = LayerBox("Chk_SketchDrawable", tr("Sketch layer drawable"), this);
    Lab_SketchLayer = LayerName("Lab_SketchLayer", tr("Sketch Layer"), this);
    Chk_ColorVisible = LayerBox("Chk_ColorVisible", tr("Coloring layer visible"), this);
    Chk_ColorDrawable = LayerBox("Chk_ColorDrawable", tr("Coloring layer drawable"), this);
    Lab_ColorLayer = LayerName("Lab_ColorLayer", tr(" Coloring Layer"), this);
    // The colouring layer's name begins with a blank; the sketch layer's is
    // indented by as much so that the two names line up.
    Lab_SketchLayer->setContentsMargins(Lab_SketchLayer->fontMetrics().horizontalAdvance(u' '), 0, 0, 0);

    BuildLayout();
    ShowLayerState();

    connect(CmbBlendingMode, &QComboBox::currentIndexChanged, this, &TFrmLayers::CmbBlendingModeChange);
    connect(Opacity, &TTrackSpin::Changed, this, &TFrmLayers::OpacityChange);
    connect(Opacity, &TTrackSpin::SpinTextEdited, this, &TFrmLayers::Spn_OpacityEdited);
    connect(Chk_SketchVisible, &QCheckBox::toggled, this, [this](bool on) {
        State.SketchVisible = on;
        emit RefreshViewRequested();
    });
    connect(Chk_ColorVisible, &QCheckBox::toggled, this, [this](bool on) {
        State.ColorVisible = on;
        emit RefreshViewRequested();
    });
    connect(Chk_SketchDrawable, &QCheckBox::toggled, this, [this](bool on) {
        State.SketchDrawable = on;
        emit RefreshToolPreviewRequested();
    });
    connect(Chk_ColorDrawable, &QCheckBox::toggled, this, [this](bool on) {
        State.ColorDrawable = on;
        emit RefreshToolPreviewRequested();
    });
}

void TFrmLayers::BuildLayout()
{
    auto* blending = new QGridLayout;
    blending->addWidget(Lab_BlendingMode, 0, 0);
    blending->addWidget(CmbBlendingMode, 0, 1, 1, 2);
    Opacity->AddToGrid(blending, 1);
    blending->setColumnStretch(1, 1);

    // The column headings sit on a raised bar behind them; the check boxes
    // are centred under their headings.
    auto* layers = new QGridLayout;
    layers->setHorizontalSpacing(10);
    layers->setVerticalSpacing(4);
    layers->addWidget(HeaderBar, 0, 0, 1, 3);
    const int inset = HeaderBar->frameWidth() + 4;
    Lab_Visible->setContentsMargins(inset, 2, 0, 2);
    Lab_LayerName->setContentsMargins(0, 2, inset, 2);
    layers->addWidget(Lab_Visible, 0, 0, Qt::AlignCenter);
    layers->addWidget(Lab_Drawable, 0, 1, Qt::AlignCenter);
    layers->addWidget(Lab_LayerName, 0, 2);
    layers->addWidget(Chk_SketchVisible, 1, 0, Qt::AlignCenter);
    layers->addWidget(Chk_SketchDrawable, 1, 1, Qt::AlignCenter);
    layers->addWidget(Lab_SketchLayer, 1, 2);
    layers->addWidget(Chk_ColorVisible, 2, 0, Qt::AlignCenter);
    layers->addWidget(Chk_ColorDrawable, 2, 1, Qt::AlignCenter);
    layers->addWidget(Lab_ColorLayer, 2, 2);
    layers->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(blending);
    layout->addSpacing(6);
    layout->addLayout(layers);
    layout->addStretch(1);

    setFixedSize(std::max(layout->minimumSize().width(), ColumnWidth(this)), layout->sizeHint().height());
}

void TFrmLayers::ShowLayerState()
{
    State.BlendingMode = State.BlendingMode == BlendOpacity ? BlendOpacity : BlendMultiply;
    {
        const QSignalBlocker blockMode(CmbBlendingMode);
        const QSignalBlocker blockSketchVisible(Chk_SketchVisible);
        const QSignalBlocker blockSketchDrawable(Chk_SketchDrawable);
        const QSignalBlocker blockColorVisible(Chk_ColorVisible);
        const QSignalBlocker blockColorDrawable(Chk_ColorDrawable);
        CmbBlendingMode->setCurrentIndex(State.BlendingMode);
        Opacity->SetValueSilently(State.Opacity);
        Chk_SketchVisible->setChecked(State.SketchVisible);
        Chk_SketchDrawable->setChecked(State.SketchDrawable);
        Chk_ColorVisible->setChecked(State.ColorVisible);
        Chk_ColorDrawable->setChecked(State.ColorDrawable);
    }
    State.Opacity = Opacity->Value();
    UpdateOpacityControls();
}

void TFrmLayers::UpdateOpacityControls()
{
    switch (CmbBlendingMode->currentIndex()) {
    case BlendMultiply: Opacity->SetVisible(false); break;
    case BlendOpacity: Opacity->SetVisible(true); break;
    default: break;
    }
}

void TFrmLayers::CmbBlendingModeChange(int index)
{
    if (index < 0)
        return;
    State.BlendingMode = index;
    UpdateOpacityControls();
    emit RefreshViewRequested();
}

void TFrmLayers::OpacityChange(int value)
{
    State.Opacity = value;
    emit RefreshViewRequested();
}

void TFrmLayers::Spn_OpacityEdited(bool changed)
{
    // An edit that moved the track bar has refreshed already; any other edit,
    // a cleared text too, refreshes all the same.
    if (!changed)
        emit RefreshViewRequested();
}
