#include "tests/monkey/MonkeyWindow.h"

#include "settings/ProgramDir.h"
#include "tests/monkey/MonkeyPictures.h"
#include "ui/FrmMain.h"
#include "ui/FrmTools.h"
#include "ui/Message.h"
#include "ui/PaintBox.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <mutex>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

std::mutex WarningsMutex;
QStringList Warnings;

// What the platform says of itself, not of the program: the offscreen
// platform cannot raise windows or pass size hints on, a desktop without a
// runtime folder of its own, and installed fonts without the tables to shape a script
// the user typed (Syriac, say), which the font engine reports per font.
bool PlatformNotice(const QString& text)
{
    return text.startsWith("This plugin does not support") || text.startsWith("QStandardPaths:") ||
           text.trimmed().startsWith("OpenType support missing for");
}

void CollectWarning(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtDebugMsg || type == QtInfoMsg || PlatformNotice(text))
        return;
    std::lock_guard lock(WarningsMutex);
    Warnings << text;
}

// The presets the cartoon commands read, as the program ships them.
constexpr const char* ShippedFiles[] = {DefaultSetName,     CartoonSetName, SketchSetName,
                                        LineDrawingSetName, CanvasSetName,  DefaultCtbName};

// A dialog nobody answers for this many polls is closed as unexpected.
constexpr int PollMs = 5;
constexpr int UnansweredLimit = 2000 / PollMs;

} // namespace

void TMonkeyWindow::CatchWarnings() { qInstallMessageHandler(CollectWarning); }

QStringList TMonkeyWindow::TakeWarnings()
{
    std::lock_guard lock(WarningsMutex);
    return std::exchange(Warnings, QStringList());
}

TMonkeyWindow::TMonkeyWindow(const TMonkeyPictures& pictures, const std::string& programFolder, bool onScreen)
    : Pictures(pictures)
    , OnScreen(onScreen)
{
    if (programFolder.empty()) {
        TemporaryFolder = std::make_unique<QTemporaryDir>();
        if (!TemporaryFolder->isValid())
            throw std::runtime_error("cannot make a temporary folder");
        Folder = TemporaryFolder->path().toStdString();
    } else {
        Folder = programFolder;
    }
    fs::create_directories(Folder);
    for (const char* name : ShippedFiles)
        if (!fs::exists(Folder + "/" + name))
            fs::copy_file(std::string(LQ_PROGRAM_DIR "/") + name, Folder + "/" + name);
    Saves = Folder + "/saves";
    fs::create_directories(Saves);
    OverrideProgramDir(Folder);
    SetMessageHandler([this](QWidget*, const QString& text) { Messages << text; });

    DialogPoll = new QTimer;
    DialogPoll->setInterval(PollMs);
    QObject::connect(DialogPoll, &QTimer::timeout, [this] { AnswerDialogs(); });
    DialogPoll->start();
    Start(true);
}

TMonkeyWindow::~TMonkeyWindow()
{
    Editor.reset();
    delete DialogPoll;
    SetMessageHandler({});
    OverrideProgramDir("");
}

void TMonkeyWindow::Start(bool accept)
{
    AcceptOffer = accept;
    Editor = TFrmMain::CreateWindows();
    Editor->SetOpenDialog([](QWidget*, const TFileRequest&) { return std::optional<TFileChoice>(); });
    Editor->SetSaveDialog([](QWidget*, const TFileRequest&) { return std::optional<TFileChoice>(); });
    Editor->SetUrlOpener([](const QUrl&) { return true; });
    Editor->SetConfirmDialog([this](QWidget*, const QString& text) {
        Outcome.Questions << text;
        return AcceptOffer;
    });
    if (auto* tools = Editor->findChild<TFrmTools*>())
        tools->SetColorChooser([this](QWidget*, QColor, const QString&) { return ChosenColor; });
    if (OnScreen) {
        Editor->showMaximized();
    } else {
        Editor->resize(900, 700);
        Editor->show();
    }
    Settle();
}

void TMonkeyWindow::Restart(bool accept)
{
    Editor->close();
    Editor.reset();
    TMonkeyModel next;
    next.Saved = std::move(State.Saved);
    State = std::move(next);
    Start(accept);
}

void TMonkeyWindow::Settle() const
{
    // Zero-time timers (the panels, the question about earlier work) and
    // what they post in turn.
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
    bool reached = false;
    QTimer::singleShot(0, [&reached] { reached = true; });
    while (!reached)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
}

QStringList TMonkeyWindow::TakeMessages() { return std::exchange(Messages, QStringList()); }

QAction* TMonkeyWindow::Item(const QString& name) const { return Editor->findChild<QAction*>(name); }

QWidget* TMonkeyWindow::Panel(const QString& name) const { return Editor->findChild<QWidget*>(name); }

QWidget* TMonkeyWindow::Control(const QString& window, const QString& name) const
{
    QWidget* panel = Panel(window);
    return panel ? panel->findChild<QWidget*>(name) : nullptr;
}

TPaintBox* TMonkeyWindow::PaintBox() const { return Editor->findChild<TPaintBox*>("PaintBox1"); }

QWidget* TMonkeyWindow::OptionPage() const
{
    QWidget* panel = Panel("FrmToolOption");
    auto* pages = panel ? panel->findChild<QStackedWidget*>() : nullptr;
    return pages ? pages->currentWidget() : nullptr;
}

bool TMonkeyWindow::ToolButtonEnabled(TToolCode code) const
{
    const TToolInfo* info = FindTool(code);
    auto* button = info ? qobject_cast<QToolButton*>(Control("FrmTools", info->Button)) : nullptr;
    return button && button->isEnabled();
}

void TMonkeyWindow::WhenShown(const QString& name, std::function<void(QWidget& dialog)> answer, bool optional)
{
    Answers.push_back({name, std::move(answer), optional});
}

void TMonkeyWindow::AnswerDialogs()
{
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || !dialog->isVisible()) {
        UnansweredPolls = 0;
        return;
    }
    for (auto it = Answers.begin(); it != Answers.end(); ++it) {
        if (!it->Name.isEmpty() && it->Name != dialog->objectName())
            continue;
        // Taken off the list first: the answer may show a dialog of its own.
        const std::function<void(QWidget&)> answer = std::move(it->Answer);
        Answers.erase(it);
        UnansweredPolls = 0;
        answer(*dialog);
        return;
    }
    // A dialog a user would have to answer, that nothing the monkey did asks
    // for: said, and closed so that the run goes on.
    if (++UnansweredPolls >= UnansweredLimit) {
        UnansweredPolls = 0;
        Outcome.UnexpectedDialogs << dialog->objectName() + " " + dialog->windowTitle();
        if (auto* box = qobject_cast<QDialog*>(dialog))
            box->reject();
        else
            dialog->close();
    }
}

void TMonkeyWindow::EndAction()
{
    Settle();
    for (const TAnswer& answer : Answers)
        if (!answer.Optional)
            Outcome.DialogsNotShown << answer.Name;
    Answers.clear();
}

bool TMonkeyWindow::Perform(const TMonkeyAction& action)
{
    Outcome = TActionOutcome{};
    TakeMessages();
    using TVerb = bool (TMonkeyWindow::*)(const TMonkeyAction&);
    static const std::map<std::string, TVerb> Verbs = {
        {"open", &TMonkeyWindow::Open},          {"command", &TMonkeyWindow::Command},
        {"cartoon", &TMonkeyWindow::Cartoon},    {"adjust", &TMonkeyWindow::Adjust},
        {"options", &TMonkeyWindow::Options},    {"save", &TMonkeyWindow::Save},
        {"tool", &TMonkeyWindow::ChooseTool},    {"stroke", &TMonkeyWindow::Pointer},
        {"hover", &TMonkeyWindow::Pointer},      {"click", &TMonkeyWindow::Pointer},
        {"wheel", &TMonkeyWindow::Wheel},        {"key", &TMonkeyWindow::Key},
        {"control", &TMonkeyWindow::SetControl}, {"color", &TMonkeyWindow::PickColor},
        {"row", &TMonkeyWindow::ChooseRow},      {"scroll", &TMonkeyWindow::Scroll},
    };
    bool applied = false;
    if (action.Verb == "restart") {
        if (action.Words.size() != 1)
            return false;
        const TDocument& before = Editor->Document();
        TActionOutcome outcome;
        outcome.Restarted = true;
        outcome.OfferExpected = Editor->History().RowCount() > 0 && !Editor->History().CurrentSaved();
        // A pending object was never part of a state.
        outcome.SketchBefore = State.Pending ? State.SketchAtChoice : before.SketchLayer;
        outcome.ColorBefore = State.Pending ? State.ColorAtChoice : before.ColorLayer;
        outcome.SourceBefore = before.SourceBitmap;
        const bool accept = action.Words[0] == "accept";
        Restart(accept);
        outcome.Questions = Outcome.Questions;
        Outcome = std::move(outcome);
        State.Opened = accept && !Outcome.Questions.isEmpty();
        // The picture brought back opens with the hand.
        if (State.Opened)
            State.Tool = TToolCode::Hand;
        applied = true;
    } else if (action.Verb == "resize") {
        const std::optional<TWordPoint> size = action.Words.size() == 1 ? ParsePoint(action.Words[0]) : std::nullopt;
        if (!size || size->X < 1 || size->Y < 1)
            return false;
        Editor->resize(size->X, size->Y);
        applied = true;
    } else if (const auto verb = Verbs.find(action.Verb); verb != Verbs.end()) {
        applied = (this->*verb->second)(action);
    }
    EndAction();
    return applied;
}
