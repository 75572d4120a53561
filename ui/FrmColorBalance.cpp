#include "ui/FrmColorBalance.h"

#include "tools/Adjustments.h"
#include "ui/TrackSpin.h"

namespace {

TAdjustmentTable Table()
{
    return {"FrmColorBalance",
            "Color Balance",
            {452, 138},
            "BtnOk",
            "Color Balance",
            {{"Trc_Red", "Spn_Red", "Red:", -255, 255},
             {"Trc_Green", "Spn_Green", "Green:", -255, 255},
             {"Trc_Blue", "Spn_Blue", "Blue:", -255, 255}}};
}

} // namespace

TFrmColorBalance::TFrmColorBalance(TDocument& document, TAdjustmentHost host, QWidget* parent)
    : TFrmAdjustment(document, std::move(host), Table(), parent)
{
    Trc_Red = Slider(0)->Trc();
    Spn_Red = Slider(0)->Spn();
    Trc_Green = Slider(1)->Trc();
    Spn_Green = Slider(1)->Spn();
    Trc_Blue = Slider(2)->Trc();
    Spn_Blue = Slider(2)->Spn();
}

void TFrmColorBalance::Adjust(const TBitmap& source, TBitmap& destination, const TRect& rect, TWorkerPool* pool) const
{
    OffsetPicture(source, destination, Value(0), Value(1), Value(2), rect, pool);
}
