#include "ColorProfile.h"

#include <cstring>
#include <memory>

#include <lcms2.h>

namespace {

// Little CMS reports errors through a handler; the default one is silent,
// but a context of our own keeps another library's handler out of it too.
void IgnoreLog(cmsContext, cmsUInt32Number, const char*) {}

struct TContext {
    cmsContext context = cmsCreateContext(nullptr, nullptr);
    TContext()
    {
        if (context)
            cmsSetLogErrorHandlerTHR(context, IgnoreLog);
    }
    ~TContext()
    {
        if (context)
            cmsDeleteContext(context);
    }
};

struct TProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using TProfile = std::unique_ptr<void, TProfileCloser>;

struct TTransformCloser {
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using TTransform = std::unique_ptr<void, TTransformCloser>;

bool CallsItselfSrgb(cmsHPROFILE profile)
{
    char text[64] = {};
    if (cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text, sizeof text) == 0)
        return false;
    return std::strncmp(text, "sRGB", 4) == 0;
}

} // namespace

bool ConvertToSrgb(TBitmap& picture, const std::uint8_t* profile, std::size_t size)
{
    if (profile == nullptr || size < 132 || size > 0xFFFFFFFFu || picture.Empty())
        return false;
    TContext context;
    if (!context.context)
        return false;
    const TProfile input(cmsOpenProfileFromMemTHR(context.context, profile, cmsUInt32Number(size)));
    if (!input || cmsGetColorSpace(input.get()) != cmsSigRgbData || CallsItselfSrgb(input.get()))
        return false;
    const TProfile srgb(cmsCreate_sRGBProfileTHR(context.context));
    if (!srgb)
        return false;
    const TTransform transform(cmsCreateTransformTHR(context.context, input.get(), TYPE_BGR_8, srgb.get(),
                                                     TYPE_BGR_8, INTENT_PERCEPTUAL, 0));
    if (!transform)
        return false;
    // In place: both sides have three bytes a pixel.
    cmsDoTransformLineStride(transform.get(), picture.Bits(), picture.Bits(), cmsUInt32Number(picture.Width()),
                             cmsUInt32Number(picture.Height()), cmsUInt32Number(picture.Stride()),
                             cmsUInt32Number(picture.Stride()), 0, 0);
    return true;
}
