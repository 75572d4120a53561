#pragma once

#include "ui/FrmAdjustment.h"

class QSlider;
class TSpinEdit;

// Red, green and blue offsets of the drawable layers.
class TFrmColorBalance : public TFrmAdjustment {
    Q_OBJECT

public:
    TFrmColorBalance(TDocument& document, TAdjustmentHost host, QWidget* parent = nullptr);

    QSlider* Trc_Red = nullptr;
    TSpinEdit* Spn_Red = nullptr;
    QSlider* Trc_Green = nullptr;
    TSpinEdit* Spn_Green = nullptr;
    QSlider* Trc_Blue = nullptr;
    TSpinEdit* Spn_Blue = nullptr;

protected:
    void Adjust(const TBitmap& source, TBitmap& destination, const TRect& rect, TWorkerPool* pool) const override;
};
