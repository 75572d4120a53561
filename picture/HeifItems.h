#pragma once

#include <cstddef>
#include <cstdint>

// Whether every image a HEIF file derives from others (an "iden" copy, an
// "iovl" overlay, a "grid") refers only to items that are images.
//
// libheif takes those references on trust: an identity or overlay image that
// names a missing item, or an Exif block, stops the whole program on an
// assertion inside the library while decoding. So the container's item list
// and references are read here first, and such a file is refused instead.
// Only the boxes that matter are read ("meta", "iinf", "infe", "iref"), the
// way libheif 1.15 reads them (the first of each, references one after the
// other whatever their boxes' sizes say): a check that read the file
// otherwise could pass what libheif then takes differently. A file that has
// none of them passes, and libheif judges it as usual.
bool DerivedImagesReferToImages(const std::uint8_t* data, std::size_t size);
