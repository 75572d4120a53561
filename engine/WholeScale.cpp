#include "engine/WholeScale.h"

#include "engine/RowsReady.h"
#include "engine/SettingsLimits.h"

#include <cstring>

namespace {

std::atomic<std::uint64_t> NextSerial{1};

// Passes the walk's count of final rows on as it comes.
class TRowsWatch final : public TRowsReady {
public:
    TRowsWatch(std::atomic<int>& rows, const std::function<void(int)>& told)
        : TRowsReady(1, nullptr)
        , rows_(rows)
        , told_(told)
    {
    }
    void Publish(int rows) override
    {
        if (rows <= rows_.load(std::memory_order_relaxed))
            return;
        rows_.store(rows, std::memory_order_release);
        if (told_)
            told_(rows);
    }

private:
    std::atomic<int>& rows_;
    const std::function<void(int)>& told_;
};

} // namespace

TWholeScale::TWholeScale(std::shared_ptr<const TBitmap> picture, const TEffectSettings& settings)
    : picture_(std::move(picture))
    , serial_(NextSerial.fetch_add(1, std::memory_order_relaxed))
{
    const TEffectSettings s = LimitedSettings(settings);
    scaleType_ = s.ScaleType;
    colorScale_ = s.ColorScale;
    std::memcpy(table_.data(), s.ColorTable, ColorTableSize);
}

bool TWholeScale::Compute(TCancelToken& cancel, TWorkerPool* pool, const std::function<void(int rows)>& rowsFinal)
{
    step_.SetPool(pool);
    step_.SetCancel(&cancel);
    step_.LoadPictureToScale(picture_.get());
    TRowsWatch watch(rowsFinal_, rowsFinal);
    const bool done = step_.ScaleColors(scaleType_, 1, colorScale_, table_.data(), ColorTableSize, &watch);
    step_.SetCancel(nullptr);
    if (!done || cancel.Requested())
        return false;
    watch.Publish(Height());
    return true;
}

bool TWholeScale::Serves(const TBitmap* picture, const TEffectSettings& settings) const
{
    const TEffectSettings s = LimitedSettings(settings);
    return picture == picture_.get() && s.ScaleType == scaleType_ && s.ColorScale == colorScale_ &&
           std::memcmp(s.ColorTable, table_.data(), ColorTableSize) == 0;
}
