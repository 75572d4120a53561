#!/usr/bin/python3
"""How much of a photo's subject an effect result keeps, and how much of a
cartoon it still is.

    docs/fit-measures.py PHOTO RESULT [RESULT...]

For each RESULT (the photo rendered by lumenquilla-render, same size) it
prints three shares, in percent:

  edges   of the photo's long edges (contours at least 3 % of the picture's
          long side, found at a 1000-pixel scale), those where the result
          still shows a step of at least 24 levels within two pixels;
  points  of the photo's small bright details (a pixel at least 30 levels
          brighter than every pixel 4 pixels away), those whose centre still
          differs from its ring by at least 20 levels in the result;
  flat    of the result's pixels, those whose 3 x 3 neighbourhood is one
          colour (every channel exactly equal): a cartoon is mostly flat,
          a photo almost never.

Needs python3-numpy, python3-scipy and python3-skimage (Debian).
"""
import sys

import numpy as np
from PIL import Image
from scipy import ndimage
from skimage import feature, measure

Image.MAX_IMAGE_PIXELS = None
WorkingSide = 1000


def load(path):
    return np.asarray(Image.open(path).convert("RGB")).astype(np.int32)


def luma(rgb):
    return (rgb[..., 0] * 77 + rgb[..., 1] * 150 + rgb[..., 2] * 29) >> 8


def reduced(rgb):
    h, w = rgb.shape[:2]
    factor = max(1, int(round(max(h, w) / WorkingSide)))
    if factor == 1:
        return rgb
    h2, w2 = h // factor, w // factor
    cut = rgb[: h2 * factor, : w2 * factor]
    return cut.reshape(h2, factor, w2, factor, -1).mean(axis=(1, 3))


def long_edges(photo):
    grey = luma(reduced(photo).astype(np.int32)).astype(float)
    edges = feature.canny(grey, sigma=2.0, low_threshold=8, high_threshold=20)
    labels = measure.label(edges, connectivity=2)
    sizes = np.bincount(labels.ravel())
    long_enough = sizes >= 0.03 * max(grey.shape)
    long_enough[0] = False
    return long_enough[labels]


def edges_kept(photo, result):
    wanted = long_edges(photo)
    grey = luma(reduced(result).astype(np.int32)).astype(float)
    span = ndimage.maximum_filter(grey, size=5) - ndimage.minimum_filter(grey, size=5)
    total = wanted.sum()
    return 100.0 * (wanted & (span >= 24)).sum() / total if total else float("nan")


def ring_max(grey, r):
    shifts = [(-r, 0), (r, 0), (0, -r), (0, r), (-r, -r), (-r, r), (r, -r), (r, r)]
    return np.maximum.reduce([np.roll(grey, s, axis=(0, 1)) for s in shifts])


def ring_mean(grey, r):
    shifts = [(-r, 0), (r, 0), (0, -r), (0, r), (-r, -r), (-r, r), (r, -r), (r, r)]
    return np.mean([np.roll(grey, s, axis=(0, 1)) for s in shifts], axis=0)


def points_kept(photo, result):
    grey = luma(photo)
    local = grey == ndimage.maximum_filter(grey, size=3)
    points = local & (grey - ring_max(grey, 4) >= 30)
    points[:4, :] = points[-4:, :] = points[:, :4] = points[:, -4:] = False
    total = points.sum()
    if not total:
        return float("nan"), 0
    out = luma(result).astype(float)
    apart = np.abs(out - ring_mean(out, 4)) >= 20
    return 100.0 * (points & apart).sum() / total, total


def flat_share(result):
    flat = np.ones(result.shape[:2], bool)
    for c in range(3):
        ch = result[..., c]
        span = ndimage.maximum_filter(ch, size=3) - ndimage.minimum_filter(ch, size=3)
        flat &= span == 0
    return 100.0 * flat.mean()


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    photo = load(sys.argv[1])
    for path in sys.argv[2:]:
        result = load(path)
        if result.shape != photo.shape:
            sys.exit(f"{path}: not the photo's size")
        points, count = points_kept(photo, result)
        print(f"{path}\tedges {edges_kept(photo, result):5.1f}\tpoints {points:5.1f} (of {count})"
              f"\tflat {flat_share(result):5.1f}")


if __name__ == "__main__":
    main()
