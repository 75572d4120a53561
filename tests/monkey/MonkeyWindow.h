#pragma once

#include "picture/Bitmap.h"
#include "tests/monkey/MonkeyAction.h"
#include "tools/ToolCodes.h"

#include <QColor>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QTemporaryDir;
class QTimer;
class QWidget;
class TFrmMain;
class TMonkeyPictures;
class TPaintBox;

// A check that did not hold: its name (which a shrunk list must still break)
// and what was seen.
struct TMonkeyFailure {
    std::string Check;
    std::string Detail;
};

// What the monkey knows of the editor from what it did itself, to hold the
// editor's own state against.
struct TMonkeyModel {
    // A picture or project was opened (or brought back at a start).
    bool Opened = false;
    // A placed-object tool was chosen and its object not yet committed or
    // cancelled.
    bool Pending = false;
    TToolCode Tool = TToolCode::None;
    // The layers when the pending object's tool was chosen: a cancel gives
    // them back exactly.
    TBitmap SketchAtChoice;
    TBitmap ColorAtChoice;
    // The layer settings changed since the last history state, which holds
    // the old ones (they travel with the next state).
    bool LayersChanged = false;
    // The file each save format last wrote.
    std::map<std::string, std::string> Saved;
};

// What the last action leaves for the checks to look at.
struct TActionOutcome {
    // Messages the action may show; any other is a failure.
    QStringList AllowedMessages;
    // A file this action saved, and its format word.
    std::string SavedFile;
    std::string SavedFormat;
    // The action cancelled the pending object.
    bool Cancelled = false;
    // A start after a restart: the questions it asked, and whether the
    // state before it was one that should be offered.
    bool Restarted = false;
    bool OfferExpected = false;
    QStringList Questions;
    TBitmap SketchBefore;
    TBitmap ColorBefore;
    TBitmap SourceBefore;
    // Dialogs the action expected that never showed.
    QStringList DialogsNotShown;
    QStringList UnexpectedDialogs;
};

// The real main window with all its windows, driven the way a user drives it:
// its menu items, its tool palette, pointer events on the picture, and the
// controls of its panels and dialogs found by their object names. Its
// program folder is a fresh one (or the one given), its file dialogs answer
// with the monkey's files, and every message is collected.
class TMonkeyWindow {
public:
    // `programFolder` empty: a temporary folder with the shipped presets.
    // `onScreen`: shown maximized on a real display (the kill harness)
    // rather than at a fixed size offscreen.
    TMonkeyWindow(const TMonkeyPictures& pictures, const std::string& programFolder = {}, bool onScreen = false);
    ~TMonkeyWindow();
    TMonkeyWindow(const TMonkeyWindow&) = delete;
    TMonkeyWindow& operator=(const TMonkeyWindow&) = delete;

    // Does what the action says, as far as the editor lets a user do it now;
    // false for an action that cannot apply at all (a file that is not
    // there), which a replay passes over.
    bool Perform(const TMonkeyAction& action);
    // What must always hold, after every action (MonkeyChecks.cpp).
    std::optional<TMonkeyFailure> Check();

    TFrmMain& Main() const { return *Editor; }
    const TMonkeyModel& Model() const { return State; }
    // What the last action (or the start) left.
    const TActionOutcome& LastOutcome() const { return Outcome; }
    // The cartoon command on pictures of any size, not only on small ones.
    void SetCartoonOnAnySize(bool any) { CartoonOnAnySize = any; }
    const std::string& ProgramFolder() const { return Folder; }
    const std::string& UserFolder() const { return Saves; }
    // Messages and toolkit warnings since the last check.
    QStringList TakeMessages();
    static QStringList TakeWarnings();
    // Catches the toolkit's warnings for TakeWarnings; once per process.
    static void CatchWarnings();

    // The widgets, by object name.
    QAction* Item(const QString& name) const;
    QWidget* Panel(const QString& name) const;
    QWidget* Control(const QString& window, const QString& name) const;
    TPaintBox* PaintBox() const;
    // The option panel's page shown now; nullptr for none.
    QWidget* OptionPage() const;
    bool ToolButtonEnabled(TToolCode code) const;

    // Ends this run of the editor as a user's close does and starts the next
    // on the same folders, which answers its question about earlier work
    // with `accept`.
    void Restart(bool accept);

private:
    // MonkeyPerform.cpp: one verb each.
    bool Open(const TMonkeyAction& action);
    bool Command(const TMonkeyAction& action);
    bool Cartoon(const TMonkeyAction& action);
    bool Adjust(const TMonkeyAction& action);
    bool Options(const TMonkeyAction& action);
    bool Save(const TMonkeyAction& action);
    bool ChooseTool(const TMonkeyAction& action);
    bool Pointer(const TMonkeyAction& action);
    bool Wheel(const TMonkeyAction& action);
    bool Key(const TMonkeyAction& action);
    bool SetControl(const TMonkeyAction& action);
    bool PickColor(const TMonkeyAction& action);
    bool ChooseRow(const TMonkeyAction& action);
    bool Scroll(const TMonkeyAction& action);

    void Start(bool accept);
    // Settles the window: events posted so far are handled.
    void Settle() const;
    // The next modal dialog of that object name (any, when empty) is
    // answered by `answer` once it shows; one that is not answered within
    // the action counts as not shown.
    void WhenShown(const QString& name, std::function<void(QWidget& dialog)> answer, bool optional = false);
    void AnswerDialogs();
    void EndAction();
    void SendMouse(int type, QPoint at, int button, int buttons);
    void NoteToolChoice(TToolCode code, bool enabled);

    const TMonkeyPictures& Pictures;
    std::unique_ptr<QTemporaryDir> TemporaryFolder;
    std::string Folder;
    std::string Saves;
    bool OnScreen = false;
    std::unique_ptr<TFrmMain> Editor;
    TMonkeyModel State;
    TActionOutcome Outcome;
    QStringList Messages;
    struct TAnswer {
        QString Name;
        std::function<void(QWidget&)> Answer;
        // A dialog that may come and go before the monkey sees it (the
        // progress of a quick render).
        bool Optional = false;
    };
    std::vector<TAnswer> Answers;
    QTimer* DialogPoll = nullptr;
    // How long a dialog nobody answers has been showing.
    int UnansweredPolls = 0;
    std::optional<QColor> ChosenColor;
    bool AcceptOffer = true;
    bool CartoonOnAnySize = false;
};
