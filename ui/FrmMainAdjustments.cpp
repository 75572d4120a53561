#include "ui/FrmMain.h"

#include "ui/FrmBrightContrast.h"
#include "ui/FrmColorBalance.h"
#include "ui/FrmSaturation.h"

namespace {

TAdjustmentHost HostOf(TFrmMain& main)
{
    return {
        [&main] { return main.ViewRect(); }, [&main] { main.RefreshView(); },
        [&main](const std::string& operation, const std::string& comment) { main.RecordHistory(operation, comment); }};
}

// One modal showing of an adjustment dialog, created for it and destroyed
// after it.
template <class TDialog>
void RunAdjustment(TFrmMain& main)
{
    try {
        TDialog dialog(main.Document, HostOf(main), &main);
        dialog.exec();
        if (dialog.RecordError())
            std::rethrow_exception(dialog.RecordError());
    } catch (const std::exception& error) {
        main.ReportError(error);
    }
    // Undo now reaches the adjustment.
    main.UpdateCommands();
}

} // namespace

void TFrmMain::ShowBrightContrast() { RunAdjustment<TFrmBrightContrast>(*this); }
void TFrmMain::ShowSaturation() { RunAdjustment<TFrmSaturation>(*this); }
void TFrmMain::ShowColorBalance() { RunAdjustment<TFrmColorBalance>(*this); }
