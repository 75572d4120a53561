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
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    Label1 = new QLabel("Total:", this);
    Label1->setObjectName("Label1");
    ProgressBar2 = new QProgressBar(this);
    ProgressBar2->setObjectName("ProgressBar2");
    ProgressBar2->setRange(0, 100);
    ProgressBar2->setValue(0);
    Button1 = new QPushButton("Cancel", this);
    Button1->setObjectName("Button1");
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TFrmProcess::Button1Click);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(Lab_StepName);
    layout->addWidget(ProgressBar1);
    layout->addWidget(Label1);
    layout->addWidget(ProgressBar2);
    layout->addStretch(1);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
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
    ProgressBar1->setValue(now.StepPercent);
    if (ProgressBar2->maximum() != now.TotalMaximum)
        ProgressBar2->setMaximum(now.TotalMaximum);
    ProgressBar2->setValue(std::min(now.TotalPosition, now.TotalMaximum));
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

void TFrmProcess::Button1Click()
{
    RenderCancel.Request();
    CancelPressed = true;
    Button1->setEnabled(false);
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
        Button1Click();
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
        Button1Click();
}
