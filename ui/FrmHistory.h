#pragma once

#include "ui/PanelWindow.h"

#include <QColor>

class QStatusBar;
class QTableWidget;
class THistory;

// The history panel: lists the undo history's states, oldest first, with
// their operation and comment, marks the current one as the selected row and
// greys out the states Redo would reach. Choosing a row (by mouse or keys)
// emits RowChosen; the main window restores that state, reports a failure,
// and calls RefreshHistoryGrid.
class TFrmHistory : public TPanelWindow {
    Q_OBJECT

public:
    // Text colour of the rows after the current one, on white.
    static inline const QColor RedoableText{0x80, 0x80, 0x80};

    explicit TFrmHistory(THistory& history, QWidget* owner = nullptr);

    THistory& History() const { return Ring; }

    // Rewrites the grid from the history and selects the current row. The
    // selection it moves is not taken for the user's.
    void RefreshHistoryGrid();

    // Grid row r (1 = oldest listed state) is table row r - 1: the header row
    // of the grid is the table's header.
    QTableWidget* StateGrid = nullptr;
    QStatusBar* StatusBar = nullptr;

signals:
    // The user selected grid row `row` (1 = the oldest listed state).
    void RowChosen(int row);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void StateGridSelectCell(int tableRow);
    void EmitChosenRow();
    void PaintRow(int tableRow, bool redoable);

    THistory& Ring;
    // Set while the panel itself moves the grid's selection.
    bool SuppressSelect = false;
    // The row the user chose last, reported once the event that chose it is
    // finished; -1 when none is waiting. A key held down reports only the
    // row it stops on, since each report reads a whole state file.
    int PendingRow = -1;
};
