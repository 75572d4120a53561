#include "picture/HeifItems.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace {

struct TBox {
    char Type[4];
    const std::uint8_t* Body;
    std::size_t Size;
};

struct TReader {
    const std::uint8_t* At;
    std::size_t Left;

    bool Has(std::size_t count) const { return Left >= count; }
    std::uint32_t Get(int bytes)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value = value << 8 | At[i];
        At += bytes;
        Left -= std::size_t(bytes);
        return value;
    }
};

// The boxes in [data, data + size) in order, up to the first that claims
// more bytes than there are (libheif refuses such a box too).
std::vector<TBox> BoxesIn(const std::uint8_t* data, std::size_t size)
{
    std::vector<TBox> boxes;
    std::size_t at = 0;
    while (size - at >= 8) {
        TReader reader{data + at, size - at};
        std::uint64_t boxSize = reader.Get(4);
        TBox box{};
        std::memcpy(box.Type, reader.At, 4);
        reader.Get(4);
        std::size_t header = 8;
        if (boxSize == 1) {
            if (!reader.Has(8))
                break;
            const std::uint64_t high = reader.Get(4);
            boxSize = high << 32 | reader.Get(4);
            header = 16;
        } else if (boxSize == 0) {
            boxSize = size - at; // the box runs to the end
        }
        if (std::memcmp(box.Type, "uuid", 4) == 0)
            header += 16;
        if (boxSize < header || boxSize > size - at)
            break;
        box.Body = data + at + header;
        box.Size = std::size_t(boxSize) - header;
        boxes.push_back(box);
        at += std::size_t(boxSize);
    }
    return boxes;
}

bool IsType(const char* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

struct TItems {
    // Every type an item ID is given, in case a file names one twice.
    std::map<std::uint32_t, std::vector<std::string>> Types;
    struct TDerivation {
        std::uint32_t From;
        std::vector<std::uint32_t> To;
    };
    std::vector<TDerivation> Derivations;
};

// An "infe" entry: from version 2 on it names the item's type.
void ReadItemEntry(const TBox& box, TItems& items)
{
    TReader reader{box.Body, box.Size};
    if (!reader.Has(4))
        return;
    const std::uint32_t version = reader.Get(4) >> 24;
    const int idBytes = version >= 3 ? 4 : 2;
    if (!reader.Has(std::size_t(idBytes)))
        return;
    const std::uint32_t id = reader.Get(idBytes);
    std::string type;
    if (version >= 2 && reader.Has(6)) {
        reader.Get(2); // protection index
        type.assign(reinterpret_cast<const char*>(reader.At), 4);
    }
    items.Types[id].push_back(type);
}

// An item count of 0 leaves the entries unread, as libheif does.
void ReadItemInfo(const TBox& box, TItems& items)
{
    TReader reader{box.Body, box.Size};
    if (!reader.Has(4))
        return;
    const std::uint32_t version = reader.Get(4) >> 24;
    const int countBytes = version == 0 ? 2 : 4;
    if (!reader.Has(std::size_t(countBytes)) || reader.Get(countBytes) == 0)
        return;
    for (const TBox& entry : BoxesIn(reader.At, reader.Left))
        if (IsType(entry.Type, "infe"))
            ReadItemEntry(entry, items);
}

// The references follow each other as libheif reads them: a header (whose
// size libheif does not look at), the item, a count and the items it names.
void ReadReferences(const TBox& box, TItems& items)
{
    TReader reader{box.Body, box.Size};
    if (!reader.Has(4))
        return;
    const int idBytes = (reader.Get(4) >> 24) == 0 ? 2 : 4;
    while (reader.Has(8)) {
        const std::uint32_t boxSize = reader.Get(4);
        char type[4];
        std::memcpy(type, reader.At, 4);
        reader.Get(4);
        std::size_t more = boxSize == 1 ? 8 : 0;
        if (std::memcmp(type, "uuid", 4) == 0)
            more += 16;
        if (!reader.Has(more + std::size_t(idBytes) + 2))
            return;
        reader.At += more;
        reader.Left -= more;
        TItems::TDerivation derivation;
        derivation.From = reader.Get(idBytes);
        const std::uint32_t count = reader.Get(2);
        for (std::uint32_t i = 0; i < count && reader.Has(std::size_t(idBytes)); ++i)
            derivation.To.push_back(reader.Get(idBytes));
        if (std::memcmp(type, "dimg", 4) == 0)
            items.Derivations.push_back(derivation);
    }
}

bool IsOneOf(const std::string& type, std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(), [&](const char* name) { return type == name; });
}

// The item types this program's libheif decodes as images.
bool IsImage(const TItems& items, std::uint32_t id)
{
    const auto found = items.Types.find(id);
    if (found == items.Types.end())
        return false;
    return std::all_of(found->second.begin(), found->second.end(), [](const std::string& type) {
        return IsOneOf(type, {"hvc1", "av01", "grid", "iden", "iovl"});
    });
}

} // namespace

bool DerivedImagesReferToImages(const std::uint8_t* data, std::size_t size)
{
    // libheif reads the first "meta" box, and in it the first item list and
    // the first references.
    TItems items;
    const std::vector<TBox> top = BoxesIn(data, size);
    const auto meta = std::find_if(top.begin(), top.end(), [](const TBox& box) { return IsType(box.Type, "meta"); });
    if (meta == top.end() || meta->Size < 4)
        return true;
    bool listRead = false, referencesRead = false;
    for (const TBox& box : BoxesIn(meta->Body + 4, meta->Size - 4)) {
        if (IsType(box.Type, "iinf") && !listRead) {
            ReadItemInfo(box, items);
            listRead = true;
        } else if (IsType(box.Type, "iref") && !referencesRead) {
            ReadReferences(box, items);
            referencesRead = true;
        }
    }
    for (const TItems::TDerivation& derivation : items.Derivations) {
        const auto from = items.Types.find(derivation.From);
        if (from == items.Types.end() ||
            std::none_of(from->second.begin(), from->second.end(), [](const std::string& type) {
                return IsOneOf(type, {"grid", "iden", "iovl"});
            }))
            continue;
        for (const std::uint32_t to : derivation.To)
            if (!IsImage(items, to))
                return false;
    }
    return true;
}
