#include "ui/PanelPlacement.h"

TPanelPlaces PanelPlaces(const QRect& desktop, const TPanelSizes& sizes, int scrollBarWidth)
{
    const int left = desktop.left();
    const int top = desktop.top();
    const int width = desktop.width();
    const int height = desktop.height();
    TPanelPlaces places;

    places.Tools = QRect(QPoint(left, top + (height - sizes.Tools.height()) / 3), sizes.Tools);

    const int columnWidth = sizes.History.width();
    const int columnLeft = left + width - columnWidth - scrollBarWidth;
    const int stack = sizes.ToolOption.height() + sizes.Layers.height() + sizes.History.height();
    const bool crowded = height < stack;

    const int historyTop = crowded ? top : top + (height - stack) / 3;
    places.History = QRect(columnLeft, historyTop, columnWidth, sizes.History.height());
    const int layersTop = crowded ? top + height / 3 : historyTop + sizes.History.height();
    places.Layers = QRect(columnLeft, layersTop, columnWidth, sizes.Layers.height());
    const int optionTop = crowded ? top + height * 2 / 3 : layersTop + sizes.Layers.height();
    places.ToolOption = QRect(columnLeft, optionTop, columnWidth, sizes.ToolOption.height());
    return places;
}

QRect KeptInside(const QRect& place, const QRect& area)
{
    QRect kept = place;
    if (kept.right() > area.right())
        kept.moveRight(area.right());
    if (kept.bottom() > area.bottom())
        kept.moveBottom(area.bottom());
    if (kept.left() < area.left())
        kept.moveLeft(area.left());
    if (kept.top() < area.top())
        kept.moveTop(area.top());
    return kept;
}

QRect PreviewPlace(const TProgramOptions& options, const QRect& workArea, const TPreviewWindowSizes& sizes,
                   const QMargins& frame)
{
    const int R = workArea.x() + workArea.width(), B = workArea.y() + workArea.height();
    // By value: the record's fields are packed.
    const int customWidth = options.CustomWidth, customHeight = options.CustomHeight;
    const int lastLeft = options.LastLeft, lastTop = options.LastTop;
    const int lastWidth = options.LastWidth, lastHeight = options.LastHeight;

    QRect place(QPoint((R - sizes.Designed.width()) / 2, (B - sizes.Designed.height()) / 2), sizes.Designed);
    switch (TPreviewSizeMode(options.PreviewSizeMode)) {
    case TPreviewSizeMode::Custom:
        if (customWidth < R && customHeight < B)
            place = QRect((R - customWidth) / 2, (B - customHeight) / 2, customWidth, customHeight);
        break;
    case TPreviewSizeMode::Maximized: place = QRect(0, 0, R, B); break;
    case TPreviewSizeMode::Last:
        if (0 <= lastTop && lastTop <= B && 0 <= lastLeft && lastLeft <= R && 0 < lastWidth && lastWidth <= R &&
            0 < lastHeight && lastHeight <= B)
            place = QRect(lastLeft, lastTop, lastWidth, lastHeight);
        break;
    }
    const QSize border(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QSize size = place.size()
                           .expandedTo(sizes.Minimum)
                           .boundedTo(sizes.Maximum)
                           .boundedTo(workArea.size() - border)
                           .expandedTo(sizes.Minimum);
    const QRect framed = KeptInside(QRect(place.topLeft(), size + border), workArea);
    return QRect(framed.topLeft(), size);
}
