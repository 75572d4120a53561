#pragma once

#include <QWidget>

// A floating panel of the main window: a tool window owned by it, so that it
// stays above it, hides and shows with it and has a small title bar.
//
// The close box only hides the panel and emits ClosedByUser, so the main
// window can release the panel's menu check and tool bar button; hiding the
// panel from the program (hide()) emits nothing. Releasing the Delete key in
// the panel is passed on as DeleteKeyReleased, unless the key went to a text
// entry, where it deletes text.
class TPanelWindow : public QWidget {
    Q_OBJECT

public:
    TPanelWindow(const QString& caption, QWidget* owner);

    // The width the panels stacked at the right edge of the screen are laid
    // out for: at least the designed 235 pixels, more when the font needs it,
    // so that the three panels of the column can share one width.
    static int ColumnWidth(const QWidget* widget);

signals:
    void ClosedByUser();
    void DeleteKeyReleased();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    bool FocusIsInTextEntry() const;
};
