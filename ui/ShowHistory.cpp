#include "ShowHistory.h"

#include "History.h"

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

// Designed sizes at 96 dots per inch: the narrow fixed column, the two text
// columns, and the row height.
constexpr int FixedColumnWidth = 11;
constexpr int OperateWidth = 72;
constexpr int CommentWidth = 368;
constexpr int RowHeight = 18;
constexpr int DesignedHeight = 154;

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

    StringGrid1 = new QTableWidget(0, 2, this);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->setHorizontalHeaderLabels({tr("Operate"), tr("Comment")});
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setWordWrap(false);
    StringGrid1->setTextElideMode(Qt::ElideRight);
    StringGrid1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    const int rowHeight = std::max(RowHeight, QFontMetrics(font()).height() + 4);
    QHeaderView* rows = StringGrid1->verticalHeader();
    // The vertical header is the grid's narrow fixed first column.
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);
    rows->setFixedWidth(FixedColumnWidth);
    rows->setHighlightSections(false);

    QHeaderView* columns = StringGrid1->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setHighlightSections(false);
    columns->setMinimumSectionSize(16);
    // Wide enough for the usual operation names; longer texts show whole in
    // their tooltips.
    const int operateWidth = QFontMetrics(font()).horizontalAdvance(QStringLiteral("Text Balloon")) + 12;
    StringGrid1->setColumnWidth(0, std::max(OperateWidth, operateWidth));
    StringGrid1->setColumnWidth(1, CommentWidth);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(StringGrid1, 1);
    layout->addWidget(StatusBar1);

    resize(ColumnWidth(this), std::max(DesignedHeight, rowHeight * 6 + StatusBar1->sizeHint().height()));

    connect(StringGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { StringGrid1SelectCell(current.row()); });
}

void TFrmHistory::RefreshHistoryGrid()
{
    // A choice still waiting names a row of the grid as it was.
    PendingRow = -1;
    SuppressSelect = true;
    const int count = Ring.RowCount();
    StringGrid1->setRowCount(count);
    StringGrid1->setVerticalHeaderLabels(QStringList(count, QString()));
    const int current = Ring.CurrentRow();
    for (int row = 1; row <= count; ++row) {
        const int slot = Ring.SlotOfRow(row);
        for (int column = 0; column < 2; ++column) {
            const std::string& text = column == 0 ? Ring.Operation(slot) : Ring.Comment(slot);
            QTableWidgetItem* item = Cell(StringGrid1, row - 1, column);
            item->setText(QString::fromStdString(text));
            item->setToolTip(item->text());
        }
        PaintRow(row - 1, row > current);
    }
    if (count > 0 && StringGrid1->currentRow() != current - 1)
        StringGrid1->setCurrentCell(current - 1, 0);
    SuppressSelect = false;
}

void TFrmHistory::PaintRow(int tableRow, bool redoable)
{
    for (int column = 0; column < 2; ++column) {
        QTableWidgetItem* item = StringGrid1->item(tableRow, column);
        item->setForeground(redoable ? QBrush(RedoableText) : QBrush());
        item->setBackground(redoable ? QBrush(Qt::white) : QBrush());
    }
}

void TFrmHistory::showEvent(QShowEvent* event)
{
    RefreshHistoryGrid();
    TPanelWindow::showEvent(event);
}

void TFrmHistory::StringGrid1SelectCell(int tableRow)
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
