#include "ui/FrmMain.h"

#include "ui/FrmBrightContrast.h"
#include "ui/FrmColorBalance.h"
#include "ui/FrmSaturation.h"

TAdjustmentHost TFrmMain::AdjustmentHost()
{
    return {[this] { return ViewRect(); }, [this] { RefreshView(); },
            [this](const std::string& operation, const std::string& comment) { RecordHistory(operation, comment); }};
}

template <class TDialog>
void TFrmMain::RunAdjustment()
{
    try {
        TDialog dialog(CurrentDocument, AdjustmentHost(), this);
        dialog.exec();
        if (dialog.RecordError())
            std::rethrow_exception(dialog.RecordError());
    } catch (const std::exception& error) {
        ReportError(error);
    }
    // Undo now reaches the adjustment.
    UpdateCommands();
}

void TFrmMain::ShowBrightContrast() { RunAdjustment<TFrmBrightContrast>(); }
void TFrmMain::ShowSaturation() { RunAdjustment<TFrmSaturation>(); }
void TFrmMain::ShowColorBalance() { RunAdjustment<TFrmColorBalance>(); }
