#pragma once

#include "ui/FrmAdjustment.h"

class QSlider;
class TSpinEdit;

// Saturation of the drawable layers.
class TFrmSaturation : public TFrmAdjustment {
    Q_OBJECT

public:
    TFrmSaturation(TDocument& document, TAdjustmentHost host, QWidget* parent = nullptr);

    QSlider* TrcSaturation = nullptr;
    TSpinEdit* SpnSaturation = nullptr;

protected:
    void Adjust(const TBitmap& source, TBitmap& destination, const TRect& rect, TWorkerPool* pool) const override;
};
