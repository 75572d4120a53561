#include "engine/ColorStep.h"

#include "engine/ColorSmooth.h"
#include "engine/GaussianBlur.h"
#include "engine/ToneTables.h"
#include "engine/WorkerPool.h"
#include "picture/Bitmap.h"

#include <cstring>

void TColorStep::SetKeepSmoothed(bool keep)
{
    keepSmoothed_ = keep;
    if (!keep) {
        smoothed_.Release();
        blurred_.Release();
    }
}

void TColorStep::LoadPicture(const TBitmap* picture, int left, int top, int width, int height)
{
    region_ = ClampRegion(picture, left, top, width, height);
    picture_ = region_.Pixels() > 0 ? picture : nullptr;
    scaled_.Resize(std::size_t(region_.Pixels()) * 3);
    result_.Resize(std::size_t(region_.Pixels()) * 3);
    if (keepSmoothed_) {
        smoothed_.Resize(std::size_t(region_.Pixels()) * 3);
        blurred_.Resize(std::size_t(region_.Pixels()) * 3);
    }
}

void TColorStep::LoadPictureToScale(const TBitmap* picture)
{
    region_ = ClampRegion(picture, 0, 0, picture ? picture->Width() : 0, picture ? picture->Height() : 0);
    picture_ = region_.Pixels() > 0 ? picture : nullptr;
    scaled_.Resize(std::size_t(region_.Pixels()) * 3);
}

bool TColorStep::CopyScaled(const std::uint8_t* wholeScaled)
{
    progress_.BeginStep(StepNames::ColorScale);
    const std::size_t rowBytes = std::size_t(region_.Width) * 3;
    const std::size_t wholeRowBytes = picture_ ? std::size_t(picture_->Width()) * 3 : 0;
    bool done = ForEachUnit(
        pool_, cancel_, region_.Width > 0 ? region_.Height : 0,
        [&](int y, int) {
            std::memcpy(scaled_.Data() + std::size_t(y) * rowBytes,
                        wholeScaled + std::size_t(region_.Top + y) * wholeRowBytes + std::size_t(region_.Left) * 3,
                        rowBytes);
        },
        [&](int y) { progress_.Percent(y, region_.Height - 1); });
    if (!done)
        return false;
    progress_.EndStep();
    return true;
}

void TColorStep::CopyRegion(std::uint8_t* destination) const
{
    const std::size_t rowBytes = std::size_t(region_.Width) * 3;
    for (int y = 0; y < region_.Height; ++y)
        std::memcpy(destination + std::size_t(y) * rowBytes,
                    picture_->ScanLine(region_.Top + y) + std::size_t(region_.Left) * 3, rowBytes);
}

bool TColorStep::SmoothColors(int colorSmooth, int smoothType)
{
    progress_.BeginStep(StepNames::ColorSmooth);
    if (!smoother_.Smooth(scaled_.Data(), Smoothed(), region_.Width, region_.Height, colorSmooth, smoothType, progress_,
                          pool_, TMedianMethod::Automatic, cancel_))
        return false;
    progress_.EndStep();
    return true;
}

bool TColorStep::SmoothColorsFollowing(int colorSmooth, int smoothType, TRowsReady& ready,
                                       const TProgressReporter& progress, TWorkerPool* pool)
{
    progress.BeginStep(StepNames::ColorSmooth);
    if (!smoother_.SmoothFollowing(scaled_.Data(), Smoothed(), region_.Width, region_.Height, colorSmooth, smoothType,
                                   ready, progress, pool, TMedianMethod::Automatic, cancel_))
        return false;
    progress.EndStep();
    return true;
}

bool TColorStep::BlurBorders(double radius)
{
    std::uint8_t* smoothed = Smoothed();
    std::uint8_t* blurred = Blurred();
    if (!(radius > 0.0)) {
        // Unblurred, the smoothed colours stand for the blurred ones.
        if (blurred != smoothed)
            std::memcpy(blurred, smoothed, std::size_t(region_.Pixels()) * 3);
        return true;
    }
    return GaussianBlur(smoothed, blurred, region_.Width, region_.Height, radius, progress_.Sink(), pool_, cancel_);
}

template <class Table, class Map>
bool TColorStep::TablePass(const char* name, const std::uint8_t* source, std::uint8_t* destination, bool identity,
                           const Table& table, Map map)
{
    progress_.BeginStep(name);
    const int width = region_.Width, height = region_.Height;
    const std::size_t rowBytes = std::size_t(width) * 3;
    // An identity table in place changes nothing, but the rows still report.
    const bool skip = identity && source == destination;
    bool done = ForEachUnit(
        pool_, cancel_, width > 0 ? height : 0,
        [&](int y, int) {
            if (!skip)
                map(source + std::size_t(y) * rowBytes, destination + std::size_t(y) * rowBytes, width, table);
        },
        [&](int y) { progress_.Percent(y, height - 1); });
    if (!done)
        return false;
    progress_.EndStep();
    return true;
}

bool TColorStep::OffsetChannels(const std::uint8_t* source, std::uint8_t* destination, int red, int green, int blue)
{
    TChannelTables tables;
    BuildOffsetTables(red, green, blue, tables);
    return TablePass(StepNames::Brightness, source, destination, IsIdentity(tables), tables, MapChannels);
}

bool TColorStep::ApplyContrast(const std::uint8_t* source, std::uint8_t* destination, int contrast)
{
    TChannelTables tables;
    BuildContrastTables(contrast, tables);
    return TablePass(StepNames::Contrast, source, destination, IsIdentity(tables), tables, MapChannels);
}

bool TColorStep::ApplySaturation(const std::uint8_t* source, std::uint8_t* destination, int saturation)
{
    TSaturationTables tables;
    BuildSaturationTables(saturation, tables);
    return TablePass(StepNames::Saturation, source, destination, false, tables, Saturate);
}

bool TColorStep::AdjustTone(int brightness, int contrast, int saturation, int red, int green, int blue)
{
    std::uint8_t* result = result_.Data();
    // The first table reads the kept colours into the result (an identity
    // table too, as a copy).
    return OffsetChannels(Blurred(), result, brightness, brightness, brightness) &&
           ApplyContrast(result, result, contrast) && ApplySaturation(result, result, saturation) &&
           OffsetChannels(result, result, red, green, blue);
}
