#include "batch/BatchPlan.h"

#include "batch/FileIdentity.h"
#include "document/DocumentFiles.h"
#include "picture/FileError.h"
#include "picture/FileNames.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A photo as the inputs give it, before its output is checked.
struct TCandidate {
    TBatchItem Item;
    // Its path below the folder it was found in, or its name.
    std::string Relative;
    // Found in a folder rather than named.
    bool Found = false;
    TFileIdentity Identity;
};

using TDeviceInode = std::pair<dev_t, ino_t>;

std::optional<TDeviceInode> DeviceInode(const fs::path& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return TDeviceInode{info.st_dev, info.st_ino};
}

bool FoundPicture(const fs::path& path)
{
    const TFileFormat* format = FormatOfName(path.string());
    return format && format->IsPicture() && format->Reads;
}

class TCollector {
public:
    TCollector(const TBatchSettings& settings, std::vector<TCandidate>& out)
        : settings_(settings)
        , out_(out)
        , outputFolder_(DeviceInode(settings.OutputFolder))
    {
    }

    void Named(const std::string& input)
    {
        std::error_code error;
        const fs::file_status status = fs::status(input, error);
        if (status.type() == fs::file_type::directory) {
            Folder(input, input);
            return;
        }
        TCandidate c;
        c.Item.Input = input;
        c.Relative = fs::path(input).filename().string();
        if (status.type() == fs::file_type::not_found)
            c.Item.Problem = input + " does not exist";
        else if (OpenKindOf(input) != TDocumentFileKind::Picture)
            c.Item.Problem = NotAPictureText(input);
        Add(std::move(c));
    }

private:
    void Folder(const fs::path& folder, const fs::path& base)
    {
        // A link back up the tree must not make the walk endless.
        const std::optional<TDeviceInode> id = DeviceInode(folder);
        if (id && !visited_.insert(*id).second)
            return;
        std::error_code error;
        std::vector<fs::directory_entry> entries;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
            entries.push_back(*it);
        if (error) {
            TCandidate c;
            c.Item.Input = folder.string();
            c.Item.Problem = "the folder " + folder.string() + " cannot be read: " + error.message();
            Add(std::move(c));
            return;
        }
        std::sort(entries.begin(), entries.end(),
                  [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path() < b.path(); });
        for (const fs::directory_entry& entry : entries) {
            const fs::path& path = entry.path();
            if (path.filename().string().starts_with('.'))
                continue;
            std::error_code ignored;
            if (entry.is_directory(ignored)) {
                if (settings_.Recurse && !(outputFolder_ && DeviceInode(path) == outputFolder_))
                    Folder(path, base);
            } else if (entry.is_regular_file(ignored) && FoundPicture(path)) {
                TCandidate c;
                c.Item.Input = path.string();
                c.Relative = path.lexically_relative(base).string();
                c.Found = true;
                Add(std::move(c));
            }
        }
    }

    void Add(TCandidate c)
    {
        c.Identity = IdentityOf(c.Item.Input);
        // The same photo named twice, or named and found in a folder, is one.
        if (c.Identity.Exists && !seen_.insert({c.Identity.Device, c.Identity.Inode}).second)
            return;
        std::error_code error;
        if (c.Item.Problem.empty())
            c.Item.InputBytes = fs::file_size(c.Item.Input, error);
        c.Item.Output = BatchOutputPath(c.Relative, settings_);
        out_.push_back(std::move(c));
    }

    const TBatchSettings& settings_;
    std::vector<TCandidate>& out_;
    std::optional<TDeviceInode> outputFolder_;
    std::set<TDeviceInode> visited_;
    std::set<TDeviceInode> seen_;
};

// The photo of the batch that a file would replace, or -1. Inputs that
// cannot be rendered are no photos here.
class TInputIndex {
public:
    explicit TInputIndex(const std::vector<TCandidate>& candidates)
    {
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            if (!candidates[i].Item.Problem.empty())
                continue;
            const TFileIdentity& id = candidates[i].Identity;
            if (id.Exists)
                byInode_.emplace(TDeviceInode{id.Device, id.Inode}, i);
            byPath_.emplace(id.Normal, i);
        }
    }

    int Find(const TFileIdentity& file) const
    {
        if (file.Exists) {
            const auto it = byInode_.find({file.Device, file.Inode});
            if (it != byInode_.end())
                return int(it->second);
        }
        const auto it = byPath_.find(file.Normal);
        return it != byPath_.end() ? int(it->second) : -1;
    }

private:
    std::map<TDeviceInode, std::size_t> byInode_;
    std::map<std::string, std::size_t> byPath_;
};

TFileError PlanError(const std::string& text) { return TFileError(text + "; nothing was written"); }

} // namespace

TFileKind BatchFormatNamed(const std::string& name)
{
    if (name.empty() || name.find_first_of("./") != std::string::npos)
        return TFileKind::None;
    const TFileFormat* format = FormatOfName("x." + name);
    return format && format->IsPicture() && format->Writes ? format->Kind : TFileKind::None;
}

std::string BatchOutputPath(const std::string& relative, const TBatchSettings& settings)
{
    const fs::path photo(relative);
    const TFileFormat* format = FormatOfKind(settings.Format);
    const std::string extension = format ? std::string(format->Extensions[0]) : std::string();
    return (fs::path(settings.OutputFolder) / photo.parent_path() /
            (photo.stem().string() + settings.Suffix + extension))
        .string();
}

void PrepareOutputFolder(const TBatchSettings& settings)
{
    const std::string& folder = settings.OutputFolder;
    std::error_code error;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder))
        throw TFileError("the output folder " + folder + " cannot be made: " +
                         (error ? error.message() : std::string("a file of that name stands there")));
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        throw TFileError("the output folder " + folder + " cannot be written: " + std::strerror(errno));
}

bool OutputUpToDate(const TBatchItem& item, const TBatchSettings& settings)
{
    auto modified = [](const std::string& path, timespec& time) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            return false;
        time = info.st_mtim;
        return true;
    };
    auto newer = [](const timespec& a, const timespec& b) {
        return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec > b.tv_nsec);
    };
    timespec output{}, input{}, preset{};
    if (!modified(item.Output, output) || !modified(item.Input, input) || !newer(output, input))
        return false;
    return settings.NoEffect || (modified(settings.PresetFile, preset) && newer(output, preset));
}

TBatchPlan PlanBatch(const std::vector<std::string>& inputs, const TBatchSettings& settings)
{
    std::vector<TCandidate> candidates;
    TCollector collector(settings, candidates);
    for (const std::string& input : inputs)
        collector.Named(input);
    if (candidates.empty())
        throw TFileError("no photos in " + ListText(inputs, "or"));

    std::vector<TFileIdentity> outputs;
    for (const TCandidate& c : candidates)
        outputs.push_back(IdentityOf(c.Item.Output));

    // With a suffix, a file found beside the photos that is another photo's
    // output is that photo's earlier result. Without one, the names say
    // nothing: the file may be a photo of its own, and is refused below.
    std::vector<bool> earlier(candidates.size(), false);
    if (!settings.Suffix.empty()) {
        const TInputIndex index(candidates);
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            if (!candidates[i].Item.Problem.empty())
                continue;
            const int hit = index.Find(outputs[i]);
            if (hit >= 0 && std::size_t(hit) != i && candidates[std::size_t(hit)].Found)
                earlier[std::size_t(hit)] = true;
        }
    }
    std::vector<TCandidate> kept;
    std::vector<TFileIdentity> keptOutputs;
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (!earlier[i]) {
            kept.push_back(std::move(candidates[i]));
            keptOutputs.push_back(std::move(outputs[i]));
        }

    const TInputIndex index(kept);
    std::map<std::string, std::size_t> written;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const TBatchItem& item = kept[i].Item;
        if (!item.Problem.empty())
            continue;
        const int hit = index.Find(keptOutputs[i]);
        if (hit >= 0)
            throw PlanError(std::size_t(hit) == i ? "the output of " + item.Input + " would be the photo itself"
                                                  : "the output of " + item.Input + " would replace the photo " +
                                                        kept[std::size_t(hit)].Item.Input);
        const auto [at, added] = written.emplace(keptOutputs[i].Normal, i);
        if (!added)
            throw PlanError(kept[at->second].Item.Input + " and " + item.Input + " would both be written to " +
                            item.Output);
    }

    TBatchPlan plan;
    for (TCandidate& c : kept) {
        if (settings.SkipExisting && c.Item.Problem.empty())
            c.Item.UpToDate = OutputUpToDate(c.Item, settings);
        plan.Items.push_back(std::move(c.Item));
    }
    return plan;
}
