#include "Icons.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<TIcon, const char*>, 29> IconNames{{
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

std::optional<TIcon> ToolIcon(int toolCode)
{
    switch (toolCode) {
    case 1: return TIcon::Pencil;
    case 2: return TIcon::Brush;
    case 3: return TIcon::Eraser;
    case 4: return TIcon::PaintBucket;
    case 5: return TIcon::Lighten;
    case 6: return TIcon::Darken;
    case 23: return TIcon::RectangleBox;
    case 24: return TIcon::EllipseBox;
    case 27: return TIcon::Text;
    case 28: return TIcon::BalloonRectangle;
    case 29: return TIcon::BalloonRounded;
    case 30: return TIcon::BalloonEllipse;
    case 41: return TIcon::Hand;
    case 42: return TIcon::Dropper;
    default: return std::nullopt;
    }
}
