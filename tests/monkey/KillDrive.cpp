#include "tests/monkey/KillDrive.h"

#include "document/DocumentFiles.h"
#include "settings/ProgramDir.h"
#include "tests/monkey/MonkeyPictures.h"
#include "tests/monkey/MonkeyWindow.h"
#include "ui/FrmMain.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QTableWidget>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string_view>

#include <csignal>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The log: one line per write(2), so that a kill leaves only whole lines.
class TKillLog {
public:
    explicit TKillLog(const std::string& path)
        : Fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644))
    {
    }
    ~TKillLog() { ::close(Fd); }
    // Each line ends with the milliseconds since the log was opened.
    void Line(const std::string& text) const
    {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - Opened).count();
        const std::string line = text + " @" + std::to_string(ms) + "\n";
        if (::write(Fd, line.data(), line.size()) != ssize_t(line.size()))
            std::cerr << "cannot write the kill log\n";
    }

private:
    int Fd;
    std::chrono::steady_clock::time_point Opened = std::chrono::steady_clock::now();
};

std::string Hex(std::size_t value)
{
    std::ostringstream text;
    text << std::hex << value;
    return text.str();
}

std::size_t BytesHash(std::string_view bytes) { return std::hash<std::string_view>()(bytes); }

std::size_t PictureHash(const TBitmap& picture)
{
    const std::string_view bytes(reinterpret_cast<const char*>(picture.Bits()), picture.ByteSize());
    return BytesHash(bytes) ^ (std::size_t(picture.Width()) << 32) ^ std::size_t(picture.Height());
}

// What a history state holds: the three pictures and the layer settings.
std::string DocumentHash(const TDocument& d)
{
    const TLayerState& s = d.LayerState;
    std::size_t hash = PictureHash(d.SketchLayer) * 31 + PictureHash(d.ColorLayer);
    hash = hash * 31 + PictureHash(d.SourceBitmap);
    hash = hash * 31 + std::size_t(s.SketchVisible) + 2 * std::size_t(s.ColorVisible) +
           4 * std::size_t(s.SketchDrawable) + 8 * std::size_t(s.ColorDrawable) + 16 * std::size_t(s.BlendingMode) +
           64 * std::size_t(s.Opacity);
    return Hex(hash);
}

std::string FileHash(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "absent";
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return Hex(BytesHash(bytes.str()));
}

// The bytes Save writes for the document under `path`, as it writes them:
// after the whole composite is rebuilt.
std::string SavedHash(const TDocument& document, const std::string& path)
{
    TDocument copy;
    copy.SketchLayer = document.SketchLayer;
    copy.ColorLayer = document.ColorLayer;
    copy.SourceBitmap = document.SourceBitmap;
    copy.LayerState = document.LayerState;
    copy.RebuildAll();
    std::ostringstream bytes;
    SaveDocumentTo(bytes, path, copy);
    return Hex(BytesHash(bytes.str()));
}

// Edits that make the moments the harness kills in long enough to hit:
// large pictures, strokes whose states are written in the background,
// saves of every kind, the cartoon command.
TMonkeyAction NextEdit(std::mt19937_64& random, const TMonkeyWindow& window)
{
    const auto uniform = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const auto point = [&] { return PointWord(uniform(0, 700), uniform(0, 500)); };
    if (!window.Model().Opened || uniform(0, 30) == 0) {
        // The big photo often: its saves, states and renders last long
        // enough to be killed in.
        const char* pictures[] = {"wide.jpg", "big.jpg", "photo.jpg", "big.jpg", "square.jpg"};
        return {"open", {pictures[uniform(0, 4)]}};
    }
    switch (uniform(0, 13)) {
    case 0:
    case 1: {
        const char* formats[] = {"p2c", "p2c", "p2c", "bmp", "png", "jpg"};
        return {"save", {formats[uniform(0, 5)]}};
    }
    case 2: return {"cartoon", {"MenuItem_Cartoon", "ok", "Trc_ColorSmooth=" + std::to_string(uniform(0, 4))}};
    case 3: return {"command", {"MenuItem_Undo"}};
    case 4: return {"command", {"MenuItem_Redo"}};
    case 5: return {"adjust", {"MenuItem_BrightContrast", "ok", "Trc_Brightness=" + std::to_string(uniform(-90, 90))}};
    case 6: return {"tool", {uniform(0, 1) ? "BtnBrush" : "BtnPencil"}};
    case 7: return {"control", {"FrmLayers", "Chk_SketchVisible", uniform(0, 3) ? "1" : "0"}};
    default: {
        std::vector<std::string> words{"L", point()};
        for (int i = uniform(1, 6); i > 0; --i)
            words.push_back(point());
        return {"stroke", words};
    }
    }
}

} // namespace

int DriveUntilKilled(const std::string& programFolder, const std::string& logPath, std::uint64_t seed,
                     const TMonkeyPictures& pictures)
{
    TKillLog log(logPath);
    TMonkeyWindow window(pictures, programFolder, true);
    window.SetCartoonOnAnySize(true);
    TFrmMain& main = window.Main();
    THistory& history = main.History();
    log.Line("start " + std::to_string(::getpid()));
    for (const auto& entry : fs::directory_iterator(window.UserFolder()))
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
            log.Line("file " + entry.path().string() + " " + FileHash(entry.path().string()));

    // Every state as it is recorded or restored, from within the command
    // that does it: the history list changes right after.
    struct TRing {
        int Current = -1, Newest = -1, Oldest = -1;
        std::string Operation;
        bool operator==(const TRing&) const = default;
    };
    TRing logged;
    bool written = true;
    const auto noteState = [&] {
        const TRing now{history.Current(), history.Newest(), history.Oldest(),
                        history.RowCount() > 0 ? history.Operation(history.Current()) : ""};
        if (now == logged || history.RowCount() == 0)
            return;
        logged = now;
        written = !history.HeldInMemory(now.Current);
        log.Line("state " + std::to_string(now.Current) + " " + DocumentHash(main.Document()));
        if (written)
            log.Line("written " + std::to_string(now.Current));
    };
    auto* grid = main.findChild<QTableWidget*>("StringGrid1");
    QObject::connect(grid->model(), &QAbstractItemModel::dataChanged, noteState);
    QObject::connect(grid->model(), &QAbstractItemModel::rowsInserted, noteState);
    QObject::connect(grid->model(), &QAbstractItemModel::rowsRemoved, noteState);
    QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, noteState);
    // The background write of the current state ending.
    QTimer writes;
    QObject::connect(&writes, &QTimer::timeout, [&] {
        if (!written && logged.Current >= 0 && !history.HeldInMemory(logged.Current)) {
            written = true;
            log.Line("written " + std::to_string(logged.Current));
        }
    });
    writes.start(2);

    std::mt19937_64 random(seed);
    for (long step = 0;; ++step) {
        const TMonkeyAction action = NextEdit(random, window);
        log.Line("action " + FormatAction(action));
        std::string saved;
        // Projects and pictures apart, so that the harness can wait for either.
        const char* kind = action.Verb == "save" && action.Words[0] == "p2c" ? "project" : "save";
        if (action.Verb == "save" && window.Item("MenuItem_SaveAs")->isEnabled()) {
            saved = window.UserFolder() + "/saved-" + action.Words[0] + "." + action.Words[0];
            log.Line(std::string(kind) + "-begin " + saved + " " + SavedHash(main.Document(), saved));
        }
        if (action.Verb == "cartoon")
            log.Line("cartoon-begin");
        window.Perform(action);
        noteState();
        const QStringList messages = window.TakeMessages();
        if (!saved.empty())
            log.Line(std::string(kind) + (messages.isEmpty() ? "-end " : "-failed ") + saved);
        if (action.Verb == "cartoon")
            log.Line("cartoon-end");
        for (const QString& message : messages)
            log.Line("message " + message.simplified().toStdString());
    }
}

namespace {

struct TKillRecord {
    std::vector<std::string> States;
    // Per user file: the content it held whole last, and the one being
    // written when the kill came (empty when none).
    std::map<std::string, std::pair<std::string, std::string>> Files;
    std::string During = "between";
    int Actions = 0;
};

TKillRecord ReadKillLog(const std::string& path)
{
    TKillRecord record;
    std::ifstream in(path);
    bool cartoon = false, written = true;
    std::string saving;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string verb, a, b;
        words >> verb >> a >> b;
        if (verb == "file") {
            record.Files[a] = {b, ""};
        } else if (verb == "state") {
            record.States.push_back(b);
            written = false;
        } else if (verb == "written") {
            written = true;
        } else if (verb == "save-begin" || verb == "project-begin") {
            auto& [old, next] = record.Files.try_emplace(a, "absent", "").first->second;
            next = b;
            saving = a;
        } else if (verb.ends_with("-end") || verb.ends_with("-failed")) {
            if (verb.rfind("cartoon", 0) == 0) {
                cartoon = false;
                continue;
            }
            auto& [old, next] = record.Files[a];
            if (verb.ends_with("-end"))
                old = next;
            next.clear();
            saving.clear();
        } else if (verb == "cartoon-begin") {
            cartoon = true;
        } else if (verb == "action") {
            ++record.Actions;
        }
    }
    if (!saving.empty())
        record.During = saving.ends_with(".p2c") ? "project" : "save";
    else if (cartoon)
        record.During = "cartoon";
    else if (!written)
        record.During = "history";
    return record;
}

// Names the program gives files it writes and renames into place.
bool Temporary(const std::string& name)
{
    return name.find(".lumenquilla-") != std::string::npos || name.rfind(".tmp", 0) == 0 || name.rfind(".old", 0) == 0;
}

} // namespace

int CheckRecovery(const std::string& programFolder, const std::string& logPath, const TMonkeyPictures& pictures)
{
    const TKillRecord record = ReadKillLog(logPath);
    TMonkeyWindow window(pictures, programFolder, true);
    const TDocument& document = window.Main().Document();
    const QStringList questions = window.LastOutcome().Questions;
    std::vector<std::string> problems;

    const std::size_t states = record.States.size();
    std::string restored = "nothing";
    if (questions.size() > 1) {
        problems.push_back(std::to_string(questions.size()) + " questions at the start");
    } else if (questions.isEmpty()) {
        // Only the first state can have been lost whole.
        if (states > 1)
            problems.push_back("no offer, after " + std::to_string(states) + " states");
    } else if (!document.PictureOpened) {
        problems.push_back("the offer brought nothing back");
    } else {
        const std::string hash = DocumentHash(document);
        if (states >= 1 && hash == record.States[states - 1])
            restored = "last";
        else if (states >= 2 && hash == record.States[states - 2])
            restored = "before";
        else
            problems.push_back("the picture brought back is neither the last state nor the one before it");
    }
    for (const auto& [path, contents] : record.Files) {
        const std::string now = FileHash(path);
        if (now != contents.first && now != contents.second)
            problems.push_back(path + " holds neither its old content nor its new one");
    }
    // This start's own state, written in the background, is not left over.
    window.Main().History().Flush();
    for (const auto& entry : fs::recursive_directory_iterator(programFolder))
        if (Temporary(entry.path().filename().string()))
            problems.push_back("a temporary file is left: " + entry.path().string());
    int runs = 0;
    for (const auto& entry : fs::directory_iterator(UserFile(HistoryFolderName)))
        runs += entry.path().filename().string().rfind("run-", 0) == 0;
    if (runs > 1)
        problems.push_back(std::to_string(runs) + " run folders in the history folder");

    std::cout << "recover: " << (problems.empty() ? "ok" : "FAILED") << " kill-during=" << record.During
              << " actions=" << record.Actions << " states=" << states << " restored=" << restored << "\n";
    for (const std::string& problem : problems)
        std::cout << "  " << problem << "\n";
    // Taken as saved, so that the next run starts afresh.
    window.Main().History().MarkCurrentSaved();
    window.Main().close();
    return problems.empty() ? 0 : 1;
}

int KillOnLine(const std::string& log, int pid, const std::string& start, int maxDelayMs, int timeoutMs,
               std::uint64_t seed)
{
    std::ifstream in(log);
    in.seekg(0, std::ios::end);
    std::string partial;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (::kill(pid, 0) != 0)
            return 1;
        std::string line;
        while (std::getline(in, line)) {
            if (in.eof()) {
                // A line still being written.
                partial += line;
                break;
            }
            line = partial + line;
            partial.clear();
            if (line.rfind(start, 0) == 0) {
                std::mt19937_64 random(seed);
                const int delay = std::uniform_int_distribution<int>(0, maxDelayMs)(random);
                std::this_thread::sleep_for(std::chrono::milliseconds(delay));
                return ::kill(pid, SIGKILL) == 0 ? 0 : 1;
            }
        }
        in.clear();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return 1;
}
