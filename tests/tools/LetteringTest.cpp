// Lettering: lines wrapped with the toolkit's text layout, balloons that
// fit their words, smooth edges, the thought and shout balloons, bent and
// second tails. Text is judged by what can be measured (which characters
// each line holds, how wide and how many lines there are), never by the
// glyphs of a font, which may be missing.
#include "tests/tools/ToolTestEnvironment.h"
#include "tools/Balloon.h"
#include "tools/BalloonTails.h"

#include <QTextBoundaryFinder>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

constexpr TToolColor Red{255, 0, 0};
constexpr TToolColor Blue{0, 0, 255};
constexpr TToolColor Black{0, 0, 0};
constexpr TObjectColors Colors{Red, Blue};

constexpr TBalloonKind Kinds[] = {TBalloonKind::Rectangle, TBalloonKind::Rounded, TBalloonKind::Ellipse,
                                  TBalloonKind::Thought, TBalloonKind::Shout};

const std::string TwelveWords = "Liftoff in ten seconds, so strap in and hold on to your helmets now!";

TObjectSettings Lettered(std::vector<std::string> lines, bool smooth = false)
{
    TObjectSettings settings;
    settings.FontName = "DejaVu Sans";
    settings.Lines = std::move(lines);
    settings.FitToText = true;
    settings.WrapWords = true;
    settings.SmoothEdges = smooth;
    settings.Align = TTextAlign::Center;
    return settings;
}

// The characters of each paragraph, line after line: the lines of a
// paragraph follow each other without a gap or an overlap and end with it.
void ExpectEveryCharacterLaidOut(const TTextFlow& flow, const TTextBlock& block)
{
    std::vector<int> next(flow.Text().size(), 0);
    int paragraph = 0;
    for (const TFlowLine& line : block.Lines()) {
        ASSERT_GE(line.Paragraph, paragraph);
        ASSERT_LT(std::size_t(line.Paragraph), flow.Text().size());
        // Every paragraph before this one is finished.
        for (; paragraph < line.Paragraph; ++paragraph)
            EXPECT_EQ(next[std::size_t(paragraph)], flow.Text()[std::size_t(paragraph)].size()) << paragraph;
        EXPECT_EQ(line.Start, next[std::size_t(paragraph)]);
        next[std::size_t(paragraph)] = line.Start + line.Length;
    }
    for (std::size_t p = 0; p < flow.Text().size(); ++p)
        EXPECT_EQ(next[p], flow.Text()[p].size()) << "paragraph " << p;
}

// Whether a line ends where the text may break (after a space, between CJK
// characters) rather than inside a word.
bool EndsAtABreak(const QString& paragraph, const TFlowLine& line)
{
    const int end = line.Start + line.Length;
    if (end >= paragraph.size())
        return true;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, paragraph);
    finder.setPosition(end);
    return finder.isAtBoundary();
}

} // namespace

TEST(Lettering, AFittedBalloonShowsTheWholeTextWhateverItIs)
{
    struct TCase {
        const char* Name;
        std::vector<std::string> Lines;
        // Lines laid out; -1 where the font decides.
        int LineCount;
    };
    const TCase cases[] = {
        {"short words", {"Hi! Go on, do it."}, -1},
        {"one long word", {"Supercalifragilisticexpialidocious"}, 1},
        {"twelve words", {TwelveWords}, -1},
        {"CJK",
         {"\u65e5\u672c\u8a9e\u306e\u6587\u7ae0\u306f\u5358\u8a9e\u306e\u9593\u306b\u7a7a\u767d\u304c"
          "\u306a\u3044\u306e\u3067\u3069\u3053\u3067\u3082\u6298\u308a\u8fd4\u305b\u308b"},
         -1},
        {"RTL",
         {"\u05e9\u05dc\u05d5\u05dd \u05dc\u05db\u05d5\u05dc\u05dd \u05de\u05d4 \u05e9\u05dc\u05d5\u05de\u05db\u05dd "
          "\u05d4\u05d9\u05d5\u05dd \u05d1\u05d1\u05d5\u05e7\u05e8"},
         -1},
        {"mixed", {"Caf\u00e9 \u65e5\u672c \u0645\u0631\u062d\u0628\u0627 \U0001F642\U0001F680 ok", "second line"}, -1},
        {"empty", {}, 0},
        {"only spaces", {"      "}, 1},
        {"newline at the end", {"Hello", ""}, 2},
    };
    for (const TCase& c : cases)
        for (TBalloonKind kind : Kinds)
            for (bool smooth : {false, true}) {
                SCOPED_TRACE(std::string(c.Name) + ", kind " + std::to_string(int(kind)) + (smooth ? ", smooth" : ""));
                const TObjectSettings settings = Lettered(c.Lines, smooth);
                TObjectFont font;
                TBalloonShape shape;
                FitBalloon(kind, shape, settings, font);
                const TBalloonText text = PlaceBalloonText(kind, shape, settings, font);
                const TTextBlock& block = text.Placed.Block;
                EXPECT_TRUE(text.Placed.Fits);
                EXPECT_TRUE(Holds(text.Region, block.Width(), block.Height()));
                ExpectEveryCharacterLaidOut(text.Flow, block);
                if (c.LineCount >= 0) {
                    EXPECT_EQ(int(block.Lines().size()), c.LineCount);
                }
                // A fitted balloon grows rather than break a word.
                for (const TFlowLine& line : block.Lines())
                    EXPECT_TRUE(EndsAtABreak(text.Flow.Text()[std::size_t(line.Paragraph)], line)) << line.Start;
                // Wider than high, and not a strip.
                EXPECT_GE(shape.Width, shape.Height);
                EXPECT_LE(shape.Width, 4 * shape.Height + 1);
                // The building says the same.
                TObjectImage image;
                BuildBalloon(image, kind, shape, settings, Colors, font);
                EXPECT_FALSE(image.TextCut);
            }
}

TEST(Lettering, TwelveWordsMakeASpeechBalloonOfAboutTwoToOne)
{
    for (TBalloonKind kind : {TBalloonKind::Rectangle, TBalloonKind::Rounded, TBalloonKind::Ellipse}) {
        TObjectFont font;
        TBalloonShape shape;
        FitBalloon(kind, shape, Lettered({TwelveWords}), font);
        const double ratio = double(shape.Width) / shape.Height;
        EXPECT_GE(ratio, 1.9) << int(kind);
        EXPECT_LE(ratio, 2.7) << int(kind);
        // More than one line, fewer than one a word.
        const TBalloonText text = PlaceBalloonText(kind, shape, Lettered({TwelveWords}), font);
        EXPECT_GT(text.Placed.Block.Lines().size(), 1u);
        EXPECT_LT(text.Placed.Block.Lines().size(), 6u);
    }
}

TEST(Lettering, AHandSizedBodyRewrapsAndGrowsDownRatherThanCut)
{
    for (TBalloonKind kind : Kinds) {
        SCOPED_TRACE(int(kind));
        TObjectSettings settings = Lettered({TwelveWords, "Supercalifragilisticexpialidocious"});
        settings.FitToText = false;
        TObjectFont font;
        TBalloonShape shape{0, 0, 120, 60, 0, 80};
        FitBalloon(kind, shape, settings, font);
        EXPECT_EQ(shape.Width, 120);
        EXPECT_GT(shape.Height, 60);
        const TBalloonText text = PlaceBalloonText(kind, shape, settings, font);
        EXPECT_TRUE(text.Placed.Fits);
        ExpectEveryCharacterLaidOut(text.Flow, text.Placed.Block);
        // The long word no longer fits a line: it is broken between
        // characters, and no line is wider than the region.
        const auto& lines = text.Placed.Block.Lines();
        EXPECT_GT(std::count_if(lines.begin(), lines.end(), [](const TFlowLine& l) { return l.Paragraph == 1; }), 1);
        for (const TFlowLine& line : lines)
            EXPECT_LE(line.Width, text.Region.Width());
        // The height is the least that holds the text.
        TBalloonShape shorter = shape;
        --shorter.Height;
        EXPECT_FALSE(PlaceBalloonText(kind, shorter, settings, font).Placed.Fits);
    }
}

TEST(Lettering, WithTheNewOptionsOffLinesAreCutAsBeforeAndTheCutIsReported)
{
    const TBalloonShape shape{0, 15, 100, 50, 0, 0};
    TObjectSettings settings;
    settings.FontName = "DejaVu Sans";
    settings.Lines = {"Liftoff in ten seconds!"};
    TObjectFont font;
    TObjectImage image;
    BuildBalloon(image, TBalloonKind::Rectangle, shape, settings, Colors, font);
    EXPECT_TRUE(image.TextCut);
    settings.Lines = {"Liftoff!"};
    BuildBalloon(image, TBalloonKind::Rectangle, shape, settings, Colors, font);
    EXPECT_FALSE(image.TextCut);

    // Wrapped, the same words fit the same body, which grows to hold them.
    settings.Lines = {"Liftoff in ten seconds!"};
    settings.WrapWords = true;
    TBalloonShape grown = shape;
    FitBalloon(TBalloonKind::Rectangle, grown, settings, font);
    BuildBalloon(image, TBalloonKind::Rectangle, grown, settings, Colors, font);
    EXPECT_FALSE(image.TextCut);
    EXPECT_EQ(grown.Width, 100);
    EXPECT_GE(grown.Height, 50);
}

TEST(Lettering, SmoothEdgesAreBlendedTheSameEveryTimeAndStairStepsKeepTwoColours)
{
    TBalloonShape shape{10, 10, 160, 80, 30, 130};
    shape.Bend = {25, -5};
    for (TBalloonKind kind : Kinds)
        for (bool smooth : {false, true}) {
            SCOPED_TRACE(std::to_string(int(kind)) + (smooth ? " smooth" : ""));
            TObjectSettings settings = Lettered({"Smooth or not?"}, smooth);
            settings.FitToText = false;
            settings.BorderWidth = 2;
            TObjectFont font;
            TObjectImage first, second;
            BuildBalloon(first, kind, shape, settings, Colors, font);
            BuildBalloon(second, kind, shape, settings, Colors, font);
            EXPECT_EQ(first.Paint, second.Paint);
            EXPECT_EQ(first.Alpha, second.Alpha);
            EXPECT_EQ(first.Mask, second.Mask);

            // Pixels that are neither colour, nor (outside the shape) nothing.
            int blends = 0;
            for (int y = 0; y < first.Paint.Height(); ++y)
                for (int x = 0; x < first.Paint.Width(); ++x) {
                    const TToolColor c = PixelAt(first.Paint, x, y);
                    blends += !(c == Red || c == Blue || c == Black);
                }
            const std::set<std::uint8_t> alphas(first.Alpha.begin(), first.Alpha.end());
            if (smooth) {
                EXPECT_TRUE(first.Blended);
                EXPECT_GT(blends, 0);
                EXPECT_GT(alphas.size(), 2u);
            } else {
                // Every text and outline pixel is the front colour.
                EXPECT_EQ(blends, 0);
                EXPECT_TRUE(alphas.empty() || alphas == (std::set<std::uint8_t>{0, 255}));
                EXPECT_EQ(first.Blended, kind == TBalloonKind::Thought || kind == TBalloonKind::Shout);
            }
        }
}

TEST(Lettering, ABlendedImageLiesOverTheLayerByItsCoverage)
{
    // One row: nothing, all, and three partial coverages over grey 100, of
    // premultiplied white (its colour is its coverage).
    TObjectImage image;
    image.Blended = true;
    image.Paint = TBitmap(5, 1);
    image.Alpha = {0, 255, 128, 1, 254};
    for (int x = 0; x < 5; ++x)
        SetPixel(image.Paint, x, 0, image.Alpha[std::size_t(x)], image.Alpha[std::size_t(x)],
                 image.Alpha[std::size_t(x)]);
    const auto row = [](const TBitmap& layer, int y) {
        std::vector<int> values;
        for (int x = 0; x < layer.Width(); ++x)
            values.push_back(PixelAt(layer, x, y).G);
        return values;
    };
    TBitmap layer(7, 2);
    layer.Fill(100, 100, 100);
    WriteObjectImage(layer, image, 2, 1);
    // 128 + 100 * 127 / 255 = 177.8; 1 + 100 * 254 / 255 = 100.6;
    // 254 + 100 / 255 = 254.4.
    EXPECT_EQ(row(layer, 0), (std::vector<int>{100, 100, 100, 100, 100, 100, 100}));
    EXPECT_EQ(row(layer, 1), (std::vector<int>{100, 100, 100, 255, 178, 101, 254}));
    // Only what lands on the layer is written.
    layer.Fill(100, 100, 100);
    WriteObjectImage(layer, image, -3, 0);
    WriteObjectImage(layer, image, 5, 1);
    WriteObjectImage(layer, image, 0, 2);
    EXPECT_EQ(row(layer, 0), (std::vector<int>{101, 254, 100, 100, 100, 100, 100}));
    EXPECT_EQ(row(layer, 1), (std::vector<int>{100, 100, 100, 100, 100, 100, 255}));
}

TEST(Lettering, TailsBendThroughTheirMiddleHandleAndASecondTailPointsElsewhere)
{
    // Body (100, 100) - (200, 160), centre (150, 130); tail tip (60, 230).
    TBalloonShape shape{100, 100, 100, 60, 60, 230};
    const TToolPoint straight = BendHandle(shape.Centre(), shape.Tip(), {});
    EXPECT_EQ(straight, (TToolPoint{105, 180}));
    EXPECT_EQ(BalloonHitTest(shape, straight), HitTailBend);

    // Drag the middle handle out to the left, then add a second tail and
    // bend that one too.
    DragBalloon(shape, HitTailBend, {70, 170}, straight, {100, 100});
    EXPECT_EQ(shape.Bend, (TToolPoint{-35, -10}));
    EXPECT_EQ(BendHandle(shape.Centre(), shape.Tip(), shape.Bend), (TToolPoint{70, 170}));
    shape.Tail2 = TToolPoint{260, 220};
    EXPECT_EQ(BalloonHitTest(shape, {259, 221}), HitTail2);
    const TToolPoint second = BendHandle(shape.Centre(), *shape.Tail2, {});
    EXPECT_EQ(BalloonHitTest(shape, second), HitTail2Bend);
    DragBalloon(shape, HitTail2Bend, {second.X + 20, second.Y}, second, {100, 100});
    DragBalloon(shape, HitTail2, {270, 230}, *shape.Tail2, {100, 100});
    EXPECT_EQ(shape.Tail2, (TToolPoint{270, 230}));
    // Moving the body leaves every tip where it is.
    DragBalloon(shape, HitBody, {160, 140}, {150, 130}, {100, 100});
    EXPECT_EQ(shape.X, 110);
    EXPECT_EQ(shape.Tip(), (TToolPoint{60, 230}));
    EXPECT_EQ(shape.Tail2, (TToolPoint{270, 230}));

    for (TBalloonKind kind : Kinds)
        for (bool smooth : {false, true}) {
            SCOPED_TRACE(std::to_string(int(kind)) + (smooth ? " smooth" : ""));
            TObjectSettings settings = Lettered({}, smooth);
            settings.FitToText = false;
            TObjectFont font;
            TObjectImage image;
            BuildBalloon(image, kind, shape, settings, Colors, font);
            const TObjectBox bounds = BalloonImageBounds(kind, shape, settings);
            ASSERT_EQ(image.Paint.Width(), bounds.Width());
            ASSERT_EQ(image.Paint.Height(), bounds.Height());
            TBitmap layer(400, 300);
            layer.Fill(128, 128, 128);
            WriteObjectImage(layer, image, bounds.Left, bounds.Top);
            const TToolColor grey{128, 128, 128};
            // Both tails show towards their tips, by way of their bends (a
            // thought's puffs near the line, a speech tail on it).
            for (TToolPoint tip : {shape.Tip(), *shape.Tail2}) {
                const TTailLine line(shape.Centre(), tip, tip == shape.Tip() ? shape.Bend : shape.Bend2);
                int covered = 0;
                for (double t : {0.7, 0.8, 0.9}) {
                    const QPointF p = line.At(t);
                    for (int dy = -2; dy <= 2; ++dy)
                        for (int dx = -2; dx <= 2; ++dx)
                            covered += !(PixelAt(layer, int(p.x()) + dx, int(p.y()) + dy) == grey);
                }
                EXPECT_GT(covered, 0) << tip.X;
            }
            // Between the two tails, below the body, the picture shows.
            EXPECT_EQ(PixelAt(layer, 165, 225), grey);
        }
}

TEST(Lettering, AThoughtTrailShrinksTowardsItsTip)
{
    const TTailLine line({100, 100}, {100, 220}, {});
    const std::vector<QRectF> trail = ThoughtTrail(line, 60, 30, 30);
    ASSERT_EQ(trail.size(), 3u);
    for (std::size_t i = 0; i < trail.size(); ++i) {
        // Outside the body, along the line, each further and smaller.
        EXPECT_GT(trail[i].top(), 130);
        EXPECT_DOUBLE_EQ(trail[i].center().x(), 100);
        if (i > 0) {
            EXPECT_GT(trail[i].center().y(), trail[i - 1].bottom());
            EXPECT_LT(trail[i].height(), trail[i - 1].height());
        }
    }
    EXPECT_LE(trail.back().bottom(), 221);
    // A tip inside the body has no trail.
    EXPECT_TRUE(ThoughtTrail(TTailLine({100, 100}, {120, 110}, {}), 60, 30, 30).empty());
}
