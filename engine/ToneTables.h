#pragma once

#include <cstdint>

// The lookup tables of the colouring layer's tone steps, built apart from the
// pixel loops so that the same tables serve region buffers and rectangles of
// a picture. Pixels are three bytes, blue, green, red.

// Limits of the controls that feed the tables; stored settings outside them
// are held to them here.
constexpr int ContrastLimit = 255;
constexpr int SaturationLimit = 127;

// One table per channel.
struct TChannelTables {
    std::uint8_t Blue[256];
    std::uint8_t Green[256];
    std::uint8_t Red[256];
};

// Entry i of a channel = clamp(i + offset, 0, 255), for any offset.
void BuildOffsetTables(int red, int green, int blue, TChannelTables& tables);
// The contrast table around the pivot 253, the same for all three channels.
void BuildContrastTable(int contrast, std::uint8_t table[256]);
void BuildContrastTables(int contrast, TChannelTables& tables);
// The contrast factor K: contrast when negative, else contrast*(contrast+16) div 17.
int ContrastFactor(int contrast);

// Saturation: each channel c becomes clamp(A[c] + G[red + green + blue], 0, 255).
struct TSaturationTables {
    std::uint16_t A[256];
    std::int32_t G[768];
};
void BuildSaturationTables(int saturation, TSaturationTables& tables);
// The saturation factor K (256 would be neutral; 0 makes grey).
int SaturationFactor(int saturation);

bool IsIdentity(const TChannelTables& tables);

// Pixel loops over `pixels` packed pixels; source and destination may be the
// same memory.
void MapChannels(const std::uint8_t* source, std::uint8_t* destination, int pixels, const TChannelTables& tables);
void Saturate(const std::uint8_t* source, std::uint8_t* destination, int pixels, const TSaturationTables& tables);
