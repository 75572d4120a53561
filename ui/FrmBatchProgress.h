#pragma once

#include <QDialog>

#include <memory>
#include <vector>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;
class TBatchRun;

// The window a batch runs behind, beside the editor, which stays in use: the
// photos done, the failures and the time left, a bar of the whole batch and
// each failure as it comes. Cancel stops every photo under way; the outputs
// finished so far stay. At the end it shows the summary and Cancel becomes
// Close. Closing it while the batch runs cancels the batch first.
class TFrmBatchProgress : public QDialog {
    Q_OBJECT

public:
    // Starts the batch when first shown.
    explicit TFrmBatchProgress(std::unique_ptr<TBatchRun> run, QWidget* parent = nullptr);
    // A batch still running is cancelled and waited for.
    ~TFrmBatchProgress() override;

    const TBatchRun& Run() const { return *Batch; }
    bool Finished() const { return Ended; }

    QLabel* Lab_Status = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QListWidget* Lst_Problems = nullptr;
    QPushButton* Btn_Cancel = nullptr;

signals:
    void BatchFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void ShowProgress();
    void BatchEnded();
    void Btn_CancelClick();

    std::unique_ptr<TBatchRun> Batch;
    QTimer* ProgressTimer = nullptr;
    // Which photos' failures and warnings the list shows already.
    std::vector<bool> Listed;
    bool Started = false;
    bool Ended = false;
    bool CloseWhenEnded = false;
};
