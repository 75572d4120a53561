#pragma once

#include "document/LayerState.h"
#include "document/Rect.h"
#include "engine/EffectSettings.h"
#include "picture/Bitmap.h"

// The one picture that is open, with its two layers, the composite that is
// shown and the layer settings. The main window owns one; every other window
// reaches the pictures through it and writes into them in place.
class TDocument {
public:
    // Names one of the picture fields (not a picture), for ShownSketch and ShownColor.
    using TPictureField = TBitmap TDocument::*;

    // The photo the effect is computed from; shown when neither layer is visible.
    TBitmap SourceBitmap;
    // The grey line layer and the flat colouring layer.
    TBitmap SketchLayer;
    TBitmap ColorLayer;
    // The composite: what the view draws, Save writes and Copy places.
    TBitmap ViewBitmap;
    // Scratch pictures of the two layers; no meaning between operations.
    TBitmap SketchWork;
    TBitmap ColorWork;

    // Which picture the composite uses for each layer. An adjustment's live
    // preview points them at the work copies and back again.
    TPictureField ShownSketch = &TDocument::SketchLayer;
    TPictureField ShownColor = &TDocument::ColorLayer;

    TLayerState LayerState;
    // Set by the first successful open; never cleared.
    bool PictureOpened = false;

    const TBitmap& ShownSketchPicture() const { return this->*ShownSketch; }
    const TBitmap& ShownColorPicture() const { return this->*ShownColor; }

    // Recomputes ViewBitmap inside `rect` (picture coordinates, inclusive
    // edges, clamped to the pictures).
    void RebuildComposite(const TRect& rect);
    // Sizes ViewBitmap to SketchLayer and recomputes all of it.
    void RebuildAll();

    // The document's part of opening a photo: ViewBitmap takes the decoded
    // picture, SourceBitmap, ColorLayer and the work copies become copies of
    // it and SketchLayer a white picture of its size; both layers become
    // visible and the mode multiply (drawable flags and opacity are kept).
    // The layer settings are set before the caller records the "Open" state,
    // so that undoing to it shows the photo as it was opened. ViewBitmap holds
    // the photo itself until the caller's view refresh rebuilds it. If memory
    // runs out, nothing has changed.
    void InitialisePhoto(TBitmap picture);
    // After a project was read into the document: ViewBitmap is rebuilt at
    // the size of SketchLayer and the work copies become copies of it.
    void InitialiseProject();
    // After a history state was read: ViewBitmap takes the size of
    // SketchLayer; the caller's view refresh rebuilds what is visible.
    void SizeViewToLayers();
    // After the renderer has written SketchLayer and ColorLayer: both layers
    // become visible, the blending mode and opacity are those the effect
    // chose, and the whole composite is rebuilt.
    void TakeEffectResult(const TEffectSettings& settings);
    void TakeEffectResult(TBitmap sketch, TBitmap color, const TEffectSettings& settings);
};

// The layer settings an effect result brings: its record's BlendMode 1 means
// multiply, any other value the opacity mix; the opacity is kept within the
// layers panel's range.
TLayerState LayerStateForEffect(TLayerState state, const TEffectSettings& settings);
