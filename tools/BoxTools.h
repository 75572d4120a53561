#pragma once

#include "tools/BoxObject.h"

// The colours an object is drawn in, read at every rendering.
struct TObjectColors {
    TToolColor Front;
    TToolColor Back;
};

// The margin between a box's edge and its text.
inline constexpr int TextMargin = 10;

// The text box of an ellipse of w x h, in box coordinates: centred, with its
// corners on the ellipse.
TObjectBox EllipseTextBox(int width, int height);

// The object images, w x h: a frame of the settings' border width in the
// front colour around a back-colour interior, with the lines of text in the
// front colour; the rectangle box on an opaque back colour, the ellipse box
// through a mask; the text box back colour all over.
void BuildRectangleBox(TObjectImage& image, int width, int height, const TObjectSettings& settings,
                       TObjectColors colors, TObjectFont& font);
void BuildEllipseBox(TObjectImage& image, int width, int height, const TObjectSettings& settings, TObjectColors colors,
                     TObjectFont& font);
void BuildTextBox(TObjectImage& image, int width, int height, const TObjectSettings& settings, TObjectColors colors,
                  TObjectFont& font);

// The rectangle box, the ellipse box and the text tool: one image builder
// each over the shared box editor.
class TBoxTool : public TBoxObjectTool {
public:
    TBoxTool(TToolEnvironment& environment, TToolCode code);

protected:
    void BuildImage(TObjectImage& image) override;
    bool HandlesWhileFloating() const override { return Code == TToolCode::Text; }
};
