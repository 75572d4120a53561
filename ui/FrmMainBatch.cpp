#include "ui/FrmMain.h"

#include "batch/BatchPlan.h"
#include "batch/BatchRun.h"
#include "settings/ProgramDir.h"
#include "ui/BusyCursor.h"
#include "ui/FrmBatchProgress.h"

#include <QFile>

#include <memory>
#include <string>
#include <vector>

TFrmBatchProgress* TFrmMain::BatchWindow() const { return BatchProgress.data(); }

void TFrmMain::ShowBatch()
{
    Guarded([this] {
        if (BatchProgress && !BatchProgress->Finished()) {
            BatchProgress->show();
            BatchProgress->raise();
            BatchProgress->activateWindow();
            return;
        }
        if (LastBatch.Settings.PresetFile.empty())
            LastBatch.Settings.PresetFile = ProgramFile(CartoonSetName);
        const std::optional<TBatchChoice> choice = BatchDialog(this, LastBatch);
        if (!choice)
            return;
        LastBatch = *choice;
        std::unique_ptr<TBatchRun> run;
        {
            // A large folder tree takes a moment to list.
            TBusyCursor busy;
            std::vector<std::string> inputs;
            for (const QString& input : choice->Inputs)
                inputs.push_back(QFile::encodeName(input).toStdString());
            run = std::make_unique<TBatchRun>(PlanBatch(inputs, choice->Settings), choice->Settings);
        }
        if (BatchProgress)
            BatchProgress->close();
        BatchProgress = new TFrmBatchProgress(std::move(run), this);
        BatchProgress->setAttribute(Qt::WA_DeleteOnClose);
        BatchProgress->show();
    });
}
