// The cartoon commands: the preview dialog, then the effect on the whole
// picture behind the progress dialog, then the layers, the layers panel and
// one history state.
#include "ui/FrmMain.h"

#include "engine/EffectMemory.h"
#include "picture/MemoryBudget.h"
#include "settings/EffectComment.h"
#include "settings/Presets.h"
#include "settings/ProgramDir.h"
#include "ui/FrmColorMoreOption.h"
#include "ui/FrmLayers.h"
#include "ui/FrmOptions.h"
#include "ui/FrmPreview.h"
#include "ui/FrmProcess.h"
#include "ui/FrmSketchMoreOption.h"
#include "ui/PictureView.h"

#include <QFile>
#include <QString>

#include <utility>

namespace {

// The preview's OK leaves the photo replaced by the picture the view shows,
// which the effect starts from. Only a result keeps it so (its history state
// holds it); a run cancelled, refused or failed puts the photo back.
struct TPhotoPutBack {
    TBitmap& Source;
    TBitmap Photo;
    bool Keep = false;
    ~TPhotoPutBack()
    {
        if (!Keep)
            Source = std::move(Photo);
    }
};

} // namespace

void TFrmMain::RunCartoon(const QString& presetFile, TFitToPicture fit)
{
    Guarded([&] {
        CurrentDocument.RebuildAll();
        TPhotoPutBack putBack{CurrentDocument.SourceBitmap, CurrentDocument.SourceBitmap};
        TFrmPreview preview(CurrentDocument, FrmOptions->Options(), *FrmSketchMoreOption, *FrmColorMoreOption, this);
        // The preview opens on what the user was looking at.
        preview.OpenAround(PictureView->VisibleCentre());
        if (!presetFile.trimmed().isEmpty())
            preview.LoadSettingsFile(presetFile);
        if (fit == TFitToPicture::Yes)
            preview.FitWhenShown();
        preview.exec();
        if (!preview.Confirmed())
            return;

        TEffectSettings settings = preview.Settings();
        WidenToPicture(settings, CurrentDocument.SourceBitmap);
        // Refused before it starts rather than failing half way, with the
        // document untouched.
        if (!EffectFitsInMemory(settings.Width, settings.Height, 0)) {
            ShowText(QString::fromStdString(NotEnoughMemoryText(settings.Width, settings.Height)));
            return;
        }
        std::exception_ptr failure;
        {
            TFrmProcess process(this);
            process.SetSettings(settings, CurrentDocument.SourceBitmap);
            process.exec();
            failure = process.Error();
            // The layers are taken over only from a run that neither was
            // cancelled nor failed; otherwise the document stays as it was.
            TBitmap sketch, color;
            if (!failure && process.GetLayers(sketch, color)) {
                putBack.Keep = true;
                CurrentDocument.TakeEffectResult(std::move(sketch), std::move(color), settings);
                FrmLayers->ShowLayerState();
                UpdateScrollBars();
                RefreshView();
                AddEffectHistory("Classic", settings);
            }
        }
        UpdateCommands();
        if (failure)
            std::rethrow_exception(failure);
    });
    // The whole rebuild took the tool's outline out of the composite, and a
    // run without a result put the photo back: the screen shows both again.
    RefreshView();
}

void TFrmMain::RunShortcut(const char* presetName, TFitToPicture fit)
{
    RunCartoon(QFile::decodeName(ProgramFile(presetName).c_str()), fit);
}

void TFrmMain::AddEffectHistory(const std::string& operation, const TEffectSettings& settings)
{
    RecordHistory(operation, EffectHistoryComment(settings));
}
