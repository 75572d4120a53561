#include "picture/ColorProfile.h"

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

bool Transform(const TContext& context, cmsHPROFILE input, TBitmap& picture)
{
    const TProfile srgb(cmsCreate_sRGBProfileTHR(context.context));
    if (!srgb)
        return false;
    const TTransform transform(
        cmsCreateTransformTHR(context.context, input, TYPE_BGR_8, srgb.get(), TYPE_BGR_8, INTENT_PERCEPTUAL, 0));
    if (!transform)
        return false;
    // In place: both sides have three bytes a pixel.
    cmsDoTransformLineStride(transform.get(), picture.Bits(), picture.Bits(), cmsUInt32Number(picture.Width()),
                             cmsUInt32Number(picture.Height()), cmsUInt32Number(picture.Stride()),
                             cmsUInt32Number(picture.Stride()), 0, 0);
    return true;
}

struct TCurveFree {
    void operator()(cmsToneCurve* curve) const { cmsFreeToneCurve(curve); }
};

} // namespace

bool ConvertToSrgb(TBitmap& picture, const TColourSpace& space)
{
    if (picture.Empty())
        return false;
    TContext context;
    if (!context.context)
        return false;
    std::unique_ptr<cmsToneCurve, TCurveFree> curve;
    switch (space.Curve) {
    case TColourSpace::TCurve::Srgb: {
        // IEC 61966-2-1: Y = ((aX + b)^g for X >= d, cX below.
        const cmsFloat64Number parameters[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
        curve.reset(cmsBuildParametricToneCurve(context.context, 4, parameters));
        break;
    }
    case TColourSpace::TCurve::Gamma22: curve.reset(cmsBuildGamma(context.context, 2.2)); break;
    case TColourSpace::TCurve::Gamma28: curve.reset(cmsBuildGamma(context.context, 2.8)); break;
    case TColourSpace::TCurve::Linear: curve.reset(cmsBuildGamma(context.context, 1.0)); break;
    }
    if (!curve)
        return false;
    const cmsCIExyY white{space.WhiteX, space.WhiteY, 1.0};
    const cmsCIExyYTRIPLE primaries{
        {space.RedX, space.RedY, 1.0}, {space.GreenX, space.GreenY, 1.0}, {space.BlueX, space.BlueY, 1.0}};
    cmsToneCurve* curves[3] = {curve.get(), curve.get(), curve.get()};
    const TProfile input(cmsCreateRGBProfileTHR(context.context, &white, &primaries, curves));
    return input && Transform(context, input.get(), picture);
}

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
    return Transform(context, input.get(), picture);
}

TCmykConversion::TCmykConversion(const std::uint8_t* profile, std::size_t size, bool inverted)
{
    if (profile == nullptr || size < 132 || size > 0xFFFFFFFFu)
        return;
    cmsContext context = cmsCreateContext(nullptr, nullptr);
    if (!context)
        return;
    context_ = context;
    cmsSetLogErrorHandlerTHR(context, IgnoreLog);
    const TProfile input(cmsOpenProfileFromMemTHR(context, profile, cmsUInt32Number(size)));
    if (!input || cmsGetColorSpace(input.get()) != cmsSigCmykData)
        return;
    const TProfile srgb(cmsCreate_sRGBProfileTHR(context));
    if (!srgb)
        return;
    transform_ = cmsCreateTransformTHR(context, input.get(), inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8, srgb.get(),
                                       TYPE_BGR_8, INTENT_PERCEPTUAL, 0);
}

TCmykConversion::~TCmykConversion()
{
    if (transform_)
        cmsDeleteTransform(transform_);
    if (context_)
        cmsDeleteContext(static_cast<cmsContext>(context_));
}

void TCmykConversion::Row(const std::uint8_t* cmyk, std::uint8_t* bgr, int width) const
{
    cmsDoTransform(transform_, cmyk, bgr, cmsUInt32Number(width));
}
