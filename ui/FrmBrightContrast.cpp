#include "ui/FrmBrightContrast.h"

#include "tools/Adjustments.h"
#include "ui/TrackSpin.h"

namespace {

TAdjustmentTable Table()
{
    return {"FrmBrightContrast",
            "Brightness / Contrast",
            {452, 126},
            "BtnOk",
            "Brightness/Contrast",
            {{"Trc_Brightness", "Spn_Brightness", "Brightness:", -255, 255},
             {"Trc_Contrast", "Spn_Contrast", "Contrast:", -255, 255}}};
}

} // namespace

TFrmBrightContrast::TFrmBrightContrast(TDocument& document, TAdjustmentHost host, QWidget* parent)
    : TFrmAdjustment(document, std::move(host), Table(), parent)
{
    Trc_Brightness = Slider(0)->Trc();
    Spn_Brightness = Slider(0)->Spn();
    Trc_Contrast = Slider(1)->Trc();
    Spn_Contrast = Slider(1)->Spn();
}

void TFrmBrightContrast::Adjust(const TBitmap& source, TBitmap& destination, const TRect& rect, TWorkerPool* pool) const
{
    // The brightness offset then the contrast table, chained into one pass.
    BrightContrastPicture(source, destination, Value(0), Value(1), rect, pool);
}
