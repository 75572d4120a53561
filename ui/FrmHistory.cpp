#include "ui/FrmHistory.h"

#include "document/History.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

// Designed sizes at 96 dots per inch: the narrow fixed column, the operation
// column, the row height and the panel's height.
constexpr int FixedColumnWidth = 11;
constexpr int OperateWidth = 72;
constexpr int RowHeight = 18;
constexpr int DesignedHeight = 154;

// A comment that is a file's full path shows the file's name first and its
// folder after it, so that eliding a long path keeps what tells two pictures
// apart; every other comment shows as it is.
QString ShownComment(const QString& comment)
{
    const QFileInfo file(comment);
    if (!comment.startsWith('/') || file.fileName().isEmpty())
        return comment;
    return file.fileName() + QStringLiteral(" \u2014 ") + file.path();
}

QTableWidgetItem* Cell(QTableWidget* grid, int row, int column)
{
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        grid->setItem(row, column, item);
    }
    return item;
}

} // namespace

TFrmHistory::TFrmHistory(THistory& history, QWidget* owner)
    : TPanelWindow(tr("History"), owner)
    , Ring(history)
{
    setObjectName("FrmHistory");

    StateGrid = new QTableWidget(0, 2, this);
    StateGrid->setObjectName("StringGrid1");
    StateGrid->setHorizontalHeaderLabels({tr("Operate"), tr("Comment")});
    StateGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    StateGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    StateGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StateGrid->setWordWrap(false);
    // The comment column takes what the panel leaves and elides in the
    // middle; the whole text is in each cell's tooltip, so there is nothing
    // to scroll to sideways.
    StateGrid->setTextElideMode(Qt::ElideMiddle);
    StateGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    const int rowHeight = std::max(RowHeight, QFontMetrics(font()).height() + 4);
    QHeaderView* rows = StateGrid->verticalHeader();
    // The vertical header is the grid's narrow fixed first column.
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);
    rows->setFixedWidth(FixedColumnWidth);
    rows->setHighlightSections(false);

    QHeaderView* columns = StateGrid->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setHighlightSections(false);
    columns->setMinimumSectionSize(16);
    // Wide enough for the usual operation names; longer texts show whole in
    // their tooltips.
    const int operateWidth = QFontMetrics(font()).horizontalAdvance(QStringLiteral("Text Balloon")) + 12;
    StateGrid->setColumnWidth(0, std::max(OperateWidth, operateWidth));
    columns->setSectionResizeMode(1, QHeaderView::Stretch);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName("StatusBar1");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(StateGrid, 1);
    layout->addWidget(StatusBar);

    resize(ColumnWidth(this), std::max(DesignedHeight, rowHeight * 6 + StatusBar->sizeHint().height()));

    connect(StateGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { StateGridSelectCell(current.row()); });
}

void TFrmHistory::RefreshHistoryGrid()
{
    // A choice still waiting names a row of the grid as it was.
    PendingRow = -1;
    SuppressSelect = true;
    const int count = Ring.RowCount();
    StateGrid->setRowCount(count);
    StateGrid->setVerticalHeaderLabels(QStringList(count, QString()));
    const int current = Ring.CurrentRow();
    for (int row = 1; row <= count; ++row) {
        const int slot = Ring.SlotOfRow(row);
        for (int column = 0; column < 2; ++column) {
            const QString text = QString::fromStdString(column == 0 ? Ring.Operation(slot) : Ring.Comment(slot));
            QTableWidgetItem* item = Cell(StateGrid, row - 1, column);
            item->setText(column == 0 ? text : ShownComment(text));
            item->setToolTip(text);
        }
        PaintRow(row - 1, row > current);
    }
    if (count > 0 && StateGrid->currentRow() != current - 1)
        StateGrid->setCurrentCell(current - 1, 0);
    // Also when the user has scrolled the list away from it.
    if (count > 0)
        StateGrid->scrollToItem(StateGrid->item(current - 1, 0));
    SuppressSelect = false;
}

void TFrmHistory::PaintRow(int tableRow, bool redoable)
{
    for (int column = 0; column < 2; ++column) {
        QTableWidgetItem* item = StateGrid->item(tableRow, column);
        item->setForeground(redoable ? QBrush(RedoableText) : QBrush());
        item->setBackground(redoable ? QBrush(Qt::white) : QBrush());
    }
}

void TFrmHistory::showEvent(QShowEvent* event)
{
    RefreshHistoryGrid();
    TPanelWindow::showEvent(event);
}

void TFrmHistory::StateGridSelectCell(int tableRow)
{
    if (SuppressSelect || tableRow < 0 || Ring.RowCount() == 0)
        return;
    const bool waiting = PendingRow >= 0;
    PendingRow = tableRow + 1;
    if (!waiting)
        QTimer::singleShot(0, this, &TFrmHistory::EmitChosenRow);
}

void TFrmHistory::EmitChosenRow()
{
    const int row = std::exchange(PendingRow, -1);
    if (row >= 1 && row <= Ring.RowCount())
        emit RowChosen(row);
}
