// The memory a picture reader asks for: a thread's gate, which a batch uses
// to share one budget among photos, and the room the system and a control
// group leave the process.
#include "picture/MemoryBudget.h"
#include "picture/BmpFile.h"
#include "picture/FileError.h"
#include "picture/JpegFile.h"
#include "picture/PictureFiles.h"
#include "tests/picture/PictureFixtures.h"
#include "tests/picture/TestPictures.h"
#include "tests/picture/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

namespace {

void PutBytes(const std::string& path, const TBytes& bytes)
{
    PutFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

// One file of every kind read, 37 x 23, the TIFF turned on its side by its
// orientation tag (23 x 37 as the reader allocates it, 37 x 23 once upright).
std::vector<std::pair<std::string, std::pair<int, int>>> WriteEveryKind(const TTempFolder& folder)
{
    const TBitmap picture = GradientPicture(37, 23);
    std::vector<std::pair<std::string, std::pair<int, int>>> files;
    WriteJpegFile(folder.File("p.jpg"), picture);
    files.push_back({folder.File("p.jpg"), {37, 23}});
    WriteBmpFile(folder.File("p.bmp"), picture);
    files.push_back({folder.File("p.bmp"), {37, 23}});
    WritePicture(folder.File("p.png"), picture);
    files.push_back({folder.File("p.png"), {37, 23}});
    WritePicture(folder.File("p.webp"), picture);
    files.push_back({folder.File("p.webp"), {37, 23}});
    TTiffPicture tiff;
    tiff.width = 23;
    tiff.height = 37;
    tiff.orientation = 6;
    tiff.samples.assign(std::size_t(23 * 37 * 3), 100);
    PutBytes(folder.File("p.tif"), EncodeTiff(tiff));
    files.push_back({folder.File("p.tif"), {23, 37}});
    if (const std::optional<TBytes> heic = EncodeHeif(picture, false)) {
        PutBytes(folder.File("p.heic"), *heic);
        files.push_back({folder.File("p.heic"), {37, 23}});
    }
    return files;
}

TEST(PictureMemoryGate, EveryReaderAsksTheThreadsGateWithTheSizeBeforeAllocating)
{
    const TTempFolder folder;
    for (const auto& [path, size] : WriteEveryKind(folder)) {
        SCOPED_TRACE(path);
        std::vector<std::pair<std::int64_t, std::int64_t>> asked;
        {
            const TPictureMemoryGate gate([&](std::int64_t w, std::int64_t h) {
                asked.emplace_back(w, h);
                return false;
            });
            std::string warning;
            try {
                ReadPicture(path, &warning);
                ADD_FAILURE() << "read in spite of the gate";
            } catch (const TFileError& e) {
                EXPECT_NE(std::string(e.what()).find("not enough memory for a " + std::to_string(size.first) + " x " +
                                                     std::to_string(size.second) + " picture"),
                          std::string::npos)
                    << e.what();
            }
        }
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked.front(), (std::pair<std::int64_t, std::int64_t>(size.first, size.second)));

        // Once the gate is gone, the system's memory answers again.
        std::string warning;
        EXPECT_EQ(ReadPicture(path, &warning).Width(), 37);
    }
}

TEST(PictureMemoryGate, AGateHoldsOnItsOwnThreadAndAnInnerOneGivesTheOuterBack)
{
    const TTempFolder folder;
    WriteBmpFile(folder.File("p.bmp"), GradientPicture(5, 4));
    int outerAsked = 0, innerAsked = 0;
    const TPictureMemoryGate outer([&](std::int64_t, std::int64_t) { return ++outerAsked, true; });
    {
        const TPictureMemoryGate inner([&](std::int64_t, std::int64_t) { return ++innerAsked, true; });
        ReadBmpFile(folder.File("p.bmp"));
        std::thread other([&] { ReadBmpFile(folder.File("p.bmp")); });
        other.join();
    }
    ReadBmpFile(folder.File("p.bmp"));
    EXPECT_EQ(innerAsked, 1);
    EXPECT_EQ(outerAsked, 1);
}

// A made-up /proc and /sys: the room is the system's available memory, held
// to what the control group still allows, its page cache counted as room.
TEST(ResidentRoom, TheSystemAndTheControlGroupEachHoldItDown)
{
    struct TCase {
        const char* Name;
        const char* Cgroup; // /proc/self/cgroup, or null for none
        std::vector<std::pair<std::string, std::string>> Files;
        std::optional<std::uint64_t> Room;
    };
    const std::uint64_t MiB = 1 << 20;
    const std::string meminfo = "MemTotal: 8000000 kB\nMemFree: 100 kB\nMemAvailable: 4096 kB\n";
    const TCase cases[] = {
        {"no group", nullptr, {{"proc/meminfo", meminfo}}, 4 * MiB},
        {"v2 without limit",
         "0::/job\n",
         {{"proc/meminfo", meminfo},
          {"sys/fs/cgroup/job/memory.max", "max\n"},
          {"sys/fs/cgroup/job/memory.current", "1000\n"}},
         4 * MiB},
        {"v2 limit below the system's",
         "0::/job\n",
         {{"proc/meminfo", meminfo},
          {"sys/fs/cgroup/job/memory.max", std::to_string(3 * MiB) + "\n"},
          {"sys/fs/cgroup/job/memory.current", std::to_string(2 * MiB) + "\n"},
          {"sys/fs/cgroup/job/memory.stat", "anon 1048576\nfile " + std::to_string(MiB / 2) + "\n"}},
         MiB + MiB / 2},
        {"v1 memory controller",
         "5:cpu:/x\n4:memory:/slurm/job_7\n",
         {{"proc/meminfo", meminfo},
          {"sys/fs/cgroup/memory/slurm/job_7/memory.limit_in_bytes", std::to_string(2 * MiB) + "\n"},
          {"sys/fs/cgroup/memory/slurm/job_7/memory.usage_in_bytes", std::to_string(MiB) + "\n"},
          {"sys/fs/cgroup/memory/slurm/job_7/memory.stat", "cache 0\nrss " + std::to_string(MiB) + "\n"}},
         MiB},
        {"v1 without limit",
         "4:memory:/\n",
         {{"proc/meminfo", meminfo},
          {"sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n"},
          {"sys/fs/cgroup/memory/memory.usage_in_bytes", "5000\n"}},
         4 * MiB},
        {"a group over its limit",
         "0::/\n",
         {{"proc/meminfo", meminfo}, {"sys/fs/cgroup/memory.max", "100\n"}, {"sys/fs/cgroup/memory.current", "200\n"}},
         0},
        {"nothing readable", nullptr, {}, std::nullopt},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TTempFolder root;
        std::vector<std::pair<std::string, std::string>> files = c.Files;
        if (c.Cgroup)
            files.emplace_back("proc/self/cgroup", c.Cgroup);
        for (const auto& [name, text] : files) {
            std::filesystem::create_directories(std::filesystem::path(root.File(name)).parent_path());
            PutFileBytes(root.File(name), text);
        }
        EXPECT_EQ(ResidentRoom(root.Path()), c.Room);
    }
}

} // namespace
