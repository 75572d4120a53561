#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little, "stored records are little-endian images of memory");

constexpr int ColorTableRows = 142;
constexpr int ColorTableRowSize = 129;
constexpr int ColorTableSize = ColorTableRows * ColorTableRowSize + 1; // 18319, with one spare byte

// Values of the record's choice fields. They are stored numbers: a preset
// file may hold any other value, which each step treats as the arithmetic says.
inline constexpr std::int32_t SketchTypeBlackAndWhite = 1, SketchTypeGrey = 2;
inline constexpr std::int32_t ScaleTypeFixed = 1, ScaleTypeAverage = 2;
inline constexpr std::int32_t SmoothTypeCircle = 0, SmoothTypeSquare = 1;
inline constexpr std::int32_t EffectBlendMultiply = 1, EffectBlendOpacity = 2;

// The effect settings record, byte for byte as preset files store it.
// Boolean fields are bytes: a file may hold any value there, and any non-zero
// value counts as set (a C++ bool holding 2 would be undefined behaviour).
// The picture the effect is computed from is not part of the record: in
// memory it travels beside it, and the first four bytes are only a placeholder.
#pragma pack(push, 1)
struct TEffectSettings {
    std::uint8_t Source[4];
    std::int32_t Left;
    std::int32_t Top;
    std::int32_t Width;
    std::int32_t Height;
    std::int32_t SketchType;
    std::int32_t Detail;
    std::int32_t Darkness;
    std::int32_t SketchSmooth;
    std::int32_t Sharper;
    std::uint8_t RemainDark;
    std::int32_t RemainThreshold;
    std::int32_t RemainDarkness;
    std::int32_t ScaleType;
    std::int32_t ScanFromOrigin;
    std::int32_t SmoothType;
    std::int32_t ColorScale;
    std::int32_t ColorSmooth;
    std::int32_t BorderBlur;
    std::int32_t Brightness;
    std::int32_t Contrast;
    std::int32_t Saturation;
    std::int32_t Red;
    std::int32_t Green;
    std::int32_t Blue;
    std::uint8_t DrawSketch;
    std::uint8_t DrawColor;
    std::int32_t BlendMode;
    std::int32_t Opacity;
    std::uint8_t ColorTable[ColorTableSize];
    std::int32_t WhiteLevel;
};
#pragma pack(pop)

static_assert(sizeof(TEffectSettings) == 18430);
static_assert(offsetof(TEffectSettings, Left) == 4);
static_assert(offsetof(TEffectSettings, SketchType) == 20);
static_assert(offsetof(TEffectSettings, Sharper) == 36);
static_assert(offsetof(TEffectSettings, RemainDark) == 40);
static_assert(offsetof(TEffectSettings, RemainThreshold) == 41);
static_assert(offsetof(TEffectSettings, RemainDarkness) == 45);
static_assert(offsetof(TEffectSettings, ScaleType) == 49);
static_assert(offsetof(TEffectSettings, ScanFromOrigin) == 53);
static_assert(offsetof(TEffectSettings, SmoothType) == 57);
static_assert(offsetof(TEffectSettings, ColorScale) == 61);
static_assert(offsetof(TEffectSettings, ColorSmooth) == 65);
static_assert(offsetof(TEffectSettings, BorderBlur) == 69);
static_assert(offsetof(TEffectSettings, Brightness) == 73);
static_assert(offsetof(TEffectSettings, Blue) == 93);
static_assert(offsetof(TEffectSettings, DrawSketch) == 97);
static_assert(offsetof(TEffectSettings, DrawColor) == 98);
static_assert(offsetof(TEffectSettings, BlendMode) == 99);
static_assert(offsetof(TEffectSettings, Opacity) == 103);
static_assert(offsetof(TEffectSettings, ColorTable) == 107);
static_assert(offsetof(TEffectSettings, WhiteLevel) == 18426);
