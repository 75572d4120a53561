#pragma once

// Blending modes of the composite, as the layers panel lists them.
inline constexpr int BlendMultiply = 0;
inline constexpr int BlendOpacity = 1;

// The opacity range of the layers panel's track bar.
inline constexpr int MinOpacity = 1;
inline constexpr int MaxOpacity = 99;

// The layer settings, held once in the document: the layers panel shows and
// edits them, the composite, the drawing tools, the adjustments and the
// project files read them.
struct TLayerState {
    bool SketchVisible = true;
    bool ColorVisible = true;
    bool SketchDrawable = true;
    bool ColorDrawable = true;
    int BlendingMode = BlendMultiply;
    // Weight of the sketch layer in percent when BlendingMode is BlendOpacity.
    int Opacity = 50;

    friend bool operator==(const TLayerState&, const TLayerState&) = default;
};
