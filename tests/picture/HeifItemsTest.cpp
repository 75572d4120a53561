#include "picture/HeifItems.h"
#include "picture/FileError.h"
#include "picture/HeifFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using TBytes = std::string;

TBytes Be(std::uint64_t value, int bytes)
{
    TBytes out;
    for (int i = bytes - 1; i >= 0; --i)
        out += char(value >> (8 * i) & 0xFF);
    return out;
}

TBytes Box(const char* type, const TBytes& body) { return Be(8 + body.size(), 4) + type + body; }
TBytes FullBox(const char* type, int version, const TBytes& body)
{
    return Box(type, Be(std::uint32_t(version) << 24, 4) + body);
}
// The same box with a 64-bit size.
TBytes LargeBox(const char* type, const TBytes& body) { return Be(1, 4) + type + Be(16 + body.size(), 8) + body; }

struct TItem {
    std::uint32_t Id;
    const char* Type;
};
struct TReference {
    std::uint32_t From;
    std::vector<std::uint32_t> To;
    const char* Type = "dimg";
};

TBytes ItemEntry(const TItem& item, bool wide)
{
    return FullBox("infe", wide ? 3 : 2, Be(item.Id, wide ? 4 : 2) + Be(0, 2) + item.Type + TBytes(1, '\0'));
}

// A container with the item list and references given, and `more` boxes
// after them in the meta box; `wide` writes the 32-bit forms (iinf and iref
// version 1, infe version 3).
TBytes Container(const std::vector<TItem>& items, const std::vector<TReference>& references, bool wide = false,
                 const TBytes& more = {})
{
    const int idBytes = wide ? 4 : 2;
    TBytes entries;
    for (const TItem& item : items)
        entries += ItemEntry(item, wide);
    TBytes refs;
    for (const TReference& reference : references) {
        TBytes body = Be(reference.From, idBytes) + Be(reference.To.size(), 2);
        for (const std::uint32_t to : reference.To)
            body += Be(to, idBytes);
        refs += Box(reference.Type, body);
    }
    const TBytes meta = FullBox("hdlr", 0, Be(0, 4) + "pict" + TBytes(13, '\0')) + FullBox("pitm", 0, Be(1, 2)) +
                        FullBox("iinf", wide ? 1 : 0, Be(items.size(), wide ? 4 : 2) + entries) +
                        FullBox("iref", wide ? 1 : 0, refs) + more;
    return Box("ftyp", TBytes("heic") + Be(0, 4) + "mif1heic") + FullBox("meta", 0, meta);
}

bool Sound(const TBytes& file)
{
    return DerivedImagesReferToImages(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
}

TEST(HeifItems, DerivedImagesMayOnlyReferToImages)
{
    struct TCase {
        const char* Name;
        std::vector<TItem> Items;
        std::vector<TReference> References;
        bool Sound;
    };
    const TCase cases[] = {
        {"identity of a picture", {{1, "iden"}, {2, "hvc1"}}, {{1, {2}}}, true},
        {"grid of two AV1 tiles", {{1, "grid"}, {2, "av01"}, {3, "av01"}}, {{1, {2, 3}}}, true},
        {"overlay of a grid", {{1, "iovl"}, {2, "grid"}, {3, "hvc1"}}, {{1, {2}}, {2, {3}}}, true},
        {"identity of a missing item", {{1, "iden"}}, {{1, {99}}}, false},
        {"identity of Exif data", {{1, "iden"}, {2, "Exif"}}, {{1, {2}}}, false},
        {"overlay of a MIME item", {{1, "iovl"}, {2, "mime"}}, {{1, {2}}}, false},
        {"grid with one missing tile", {{1, "grid"}, {2, "hvc1"}}, {{1, {2, 7}}}, false},
        {"deeper derivation to nothing", {{1, "grid"}, {2, "iden"}}, {{1, {2}}, {2, {9}}}, false},
        {"an item named twice, once as Exif", {{1, "iden"}, {2, "hvc1"}, {2, "Exif"}}, {{1, {2}}}, false},
        // Only derived images decode what they name; other references are
        // libheif's own business.
        {"a coded picture naming Exif", {{1, "hvc1"}, {2, "Exif"}}, {{1, {2}}}, true},
        {"Exif described by a picture", {{1, "hvc1"}, {2, "Exif"}}, {{2, {1}, "cdsc"}}, true},
        {"thumbnail of a picture", {{1, "hvc1"}, {2, "hvc1"}}, {{2, {1}, "thmb"}}, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Sound(Container(c.Items, c.References)), c.Sound);
        EXPECT_EQ(Sound(Container(c.Items, c.References, true)), c.Sound) << "32-bit item IDs";
    }
}

TEST(HeifItems, BoxFormsAndDamageAreReadSafely)
{
    const TBytes bad = Container({{1, "iden"}}, {{1, {99}}});
    // The meta box written with a 64-bit size is read all the same.
    const std::size_t metaAt = bad.find("meta") - 4;
    const TBytes large = bad.substr(0, metaAt) + LargeBox("meta", bad.substr(metaAt + 8));
    EXPECT_FALSE(Sound(large));
    // A size of zero means "to the end of the file".
    TBytes toEnd = bad;
    toEnd.replace(metaAt, 4, Be(0, 4));
    EXPECT_FALSE(Sound(toEnd));

    // Cut anywhere, or with a box claiming more than there is, nothing is
    // read past the end (the sanitizer build watches) and no false alarm
    // comes from a sound file.
    const TBytes sound = Container({{1, "iden"}, {2, "hvc1"}}, {{1, {2}}});
    for (std::size_t length = 0; length <= sound.size(); ++length)
        EXPECT_TRUE(Sound(sound.substr(0, length))) << length;
    TBytes claimsMore = bad;
    claimsMore.replace(metaAt, 4, Be(bad.size(), 4));
    EXPECT_TRUE(Sound(claimsMore));
    EXPECT_TRUE(Sound(TBytes()));
}

// libheif reads references one after the other, whatever the size their
// boxes give, and only the first item list: read otherwise, these files
// passed the check and then stopped the program inside libheif.
TEST(HeifItems, ReferencesAndItemListsAreReadAsLibheifReadsThem)
{
    TBytes lyingSize = Container({{1, "iden"}, {2, "Exif"}}, {{1, {2}}});
    lyingSize.replace(lyingSize.find("dimg") - 4, 4, Be(0x20000000, 4));
    EXPECT_FALSE(Sound(lyingSize));

    // A 64-bit header on a reference: its size, too, is passed over.
    TBytes large = Container({{1, "iden"}, {2, "Exif"}}, {});
    const TBytes reference = Be(1, 4) + "dimg" + Be(0, 8) + Be(1, 2) + Be(1, 2) + Be(2, 2);
    const std::size_t irefAt = large.find("iref") - 4;
    large.replace(irefAt, 12, Be(12 + reference.size(), 4) + "iref" + Be(0, 4) + reference);
    const std::size_t metaAt = large.find("meta") - 4;
    large.replace(metaAt, 4, Be(large.size() - metaAt, 4)); // the meta box is the last
    EXPECT_FALSE(Sound(large));

    // The picture named in a second item list is unknown to libheif.
    const TBytes split =
        Container({{1, "iden"}}, {{1, {2}}}, false, FullBox("iinf", 0, Be(1, 2) + ItemEntry({2, "hvc1"}, false)));
    EXPECT_FALSE(Sound(split));
    EXPECT_TRUE(Sound(Container({{1, "iden"}, {2, "hvc1"}}, {{1, {2}}}, false,
                                FullBox("iinf", 0, Be(1, 2) + ItemEntry({2, "Exif"}, false)))));
}

TEST(HeifItems, TheReaderRefusesTheFileBeforeLibheifSeesIt)
{
    const TBytes bad = Container({{1, "iden"}, {2, "Exif"}}, {{1, {2}}});
    const auto* data = reinterpret_cast<const std::uint8_t*>(bad.data());
    try {
        DecodeHeif(data, bad.size(), "bad.heic");
        FAIL() << "no error";
    } catch (const TFileError& error) {
        EXPECT_NE(std::string(error.what()).find("Cannot read bad.heic: "), std::string::npos) << error.what();
    }
    EXPECT_THROW(DecodeHeifPreview(data, bad.size(), "bad.heic", 64), TFileError);
}

} // namespace
