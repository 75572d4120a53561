// The colours table shipped with the program.
//
// What a row does. With Color Scale v the colouring step splits each colour
// channel into the bands of row v: a value c lies in band k when
// b(k) <= c < b(k+1). "Average" scaling joins neighbouring pixels whose three
// channels share their bands into one region of one colour; "Fixed Color"
// replaces each channel by the lower boundary of its band. Fewer, wider bands
// flatten more.
//
// What we saw. Average scaling of the sample portrait through evenly spaced
// rows gives a bold poster with 2 bands, a clean cartoon with 3 to 4, a light
// flattening with 6 to 8, and from about 12 bands on it is hard to tell from
// the photo. Fixed colours stay visibly posterised much longer, still at 16
// bands, because every value drops to the bottom of its band. One band alone
// is useless: the whole picture becomes one colour (or black with fixed
// colours).
//
// The slider. A step of the slider should look like a step anywhere on it.
// How much a step changes the picture depends on how much it narrows the
// bands relative to their width (on the portrait the mean difference from
// the photo fell roughly as a power of the number of bands), so the number of
// bands grows geometrically: 2 bands at Color Scale 1, 16 at 142, each step
// about 1.5 % more. Renders of ten values from 1 to 142 on a portrait, a cat
// and a landscape showed why not more: with 40 bands at the top (an earlier
// design) average scaling could no longer be told from the photo from about
// 12 bands on, so the top 40 % of the slider changed nothing visible in the
// mode the dialog opens with. With 16 the average pictures keep changing up
// to about 120 and fixed colours stay visibly posterised at 142, so the
// whole slider does something in both modes. The strong poster looks lie in
// the first tens, cartoons around 10 to 40 (the dialog opens at 10: three
// bands, a clear cartoon), light flattening further on.
//
// Small steps. A whole number of equal bands per row would make the count
// jump (2, 3, 4 ...), and those jumps are the largest changes the slider
// could make. Instead each row has bands of one width, 1/bands of the tone
// range, laid from black upwards, and whatever is left at the top forms a
// narrower last band. As the width shrinks from row to row every boundary
// slides down a little and a new one enters at the top, where it first
// splits off only the brightest values; so consecutive rows differ by a
// small shift of the boundaries, never by a jump. For evenly spread values
// the distance from the photo falls with every row (the narrower bands
// outweigh the growing top band until it splits); a real photo's histogram
// adds small wobbles to that.
//
// Dark and mid tones. Evenly spaced in byte values, the bands swallow the
// dark parts of a picture: suit folds, hair and shadows go to one black blob
// in a cartoon, while highlights keep several bands. The boundaries are
// therefore spaced evenly in a tone scale t and placed at 255 * t^1.3, which
// gives the dark half of the range about 60 % of the bands. A stronger curve
// (1.6) merged faces into light backgrounds; 1.3 kept both faces and dark
// details apart on the sample photos.
//
// The ends. Every row starts at 0 and ends at 255, so that every value 0..254
// has a band. 255 has none (a boundary is a byte, and the last pair would need
// a value below the upper boundary): the colouring step keeps the previous
// band for it. The bytes after a row's last boundary are 0, which makes the
// colouring step's extra pairs after the last boundary, (255, 0) and (0, 0),
// match no value. The spare byte after the last row is 0.
#include "settings/ColorTableDesign.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

constexpr double CoarsestBands = 2.0; // Color Scale 1
constexpr double FinestBands = 16.0; // Color Scale 142
constexpr double ToneCurve = 1.3; // boundary = 255 * t^ToneCurve

} // namespace

std::vector<std::uint8_t> ColorTableRow(int colorScale)
{
    if (colorScale < 1 || colorScale > ColorTableRows)
        throw std::out_of_range("no colours table row for Color Scale " + std::to_string(colorScale));
    const double progress = double(colorScale - 1) / double(ColorTableRows - 1);
    const double bands = CoarsestBands * std::pow(FinestBands / CoarsestBands, progress);
    const double width = 1.0 / bands;

    std::vector<std::uint8_t> row{0};
    // Stop short of t = 1 so that a whole number of bands does not produce a
    // last band of zero width.
    for (int k = 1; k * width < 1.0 - 1e-9; ++k) {
        const long value = std::lround(255.0 * std::pow(k * width, ToneCurve));
        // Near black the curve is flat, and two boundaries may round to the
        // same byte; the second one is dropped.
        if (value > row.back() && value < 255)
            row.push_back(std::uint8_t(value));
    }
    row.push_back(255);
    return row;
}

void DesignColorTable(std::span<std::uint8_t, ColorTableSize> table)
{
    std::fill(table.begin(), table.end(), std::uint8_t(0));
    for (int v = 1; v <= ColorTableRows; ++v) {
        const std::vector<std::uint8_t> row = ColorTableRow(v);
        if (row.size() > std::size_t(ColorTableRowSize - 1))
            throw std::length_error("a colours table row holds at most 128 boundaries");
        std::uint8_t* out = table.data() + std::size_t(v - 1) * ColorTableRowSize;
        out[0] = std::uint8_t(row.size());
        std::copy(row.begin(), row.end(), out + 1);
    }
}
