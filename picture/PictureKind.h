#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

// What a file holds, told by its first bytes (its magic), never by its name:
// a photo saved as ".jpg" by a program that wrote PNG still opens.
enum class TPictureKind { Unknown, Bitmap, Jpeg, Png, WebP, Tiff, Heif };

// Bytes enough for PictureKindOf to decide (a HEIF file lists its brands
// within them).
constexpr std::size_t PictureKindBytes = 64;

// HEIF stands for both HEIC and AVIF (one container, told apart by the
// decoder).
TPictureKind PictureKindOf(const std::uint8_t* data, std::size_t size);

// Whether an ISO media file's "ftyp" box names one of the brands (four
// letters each), as its major brand or a compatible one.
bool FtypNamesBrand(const std::uint8_t* data, std::size_t size, std::initializer_list<const char*> brands);
