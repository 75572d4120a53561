#pragma once

// The byte-level pieces both kinds of history state file share.
#include "picture/Bitmap.h"

#include <zstd.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct THistoryState;
struct TLayerState;

// Frees zstd's contexts for std::unique_ptr.
struct TZstdFree {
    void operator()(ZSTD_CCtx* c) const { ZSTD_freeCCtx(c); }
    void operator()(ZSTD_DCtx* d) const { ZSTD_freeDCtx(d); }
};

// FNV-1a, the check value of a state's header or index.
std::uint64_t Fnv1a(const std::uint8_t* p, std::size_t size);

// Each byte is predicted from its neighbours of the same colour to the left,
// above and above left (left + above - above left) and the difference kept:
// for a photo it is small, for flat colour and paper it is zero. `up` is
// null for a first row; `vertical` is room for `bytes` bytes.
void FilterRow(const std::uint8_t* row, const std::uint8_t* up, std::uint8_t* vertical, std::uint8_t* out,
               std::size_t bytes);
// Undoes FilterRow in place, given the row above as already restored.
void UnfilterRow(std::uint8_t* row, const std::uint8_t* up, std::size_t bytes);

// Writes all of it, or throws TFileError naming `name`.
void WriteAll(int fd, const void* data, std::size_t size, const std::string& name);

// The state's pictures by number: 0 sketch, 1 colour, 2 source.
const TBitmap& PictureOf(const THistoryState& state, int i);
TBitmap& PictureOf(THistoryState& state, int i);

// Runs part(0), part(1) and part(2), the three pictures', side by side, and
// then throws the first of their failures, if any.
void ForEachPictureAtOnce(const std::function<void(int picture)>& part);

// The layer settings as six bytes: blending mode, opacity, then the sketch's
// and the colouring's visible and drawable flags. Reading holds each value to
// what the layers panel allows.
void PutLayerBytes(std::uint8_t* at, const TLayerState& layers);
TLayerState LayersFromBytes(const std::uint8_t* at);
