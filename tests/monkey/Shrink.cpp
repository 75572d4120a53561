#include "tests/monkey/Shrink.h"

#include <algorithm>

TActionList Shrink(const TActionList& failing, const std::function<bool(const TActionList&)>& fails, int budget)
{
    TActionList list = failing;
    std::size_t parts = 2;
    while (list.size() >= 2 && budget > 0) {
        const std::size_t size = list.size();
        const std::size_t chunk = (size + parts - 1) / parts;
        bool reduced = false;
        // A part alone, then the list without it.
        for (int pass = 0; pass < 2 && !reduced; ++pass)
            for (std::size_t start = 0; start < size && budget > 0; start += chunk) {
                const std::size_t end = std::min(size, start + chunk);
                TActionList candidate;
                if (pass == 0) {
                    candidate.assign(list.begin() + std::ptrdiff_t(start), list.begin() + std::ptrdiff_t(end));
                } else {
                    candidate.assign(list.begin(), list.begin() + std::ptrdiff_t(start));
                    candidate.insert(candidate.end(), list.begin() + std::ptrdiff_t(end), list.end());
                }
                if (candidate.empty() || candidate.size() == size)
                    continue;
                --budget;
                if (fails(candidate)) {
                    list = std::move(candidate);
                    parts = pass == 0 ? 2 : std::max<std::size_t>(parts - 1, 2);
                    reduced = true;
                    break;
                }
            }
        if (!reduced) {
            if (parts >= size)
                break;
            parts = std::min(parts * 2, size);
        }
    }
    return list;
}
