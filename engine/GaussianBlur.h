#pragma once

#include "engine/CancelToken.h"
#include "engine/Progress.h"

#include <cstdint>

class TWorkerPool;

// A symmetric Gaussian kernel: half-width Size (1..100) and 201 weights for
// the offsets -100..100, of which only -Size..Size are used once built.
struct TGaussKernel {
    int Size = 1;
    float Weights[201] = {};

    float At(int offset) const { return Weights[offset + 100]; }
    float& At(int offset) { return Weights[offset + 100]; }
};

// Builds the kernel for a radius: weights e^(-t*t/2) with t = offset/radius
// normalised, then outer pairs dropped while their mass stays below
// granularity/(2*maximum), and the rest normalised again. A radius that is
// not greater than 0 gives the identity kernel (Size 1, weights 0, 1, 0).
void BuildGaussKernel(TGaussKernel& kernel, double radius, double maximum, double granularity);

// Blurs width x height packed three-byte pixels with the kernel of `radius`
// (maximum 255, granularity 1): every row, then every column of the
// destination. Borders repeat the edge pixel; results are truncated. Source
// and destination may be the same buffer. Reports the steps "Blur Row" and
// "Blur Column" (two total-bar steps). Returns false when `cancel` stopped
// it: the destination then holds the rows, or the columns, already done. A
// pool shares the rows and columns out; the result is the same.
bool GaussianBlur(const std::uint8_t* source, std::uint8_t* destination, int width, int height, double radius,
                  const TProgressSink& progress = {}, TWorkerPool* pool = nullptr, TCancelToken* cancel = nullptr);

// Columns of one unit of the column pass; progress for a unit's columns is
// reported when the whole unit is done.
constexpr int BlurColumnStrip = 64;
