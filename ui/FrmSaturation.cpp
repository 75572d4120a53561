#include "ui/FrmSaturation.h"

#include "engine/ToneTables.h"
#include "tools/Adjustments.h"
#include "ui/TrackSpin.h"

namespace {

TAdjustmentTable Table()
{
    return {"FrmSaturation", "Saturation",
            {452, 126},      "BtnOK",
            "Saturation",    {{"TrcSaturation", "SpnSaturation", "Saturation:", -SaturationLimit, SaturationLimit}}};
}

} // namespace

TFrmSaturation::TFrmSaturation(TDocument& document, TAdjustmentHost host, QWidget* parent)
    : TFrmAdjustment(document, std::move(host), Table(), parent)
{
    TrcSaturation = Slider(0)->Trc();
    SpnSaturation = Slider(0)->Spn();
}

void TFrmSaturation::Adjust(const TBitmap& source, TBitmap& destination, const TRect& rect, TWorkerPool* pool) const
{
    SaturatePicture(source, destination, Value(0), rect, pool);
}
