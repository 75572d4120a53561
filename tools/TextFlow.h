#pragma once

#include "tools/ToolSettings.h"

#include <QFont>
#include <QPointF>
#include <QString>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

class QPainter;
class QTextLayout;

// One laid-out line: which characters of which paragraph it shows (UTF-16
// code units) and where it sits in its block.
struct TFlowLine {
    int Paragraph = 0;
    int Start = 0;
    int Length = 0;
    // From the block's top; the pitch is the line's height + 2.
    int Top = 0;
    int Pitch = 0;
    double Width = 0;
    bool RightToLeft = false;
};

// The lines of an object's text laid out at one width, one paragraph per
// memo line. Its size is the widest line (rounded up) by the sum of the
// pitches.
class TTextBlock {
public:
    TTextBlock();
    TTextBlock(TTextBlock&&) noexcept;
    TTextBlock& operator=(TTextBlock&&) noexcept;
    ~TTextBlock();

    int Width() const { return BlockWidth; }
    int Height() const { return BlockHeight; }
    // The width the lines were broken at.
    int LayoutWidth() const { return BrokenAt; }
    const std::vector<TFlowLine>& Lines() const { return FlowLines; }
    // Draws the lines with the block's top-left corner at `topLeft`, each
    // line aligned within `measure` pixels from there.
    void Draw(QPainter& painter, QPointF topLeft, double measure, TTextAlign align) const;

private:
    friend class TTextFlow;
    std::vector<std::unique_ptr<QTextLayout>> Layouts;
    std::vector<TFlowLine> FlowLines;
    int BlockWidth = 0;
    int BlockHeight = 0;
    int BrokenAt = 0;
};

// An object's text in one font, ready to be laid out at any width.
class TTextFlow {
public:
    TTextFlow(const std::vector<std::string>& lines, const QFont& font);

    bool Empty() const { return Paragraphs.empty(); }
    const std::vector<QString>& Text() const { return Paragraphs; }
    // Lines of at most `width` pixels: broken at word boundaries, a word
    // longer than a line between characters, when `wrap`; as typed when not.
    TTextBlock Layout(int width, bool wrap) const;
    // The widest paragraph unbroken, and the widest word.
    int NaturalWidth() const { return Natural; }
    int WidestWord() const { return Word; }
    // The height of one line of the font with its gap: what an empty text
    // still takes.
    int LinePitch() const { return Pitch; }
    // The narrowest width an oval tries: a word wider than its region then
    // breaks between characters.
    int NarrowestTried() const { return std::max(1, std::min(Word, Pitch)); }
    // The widths worth breaking the text at, widest first: from the natural
    // width down by a tenth at a time to `narrowest`, and the widest word.
    std::vector<int> CandidateWidths(int narrowest) const;

private:
    int WidestLine(int width, int wrapMode) const;

    std::vector<QString> Paragraphs;
    QFont Font;
    int Pitch = 0;
    int Natural = 0;
    int Word = 0;
};
