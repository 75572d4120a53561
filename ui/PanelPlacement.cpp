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
