#include "ui/FrmProcess.h"

#include "engine/DrawThread.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The bars follow the worker at about 30 updates a second: smooth to the eye,
// and cheap, since the worker only writes atomics and never waits.
constexpr int ProgressIntervalMs = 33;

} // namespace

TFrmProcess::TFrmProcess(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("Frm_Process");
    setWindowTitle("Progress");
    setModal(true);

    Lab_StepName = new QLabel("Current:", this);
    Lab_StepName->setObjectName("Lab_StepName");
    StepBar = new QProgressBar(this);
    StepBar->setObjectName("ProgressBar1");
    StepBar->setRange(0, 100);
    StepBar->setValue(0);
    Lab_Total = new QLabel("Total:", this);
    Lab_Total->setObjectName("Label1");
    TotalBar = new QProgressBar(this);
    TotalBar->setObjectName("ProgressBar2");
    TotalBar->setRange(0, 100);
    TotalBar->setValue(0);
    BtnCancel = new QPushButton("Cancel", this);
    BtnCancel->setObjectName("Button1");
    BtnCancel->setAutoDefault(false);
    connect(BtnCancel, &QPushButton::clicked, this, &TFrmProcess::BtnCancelClick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(Lab_StepName);
    layout->addWidget(StepBar);
    layout->addWidget(Lab_Total);
    layout->addWidget(TotalBar);
    layout->addStretch(1);
    layout->addWidget(BtnCancel, 0, Qt::AlignHCenter);
    resize(286, 145);
    setMinimumSize(286, 145);

    ProgressTimer = new QTimer(this);
    ProgressTimer->setInterval(ProgressIntervalMs);
    connect(ProgressTimer, &QTimer::timeout, this, &TFrmProcess::ShowProgress);
    ProcessEffect.SetProgress(Progress.Sink());
}

TFrmProcess::~TFrmProcess()
{
    // A worker still running (the dialog destroyed without being shown to
    // its end) is stopped and joined before the effect it uses goes away.
    Worker.reset();
}

void TFrmProcess::SetSettings(const TEffectSettings& settings, const TBitmap& source)
{
    ProcessEffect.SetSettings(settings, &source);
}

bool TFrmProcess::GetLayers(TBitmap& sketch, TBitmap& color) const
{
    if (CancelPressed || WorkerError || !Finished)
        return false;
    return ProcessEffect.GetLayers(sketch, color);
}

bool TFrmProcess::WorkerEnded() const { return Worker && Worker->IsFinished(); }

void TFrmProcess::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (Worker)
        return;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    CancelPressed = false;
    Finished = false;
    Progress.Reset();
    // The completion call comes on the worker thread; the queued call hands
    // it to this dialog on the interface thread, unless it is gone by then.
    QPointer<TFrmProcess> self(this);
    Worker = std::make_unique<TDrawThread>(ProcessEffect, RenderCancel, [self](bool) {
        QMetaObject::invokeMethod(
            qApp,
            [self] {
                if (self)
                    self->WorkerFinished();
            },
            Qt::QueuedConnection);
    });
    ProgressTimer->start();
    Worker->Start();
}

void TFrmProcess::ShowProgress()
{
    const TProgressState::TSnapshot now = Progress.Read();
    if (now.StepName)
        Lab_StepName->setText(QString::fromLatin1(now.StepName));
    StepBar->setValue(now.StepPercent);
    if (TotalBar->maximum() != now.TotalMaximum)
        TotalBar->setMaximum(now.TotalMaximum);
    TotalBar->setValue(std::min(now.TotalPosition, now.TotalMaximum));
}

void TFrmProcess::WorkerFinished()
{
    if (Finished || !Worker)
        return;
    Worker->Wait();
    WorkerError = Worker->Failure();
    Finished = true;
    ProgressTimer->stop();
    ShowProgress();
    done(CancelPressed ? QDialog::Rejected : QDialog::Accepted);
}

void TFrmProcess::BtnCancelClick()
{
    RenderCancel.Request();
    CancelPressed = true;
    BtnCancel->setEnabled(false);
}

// Esc asks for the same as the Cancel button; the dialog still waits for the
// worker to stop.
void TFrmProcess::reject()
{
    if (Finished) {
        QDialog::reject();
        return;
    }
    if (!CancelPressed)
        BtnCancelClick();
}

// The frame has no close box; a close asked for by the window system counts
// as Cancel, and the dialog closes when the worker has stopped.
void TFrmProcess::closeEvent(QCloseEvent* event)
{
    if (Finished) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    if (!CancelPressed)
        BtnCancelClick();
}
