#pragma once

#include "engine/CancelToken.h"
#include "engine/DrawEffect.h"
#include "engine/Progress.h"

#include <QDialog>

#include <exception>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class TDrawThread;

// The progress dialog of a full-size effect run: the effect is computed on a
// worker thread while this modal dialog shows the running step and two bars;
// it closes itself when the worker ends. Cancel asks the worker to stop and
// the dialog stays until it has.
class TFrmProcess : public QDialog {
    Q_OBJECT

public:
    explicit TFrmProcess(QWidget* parent = nullptr);
    ~TFrmProcess() override;

    // The record, already widened to the whole picture, and the picture it is
    // computed from, which must stay unchanged until the dialog has closed.
    void SetSettings(const TEffectSettings& settings, const TBitmap& source);
    // Threads of the computation, for tests (0: one per core).
    void SetThreadCount(int threads) { ProcessEffect.SetThreadCount(threads); }

    // True once Cancel was pressed, also after the worker had ended.
    bool Cancelled() const { return CancelPressed; }
    // What the worker threw (running out of memory, say), or null.
    std::exception_ptr Error() const { return WorkerError; }
    // Writes the layers of a run that was neither cancelled nor failed; false
    // and nothing written otherwise.
    bool GetLayers(TBitmap& sketch, TBitmap& color) const;
    // Whether the worker has ended, which the dialog hears of a moment later
    // on its own thread; for tests of a cancel in between.
    bool WorkerEnded() const;

    QLabel* Lab_StepName = nullptr;
    QProgressBar* StepBar = nullptr;
    QLabel* Lab_Total = nullptr;
    QProgressBar* TotalBar = nullptr;
    QPushButton* BtnCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void BtnCancelClick();
    void ShowProgress();
    void WorkerFinished();

    TDrawEffect ProcessEffect;
    // The one render this dialog runs answers to it alone.
    TCancelToken RenderCancel;
    TProgressState Progress;
    std::unique_ptr<TDrawThread> Worker;
    QTimer* ProgressTimer = nullptr;
    bool CancelPressed = false;
    bool Finished = false;
    std::exception_ptr WorkerError;
};
