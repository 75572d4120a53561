// libFuzzer target for preset files (.set): reads the input as the renderer
// does (exactly one record, held to the controls' ranges) and as the editor's
// Load does (any shorter file over a designed record), then runs the effect
// with each record on a small picture. Whatever a file holds, reading it
// must fail with a TFileError or give a record the engine computes safely.
#include "engine/DrawEffect.h"
#include "fuzz/MemoryFile.h"
#include "picture/Bitmap.h"
#include "picture/FileError.h"
#include "settings/EffectControls.h"
#include "settings/Presets.h"
#include "settings/SettingsFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

constexpr std::size_t MaxInput = sizeof(TEffectSettings) + 64;

const TBitmap& SmallPhoto()
{
    static const TBitmap photo = [] {
        TBitmap picture(19, 13);
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width() * 3; ++x)
                picture.ScanLine(y)[x] = std::uint8_t(x * 37 + y * 91);
        return picture;
    }();
    return photo;
}

void Render(TEffectSettings settings)
{
    WidenToPicture(settings, SmallPhoto());
    TDrawEffect effect;
    effect.SetSettings(settings, &SmallPhoto());
    effect.SetThreadCount(1);
    effect.Render();
    TBitmap sketch, color;
    effect.GetLayers(sketch, color);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > MaxInput)
        return 0;
    TMemoryFile file(data, size);
    if (!file.Ok())
        return 0;
    try {
        Render(ReadPresetRecord(file.Path()));
    } catch (const TFileError&) {
    }
    TEffectSettings loaded = DesignedSettings();
    std::string problem;
    if (ReadSettingsFile(file.Path(), loaded, &problem)) {
        LimitToControls(loaded);
        Render(loaded);
    }
    return 0;
}
