// A long day's work in the real editor (offscreen): a 12-megapixel photo,
// the cartoon command, then 1000 steps of retouching with the history ring at
// its largest (1000 states). It prints, at checkpoints, what a brush event, a
// history step and an undo step cost, the editor's memory, and the disk use
// of its history folder, and checks them against their bounds.
//
//   longday_bench [STEPS] [--no-cartoon] [--folder DIR]
//
// --folder puts the program folder, and with it the history, in DIR (on a
// small file system, bench/full-disk): once the disk is full the day goes on,
// and what it costs and says then is shown; Undo then goes back to the photo.
#include "bench/BigPhoto.h"
#include "bench/ScratchFolder.h"
#include "document/History.h"
#include "picture/JpegFile.h"
#include "settings/ProgramDir.h"
#include "settings/ProgramOptions.h"
#include "ui/FrmMain.h"
#include "ui/Message.h"
#include "ui/PaintBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using TClock = std::chrono::steady_clock;

double MsSince(TClock::time_point start)
{
    return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// Resident and peak resident size of this process, in MB.
std::pair<double, double> Memory()
{
    std::ifstream status("/proc/self/status");
    double rss = 0, peak = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            rss = std::stod(line.substr(6)) / 1024;
        if (line.rfind("VmHWM:", 0) == 0)
            peak = std::stod(line.substr(6)) / 1024;
    }
    return {rss, peak};
}

struct TDiskUse {
    double MB = 0;
    int StateFiles = 0;
    double LargestStateMB = 0;
};

TDiskUse DiskUse(const std::string& folder)
{
    TDiskUse use;
    if (folder.empty() || !fs::exists(folder))
        return use;
    for (const auto& entry : fs::directory_iterator(folder)) {
        struct stat info {};
        if (::lstat(entry.path().c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        const double mb = double(info.st_blocks) * 512 / 1e6;
        use.MB += mb;
        if (entry.path().extension() == ".state") {
            ++use.StateFiles;
            use.LargestStateMB = std::max(use.LargestStateMB, mb);
        }
    }
    return use;
}

// The photo: the middle 4000 x 3000 of the big photo, or a photo-like
// picture of that size when it is missing.
std::string MakePhoto(const std::string& folder)
{
    const int width = 4000, height = 3000;
    TBitmap photo(width, height);
    try {
        const TBitmap big = ReadJpegFile(BigPhotoPath());
        photo.CopyRect(big, std::max(0, (big.Width() - width) / 2), std::max(0, (big.Height() - height) / 2), width,
                       height, 0, 0);
    } catch (const std::exception&) {
        std::mt19937 noise(7);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width * 3; ++x)
                photo.ScanLine(y)[x] = std::uint8_t((x / 7 + y / 5) % 200 + noise() % 40);
    }
    const std::string path = folder + "/photo-12mp.jpg";
    WriteJpegFile(path, photo, 90);
    return path;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

class TLongDay {
public:
    explicit TLongDay(TFrmMain& main)
        : Main(main)
        , Box(main.findChild<TPaintBox*>("PaintBox1"))
    {
    }

    void Choose(const char* button) { Main.findChild<QAbstractButton*>(button)->click(); }

    // A stroke of 20 pointer moves: the median move, and the release with
    // its history step.
    void Stroke(int step)
    {
        const QPoint from(100 + (step * 37) % 1300, 80 + (step * 53) % 800);
        Send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 20; ++i) {
            const auto start = TClock::now();
            Send(QEvent::MouseMove, from + QPoint(6 * i, (i * i) % 40), Qt::NoButton, Qt::LeftButton);
            Moves.push_back(MsSince(start));
        }
        const auto start = TClock::now();
        Send(QEvent::MouseButtonRelease, from + QPoint(120, 0), Qt::LeftButton, Qt::NoButton);
        Releases.push_back(MsSince(start));
    }
    void Undo()
    {
        const auto start = TClock::now();
        Main.Undo();
        Undos.push_back(MsSince(start));
    }
    void Redo()
    {
        const auto start = TClock::now();
        Main.Redo();
        Undos.push_back(MsSince(start));
    }

    std::vector<double> Moves, Releases, Undos;

private:
    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, QPointF(at), Box->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(Box, &event);
        QCoreApplication::processEvents();
    }
    TFrmMain& Main;
    TPaintBox* Box;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int steps = 1000;
    bool cartoon = true;
    std::string given;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--no-cartoon")
            cartoon = false;
        else if (std::string(argv[i]) == "--folder" && i + 1 < argc)
            given = argv[++i];
        else
            steps = std::stoi(argv[i]);
    }

    TScratchFolder scratch;
    const std::string program = given.empty() ? scratch.Path() : given + "/longday";
    fs::remove_all(program);
    fs::create_directories(program);
    OverrideProgramDir(program);
    for (const char* name : {DefaultSetName, CartoonSetName})
        fs::copy_file(std::string(LQ_PROGRAM_DIR "/") + name, program + "/" + name);
    TProgramOptions options;
    options.HistoryStates = THistory::MaxHistoryStates;
    SaveOptions(UserFile(OptionsFileName), options);
    QStringList messages;
    SetMessageHandler([&](QWidget*, const QString& text) { messages << text; });

    const std::string photo = MakePhoto(scratch.Path());
    auto main = TFrmMain::CreateWindows();
    main->resize(1600, 1000);
    main->show();
    QCoreApplication::processEvents();
    THistory& history = main->History();
    std::printf("history ring: %d states\n", history.Capacity() - 1);

    auto start = TClock::now();
    main->OpenFile(QString::fromStdString(photo));
    std::printf("open: %.0f ms\n", MsSince(start));
    if (cartoon) {
        // The preview's OK, as soon as it shows.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [] {
            if (QWidget* dialog = QApplication::activeModalWidget();
                dialog && dialog->objectName() == "FrmPreview" && dialog->isVisible())
                if (auto* ok = dialog->findChild<QAbstractButton*>("Btn_Ok"))
                    ok->click();
        });
        answer.start(20);
        start = TClock::now();
        main->RunShortcut(CartoonSetName);
        std::printf("cartoon command: %.0f ms\n", MsSince(start));
    }
    history.Flush();

    TLongDay day(*main);
    std::printf("\n%6s %10s %10s %10s %8s %8s %9s %7s %6s\n", "step", "move ms", "release ms", "undo ms", "RSS MB",
                "peak MB", "disk MB", "files", "rows");
    const auto checkpoint = [&](int step) {
        history.Flush();
        const auto [rss, peak] = Memory();
        const TDiskUse disk = DiskUse(history.RunFolder());
        const auto tail = [](const std::vector<double>& v) {
            return Median(std::vector<double>(v.end() - std::ptrdiff_t(std::min<std::size_t>(v.size(), 100)), v.end()));
        };
        std::printf("%6d %10.2f %10.1f %10.1f %8.0f %8.0f %9.0f %7d %6d\n", step, tail(day.Moves), tail(day.Releases),
                    tail(day.Undos), rss, peak, disk.MB, disk.StateFiles, history.RowCount());
        std::fflush(stdout);
        return disk;
    };
    std::vector<double> earlyMoves, earlyReleases, earlyUndos;
    double firstDisk = 0, mostDisk = 0;
    int mostFiles = 0, fullAt = 0;
    for (int step = 1; step <= steps; ++step) {
        // Mostly strokes of the three painting tools, and now and then back
        // and forth in the history. Undo and Redo leave the Hand chosen, so
        // every stroke chooses its tool first.
        switch (step % 10) {
        case 3: day.Undo(); break;
        case 6:
            day.Undo();
            day.Redo();
            break;
        case 8:
            day.Choose(step % 20 == 8 ? "BtnPencil" : "BtnEraser");
            day.Stroke(step);
            break;
        default: day.Choose("BtnBrush"); day.Stroke(step);
        }
        if (step == 50) {
            earlyMoves = day.Moves;
            earlyReleases = day.Releases;
            earlyUndos = day.Undos;
        }
        if (!messages.isEmpty() && fullAt == 0) {
            fullAt = step;
            std::printf("step %d: the history no longer fits: %s\n", step,
                        messages.front().simplified().toStdString().c_str());
        }
        if (step % 100 == 0 || step == 1 || step == steps) {
            const TDiskUse disk = checkpoint(step);
            if (step == 1)
                firstDisk = disk.MB;
            mostDisk = std::max(mostDisk, disk.MB);
            mostFiles = std::max(mostFiles, disk.StateFiles);
        }
    }

    // The bounds: a state file per ring slot at most, and no more disk than
    // that many whole states would take (the first checkpoint's three states
    // hold the whole document once); memory for the document's six pictures,
    // the one state waiting to be written and the history's spare buffer,
    // with 300 MB for the rest of the program; the last 50 steps as quick as
    // the first 50, give or take half.
    const auto lateOf = [](const std::vector<double>& v) {
        return Median(std::vector<double>(v.end() - std::ptrdiff_t(std::min<std::size_t>(v.size(), 50)), v.end()));
    };
    const double pictureMB = 4000.0 * 3000 * 3 / 1e6;
    const double memoryBudget = 6 * pictureMB + 2 * 3 * pictureMB + 300;
    const bool memoryHolds = Memory().second <= memoryBudget;
    const bool diskHolds = mostFiles <= history.Capacity() && mostDisk <= history.Capacity() * firstDisk;
    const double moveRatio = lateOf(day.Moves) / Median(earlyMoves);
    const double releaseRatio = lateOf(day.Releases) / Median(earlyReleases);
    const double undoRatio = lateOf(day.Undos) / Median(earlyUndos);
    // Once the disk is full every step tries the write of the last state
    // again and waits for it to fail: slower, and not what the pace is about.
    const bool quickHolds = fullAt > 0 || (moveRatio < 1.5 && releaseRatio < 1.5 && undoRatio < 1.5);
    std::printf("\nmemory: peak %.0f MB, budget %.0f MB: %s\n", Memory().second, memoryBudget,
                memoryHolds ? "holds" : "EXCEEDED");
    std::printf("disk: at most %d state files and %.0f MB in the run folder (%.0f MB at the first step, %.2f MB a "
                "state after); ring of %d slots: %s\n",
                mostFiles, mostDisk, firstDisk, (mostDisk - firstDisk) / std::max(1, mostFiles - 3), history.Capacity(),
                diskHolds ? "holds" : "EXCEEDED");
    std::printf("last 50 steps against the first 50 (medians): move %.2f, release %.2f, undo %.2f: %s\n", moveRatio,
                releaseRatio, undoRatio,
                fullAt > 0   ? "not judged, the disk filled"
                : quickHolds ? "holds"
                             : "SLOWER");
    std::printf("messages: %lld\n", static_cast<long long>(messages.size()));
    bool undoHolds = true;
    if (fullAt > 0) {
        // Back through every state listed, to the photo.
        int undos = 0;
        start = TClock::now();
        while (history.CanUndo()) {
            main->Undo();
            ++undos;
        }
        undoHolds = history.CurrentRow() == 1 && messages.size() == 1;
        std::printf("after the disk filled: %d undo steps to the first state in %.0f ms; %lld messages: %s\n", undos,
                    MsSince(start), static_cast<long long>(messages.size()), undoHolds ? "holds" : "FAILED");
    }
    main.reset();
    SetMessageHandler({});
    const bool messagesHold = fullAt > 0 ? messages.size() == 1 : messages.isEmpty();
    return memoryHolds && diskHolds && quickHolds && messagesHold && undoHolds ? 0 : 1;
}
