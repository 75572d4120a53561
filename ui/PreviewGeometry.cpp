#include "ui/PreviewGeometry.h"

#include <algorithm>
#include <cstdint>

int CentredScroll(int centre, int areaSize, int pictureSize)
{
    return std::clamp(centre - areaSize / 2, 0, std::max(pictureSize - areaSize, 0));
}

QSize FitSize(QSize picture, QSize area)
{
    if (picture.width() <= area.width() && picture.height() <= area.height())
        return picture;
    // The smaller of the two ratios, in integers: the side that fills the
    // area takes its size, the other follows, truncated.
    const std::int64_t pw = std::max(picture.width(), 1), ph = std::max(picture.height(), 1);
    const std::int64_t aw = std::max(area.width(), 1), ah = std::max(area.height(), 1);
    if (aw * ph <= ah * pw)
        return QSize(int(aw), std::max(1, int(ph * aw / pw)));
    return QSize(std::max(1, int(pw * ah / ph)), int(ah));
}

QPoint FitOrigin(QSize fit, QSize area)
{
    return QPoint(std::max((area.width() - fit.width()) / 2, 0), std::max((area.height() - fit.height()) / 2, 0));
}

QPoint FitToPicture(QPoint areaPoint, QSize picture, QSize fit, QSize area)
{
    const QPoint origin = FitOrigin(fit, area);
    // The centre of the reduced pixel, scaled up.
    const auto map = [](int at, int from, int reduced, int full) {
        const std::int64_t scaled =
            ((std::int64_t(at - from) * 2 + 1) * full) / (std::int64_t(std::max(reduced, 1)) * 2);
        return int(std::clamp<std::int64_t>(scaled, 0, std::max(full - 1, 0)));
    };
    return QPoint(map(areaPoint.x(), origin.x(), fit.width(), picture.width()),
                  map(areaPoint.y(), origin.y(), fit.height(), picture.height()));
}
