#pragma once

// A history state of three different patterned pictures and unusual layer
// settings, for the state file tests.
#include "document/StateFile.h"
#include "tests/picture/TestPictures.h"

inline THistoryState PatternState(int width, int height, int sourceWidth, int sourceHeight)
{
    THistoryState state;
    state.Sketch = PatternPicture(width, height, 1);
    state.Color = PatternPicture(width, height, 2);
    state.Source = PatternPicture(sourceWidth, sourceHeight, 3);
    state.Layers = TLayerState{false, true, true, false, BlendOpacity, 37};
    return state;
}
