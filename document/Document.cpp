#include "document/Document.h"

#include "document/Composite.h"

#include <algorithm>
#include <utility>

void TDocument::RebuildComposite(const TRect& rect)
{
    ComposeRect(ShownSketchPicture(), ShownColorPicture(), SourceBitmap, LayerState, ViewBitmap, rect);
}

void TDocument::RebuildAll()
{
    SizeViewToLayers();
    RebuildComposite(WholeRect(ViewBitmap.Width(), ViewBitmap.Height()));
}

void TDocument::InitialisePhoto(TBitmap picture)
{
    // Built aside first so that running out of memory half way leaves the
    // previous document whole.
    TBitmap source = picture;
    TBitmap sketch(picture.Width(), picture.Height());
    sketch.FillWhite();
    TBitmap color = picture;
    TBitmap sketchWork = picture;
    TBitmap colorWork = picture;

    ViewBitmap = std::move(picture);
    SourceBitmap = std::move(source);
    SketchLayer = std::move(sketch);
    ColorLayer = std::move(color);
    SketchWork = std::move(sketchWork);
    ColorWork = std::move(colorWork);
    LayerState.SketchVisible = true;
    LayerState.ColorVisible = true;
    LayerState.BlendingMode = BlendMultiply;
    PictureOpened = true;
}

void TDocument::InitialiseProject()
{
    RebuildAll();
    SketchWork = ViewBitmap;
    ColorWork = ViewBitmap;
    PictureOpened = true;
}

void TDocument::SizeViewToLayers() { ViewBitmap.SetSize(SketchLayer.Width(), SketchLayer.Height()); }

void TDocument::TakeEffectResult(const TEffectSettings& settings)
{
    // The settings come first so that the rebuilt composite already shows
    // the effect's own blending.
    LayerState = LayerStateForEffect(LayerState, settings);
    RebuildAll();
}

void TDocument::TakeEffectResult(TBitmap sketch, TBitmap color, const TEffectSettings& settings)
{
    SketchLayer = std::move(sketch);
    ColorLayer = std::move(color);
    TakeEffectResult(settings);
}

TLayerState LayerStateForEffect(TLayerState state, const TEffectSettings& settings)
{
    const std::int32_t blendMode = settings.BlendMode;
    const std::int32_t opacity = settings.Opacity;
    state.BlendingMode = blendMode == EffectBlendMultiply ? BlendMultiply : BlendOpacity;
    state.Opacity = std::clamp<std::int32_t>(opacity, MinOpacity, MaxOpacity);
    state.SketchVisible = true;
    state.ColorVisible = true;
    return state;
}
