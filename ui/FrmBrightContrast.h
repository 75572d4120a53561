#pragma once

#include "ui/FrmAdjustment.h"

class QSlider;
class TSpinEdit;

// Brightness and contrast of the drawable layers.
class TFrmBrightContrast : public TFrmAdjustment {
    Q_OBJECT

public:
    TFrmBrightContrast(TDocument& document, TAdjustmentHost host, QWidget* parent = nullptr);

    QSlider* Trc_Brightness = nullptr;
    TSpinEdit* Spn_Brightness = nullptr;
    QSlider* Trc_Contrast = nullptr;
    TSpinEdit* Spn_Contrast = nullptr;

protected:
    void Adjust(const TBitmap& source, TBitmap& destination, const TRect& rect, TWorkerPool* pool) const override;
};
