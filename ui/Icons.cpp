#include "ui/Icons.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<TIcon, const char*>, 31> IconNames{{
    {TIcon::Open, "open"},
    {TIcon::Save, "save"},
    {TIcon::Copy, "copy"},
    {TIcon::Undo, "undo"},
    {TIcon::Redo, "redo"},
    {TIcon::ZoomIn, "zoom-in"},
    {TIcon::ZoomOut, "zoom-out"},
    {TIcon::ActualPixels, "actual-pixels"},
    {TIcon::Cartoon, "cartoon"},
    {TIcon::History, "history"},
    {TIcon::Layers, "layers"},
    {TIcon::Tools, "tools"},
    {TIcon::ToolOption, "tool-option"},
    {TIcon::Help, "help"},
    {TIcon::Pencil, "pencil"},
    {TIcon::Brush, "brush"},
    {TIcon::Eraser, "eraser"},
    {TIcon::PaintBucket, "paint-bucket"},
    {TIcon::Lighten, "lighten"},
    {TIcon::Darken, "darken"},
    {TIcon::RectangleBox, "rectangle-box"},
    {TIcon::EllipseBox, "ellipse-box"},
    {TIcon::Text, "text"},
    {TIcon::BalloonRectangle, "balloon-rectangle"},
    {TIcon::BalloonRounded, "balloon-rounded"},
    {TIcon::BalloonEllipse, "balloon-ellipse"},
    {TIcon::BalloonThought, "balloon-thought"},
    {TIcon::BalloonShout, "balloon-shout"},
    {TIcon::Hand, "hand"},
    {TIcon::Dropper, "dropper"},
    {TIcon::Application, "lumenquilla"},
}};

constexpr std::array<TIcon, IconNames.size()> MakeAllIcons()
{
    std::array<TIcon, IconNames.size()> icons{};
    for (std::size_t i = 0; i < IconNames.size(); ++i)
        icons[i] = IconNames[i].first;
    return icons;
}

constexpr std::array<TIcon, IconNames.size()> AllIconsTable = MakeAllIcons();

} // namespace

std::span<const TIcon> AllIcons() { return AllIconsTable; }

QString IconResource(TIcon icon)
{
    for (const auto& [key, name] : IconNames)
        if (key == icon)
            return QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name));
    return {};
}

QIcon IconFor(TIcon icon) { return QIcon(IconResource(icon)); }

std::optional<TIcon> ToolIcon(TToolCode code)
{
    switch (code) {
    case TToolCode::Pencil: return TIcon::Pencil;
    case TToolCode::Brush: return TIcon::Brush;
    case TToolCode::Eraser: return TIcon::Eraser;
    case TToolCode::PaintBucket: return TIcon::PaintBucket;
    case TToolCode::Lighten: return TIcon::Lighten;
    case TToolCode::Darken: return TIcon::Darken;
    case TToolCode::Rectangle: return TIcon::RectangleBox;
    case TToolCode::Ellipse: return TIcon::EllipseBox;
    case TToolCode::Text: return TIcon::Text;
    case TToolCode::BalloonRect: return TIcon::BalloonRectangle;
    case TToolCode::BalloonRounded: return TIcon::BalloonRounded;
    case TToolCode::BalloonEllipse: return TIcon::BalloonEllipse;
    case TToolCode::BalloonThought: return TIcon::BalloonThought;
    case TToolCode::BalloonShout: return TIcon::BalloonShout;
    case TToolCode::Hand: return TIcon::Hand;
    case TToolCode::Dropper: return TIcon::Dropper;
    default: return std::nullopt;
    }
}
