#include "ui/FrmBatchProgress.h"

#include "batch/BatchRun.h"
#include "batch/BatchText.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The counts change a few times a second at most; the bar need not be smoother.
constexpr int ProgressIntervalMs = 100;
constexpr int BarSteps = 1000;

} // namespace

TFrmBatchProgress::TFrmBatchProgress(std::unique_ptr<TBatchRun> run, QWidget* parent)
    : QDialog(parent)
    , Batch(std::move(run))
    , Listed(Batch->Plan().Items.size(), false)
{
    setObjectName("Frm_BatchProgress");
    setWindowTitle(tr("Batch"));
    // Beside the editor, not in front of it for good.
    setModal(false);

    Lab_Status = new QLabel(this);
    Lab_Status->setObjectName("Lab_Status");
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, BarSteps);
    Lst_Problems = new QListWidget(this);
    Lst_Problems->setObjectName("Lst_Problems");
    Btn_Cancel = new QPushButton(tr("Cancel"), this);
    Btn_Cancel->setObjectName("Btn_Cancel");
    Btn_Cancel->setAutoDefault(false);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TFrmBatchProgress::Btn_CancelClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Lab_Status);
    layout->addWidget(ProgressBar1);
    layout->addWidget(Lst_Problems, 1);
    layout->addWidget(Btn_Cancel, 0, Qt::AlignRight);
    resize(560, 300);

    ProgressTimer = new QTimer(this);
    ProgressTimer->setInterval(ProgressIntervalMs);
    connect(ProgressTimer, &QTimer::timeout, this, &TFrmBatchProgress::ShowProgress);
    ShowProgress();
}

TFrmBatchProgress::~TFrmBatchProgress() = default;

void TFrmBatchProgress::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (Started)
        return;
    Started = true;
    // The end is told on a worker thread; the queued call hands it to this
    // window on the interface thread, unless the window is gone by then.
    QPointer<TFrmBatchProgress> self(this);
    ProgressTimer->start();
    Batch->Start([self] {
        QMetaObject::invokeMethod(
            qApp,
            [self] {
                if (self)
                    self->BatchEnded();
            },
            Qt::QueuedConnection);
    });
}

void TFrmBatchProgress::ShowProgress()
{
    const TBatchCounts counts = Batch->Counts();
    Lab_Status->setText(QString::fromStdString(BatchProgressText(counts)));
    ProgressBar1->setValue(int(counts.Fraction * BarSteps));
    const std::vector<TPhotoResult> results = Batch->Results();
    for (std::size_t i = 0; i < results.size(); ++i) {
        const TPhotoResult& result = results[i];
        if (Listed[i] || (result.End != TPhotoEnd::Failed && result.Warning.empty()))
            continue;
        Listed[i] = true;
        Lst_Problems->addItem(QString::fromStdString(result.End == TPhotoEnd::Failed ? "failed: " + result.Reason
                                                                                     : "warning: " + result.Warning));
    }
}

void TFrmBatchProgress::BatchEnded()
{
    if (Ended)
        return;
    Batch->Wait();
    Ended = true;
    ProgressTimer->stop();
    ShowProgress();
    const TBatchCounts counts = Batch->Counts();
    const std::vector<std::string> summary = BatchSummary(Batch->Results(), counts.Seconds, counts.Cancelled);
    Lab_Status->setText(QString::fromStdString(summary.front()));
    Btn_Cancel->setText(tr("Close"));
    Btn_Cancel->setEnabled(true);
    emit BatchFinished();
    if (CloseWhenEnded)
        close();
}

void TFrmBatchProgress::Btn_CancelClick()
{
    if (Ended) {
        close();
        return;
    }
    Batch->Cancel();
    Btn_Cancel->setEnabled(false);
}

void TFrmBatchProgress::reject()
{
    if (Ended)
        QDialog::reject();
    else
        Btn_CancelClick();
}

void TFrmBatchProgress::closeEvent(QCloseEvent* event)
{
    if (Ended || !Started) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    CloseWhenEnded = true;
    Btn_CancelClick();
}
