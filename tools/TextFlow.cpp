#include "tools/TextFlow.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace {

constexpr int Unlimited = 1 << 20;

int Ceil(double v) { return int(std::ceil(v - 1e-6)); }

} // namespace

TTextBlock::TTextBlock() = default;
TTextBlock::TTextBlock(TTextBlock&&) noexcept = default;
TTextBlock& TTextBlock::operator=(TTextBlock&&) noexcept = default;
TTextBlock::~TTextBlock() = default;

void TTextBlock::Draw(QPainter& painter, QPointF topLeft, double measure, TTextAlign align) const
{
    for (std::size_t i = 0, n = 0; i < Layouts.size(); ++i) {
        const QTextLayout& layout = *Layouts[i];
        for (int k = 0; k < layout.lineCount(); ++k, ++n) {
            const QTextLine line = layout.lineAt(k);
            const TFlowLine& flow = FlowLines[n];
            double offset = 0;
            if (align == TTextAlign::Center)
                offset = (measure - flow.Width) / 2;
            else if (flow.RightToLeft)
                offset = measure - flow.Width;
            // Whole pixels, so that stair-stepped text stays crisp and every
            // rendering of a line is the same.
            const double x = std::floor(topLeft.x() + offset + 0.5) - line.naturalTextRect().left();
            line.draw(&painter, QPointF(x, topLeft.y()));
        }
    }
}

TTextFlow::TTextFlow(const std::vector<std::string>& lines, const QFont& font)
    : Font(font)
{
    for (const std::string& line : lines)
        Paragraphs.push_back(QString::fromUtf8(line));
    Pitch = QFontMetrics(Font).height() + 2;
    Natural = WidestLine(Unlimited, QTextOption::NoWrap);
    // At no width at all every word takes a line of its own.
    Word = WidestLine(0, QTextOption::WordWrap);
}

int TTextFlow::WidestLine(int width, int wrapMode) const
{
    QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setWrapMode(QTextOption::WrapMode(wrapMode));
    double widest = 0;
    for (const QString& paragraph : Paragraphs) {
        QTextLayout layout(paragraph, Font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            widest = std::max(widest, line.naturalTextWidth());
        }
        layout.endLayout();
    }
    return Ceil(widest);
}

TTextBlock TTextFlow::Layout(int width, bool wrap) const
{
    TTextBlock block;
    block.BrokenAt = width;
    QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    const int fontHeight = Pitch - 2;
    int top = 0;
    double widest = 0;
    for (std::size_t i = 0; i < Paragraphs.size(); ++i) {
        auto layout = std::make_unique<QTextLayout>(Paragraphs[i], Font);
        layout->setTextOption(option);
        layout->beginLayout();
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(wrap ? width : Unlimited);
            line.setPosition(QPointF(0, top));
            // A line of a fallback font (CJK, emoji) may be taller than the
            // object's own.
            const int pitch = std::max(Ceil(line.height()), fontHeight) + 2;
            block.FlowLines.push_back(TFlowLine{int(i), line.textStart(), line.textLength(), top, pitch,
                                                line.naturalTextWidth(), Paragraphs[i].isRightToLeft()});
            widest = std::max(widest, line.naturalTextWidth());
            top += pitch;
        }
        layout->endLayout();
        block.Layouts.push_back(std::move(layout));
    }
    block.BlockWidth = Ceil(widest);
    block.BlockHeight = top;
    return block;
}

std::vector<int> TTextFlow::CandidateWidths(int narrowest) const
{
    narrowest = std::max(1, narrowest);
    std::vector<int> widths{std::max(Natural, 1)};
    while (widths.back() * 9 / 10 > narrowest)
        widths.push_back(widths.back() * 9 / 10);
    // The same steps whatever the narrowest, and the widest word among
    // them, so that a shorter list is part of a longer one.
    for (int extra : {narrowest, Word})
        if (extra >= narrowest && extra < widths.front() &&
            std::find(widths.begin(), widths.end(), extra) == widths.end())
            widths.push_back(extra);
    std::sort(widths.rbegin(), widths.rend());
    return widths;
}
