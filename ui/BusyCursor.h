#pragma once

#include <QApplication>
#include <QCoreApplication>

// The busy cursor over the whole program while long work runs on the
// interface thread (a file read or written, an adjustment applied, the
// effect's preview). It is put on the screen at once, before the work starts,
// and taken off by Restore or at the end of the scope.
class TBusyCursor {
public:
    TBusyCursor()
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // Lets the cursor change and a closed dialog's area repaint before
        // the event loop stops for the work.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~TBusyCursor() { Restore(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

    void Restore()
    {
        if (Active)
            QApplication::restoreOverrideCursor();
        Active = false;
    }

private:
    bool Active = true;
};
