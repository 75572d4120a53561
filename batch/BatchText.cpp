#include "batch/BatchText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

std::string Count(int n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

} // namespace

std::string DurationText(double seconds)
{
    const long long total = std::llround(std::max(seconds, 0.0));
    // Appended piece by piece: GCC 12 warns wrongly of overlapping copies in
    // longer chains of +.
    std::string text;
    auto add = [&text](long long n, const char* unit) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(n);
        text += unit;
    };
    if (total < 60) {
        add(total, " s");
    } else if (total < 3600) {
        add(total / 60, " min");
        if (total % 60)
            add(total % 60, " s");
    } else {
        const long long minutes = (total + 30) / 60;
        add(minutes / 60, " h");
        if (minutes % 60)
            add(minutes % 60, " min");
    }
    return text;
}

std::string BatchProgressText(const TBatchCounts& counts)
{
    std::string text = std::to_string(counts.Done + counts.Skipped) + " of " + std::to_string(counts.Total) + " done";
    if (counts.Failed > 0)
        text += ", " + std::to_string(counts.Failed) + " failed";
    if (counts.SecondsLeft)
        text += ", about " + DurationText(*counts.SecondsLeft) + " left";
    return text;
}

std::string BatchProgressLine(const TBatchCounts& counts, int columns)
{
    const std::string text = BatchProgressText(counts);
    const int room = std::max(columns - 1, 8);
    std::string line;
    const int barWidth = std::min(30, room - int(text.size()) - 3);
    if (barWidth >= 10) {
        const int filled = int(std::clamp(counts.Fraction, 0.0, 1.0) * barWidth);
        line += '[';
        line.append(std::size_t(filled), '#');
        line.append(std::size_t(barWidth - filled), '.');
        line += "] ";
    }
    line += text;
    if (int(line.size()) > room)
        line.resize(std::size_t(room));
    return line;
}

std::vector<std::string> BatchSummary(const std::vector<TPhotoResult>& results, double seconds, bool stopped)
{
    int done = 0, skipped = 0, failed = 0, undone = 0;
    for (const TPhotoResult& result : results)
        switch (result.End) {
        case TPhotoEnd::Done: ++done; break;
        case TPhotoEnd::Skipped: ++skipped; break;
        case TPhotoEnd::Failed: ++failed; break;
        case TPhotoEnd::NotStarted:
        case TPhotoEnd::Cancelled: ++undone; break;
        }
    std::string head = Count(int(results.size()), "photo", "photos") + ": " + std::to_string(done) + " done, " +
                       std::to_string(skipped) + " skipped, " + std::to_string(failed) + " failed";
    if (stopped)
        head += ", " + std::to_string(undone) + " not done: stopped";
    head += ", in " + DurationText(seconds);
    std::vector<std::string> lines = {head};
    for (const TPhotoResult& result : results) {
        if (result.End == TPhotoEnd::Failed)
            lines.push_back("failed: " + result.Reason);
        if (!result.Warning.empty())
            lines.push_back("warning: " + result.Warning);
    }
    return lines;
}

std::string BytesText(std::uint64_t bytes)
{
    char text[32];
    if (bytes >= (std::uint64_t(10) << 30))
        std::snprintf(text, sizeof text, "%.0f GiB", double(bytes) / double(1 << 30));
    else if (bytes >= (std::uint64_t(1) << 30))
        std::snprintf(text, sizeof text, "%.1f GiB", double(bytes) / double(1 << 30));
    else
        std::snprintf(text, sizeof text, "%.0f MiB", double(bytes) / double(1 << 20));
    return text;
}

std::string BatchResourcesText(int jobs, int threads, std::uint64_t budget, std::uint64_t mostHeld)
{
    std::string text = Count(jobs, "photo", "photos");
    text += " at a time, ";
    text += Count(threads, "thread", "threads");
    text += " each, within a memory budget of ";
    text += BytesText(budget);
    text += " (at most ";
    text += BytesText(mostHeld);
    text += " taken)";
    return text;
}
