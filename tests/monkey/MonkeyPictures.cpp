#include "tests/monkey/MonkeyPictures.h"

#include "picture/Bitmap.h"
#include "picture/BmpFile.h"
#include "picture/JpegFile.h"

#include <QColor>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>

namespace fs = std::filesystem;

namespace {

constexpr std::array<const char*, 14> PictureNames = {
    "tiny.bmp",  "tall.png",   "grey.png", "palette.png", "alpha.png",   "deep.png",     "deep.tif",
    "photo.jpg", "square.jpg", "wide.jpg", "big.jpg",     "project.p2c", "picture.heic", "lossless.webp",
};

// Files of the source tree, copied as they are.
const char* SourceFileOf(const std::string& name)
{
    if (name == "deep.tif")
        return LQ_SOURCE_DIR "/fuzz/corpus/tiff/rgba16-zip.tif";
    if (name == "photo.jpg")
        return LQ_SOURCE_DIR "/data/photos/coffee.jpg";
    if (name == "square.jpg")
        return LQ_SOURCE_DIR "/data/photos/astronaut.jpg";
    if (name == "wide.jpg")
        return LQ_SOURCE_DIR "/data/photos/storm.jpg";
    if (name == "project.p2c")
        return LQ_SOURCE_DIR "/fuzz/corpus/project/cartoon.p2c";
    if (name == "picture.heic")
        return LQ_SOURCE_DIR "/fuzz/corpus/heif/picture.heic";
    if (name == "lossless.webp")
        return LQ_SOURCE_DIR "/fuzz/corpus/webp/lossless-alpha.webp";
    return nullptr;
}

// A picture with gradients, edges and noise, so that every effect and
// every tool has something to work on.
QRgb PatternAt(int x, int y, int width, int height, std::mt19937& noise)
{
    const int r = width > 1 ? x * 255 / (width - 1) : 128;
    const int g = height > 1 ? y * 255 / (height - 1) : 128;
    const int b = ((x / 16 + y / 16) % 2) * 160 + int(noise() % 64);
    return qRgb(r, g, std::min(b, 255));
}

QImage Pattern(int width, int height, QImage::Format format)
{
    std::mt19937 noise(width * 7919 + height);
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QRgb rgb = PatternAt(x, y, width, height, noise);
            // Transparency that varies across the picture, fully clear at the left.
            const int alpha = format == QImage::Format_ARGB32 ? x * 255 / std::max(1, width - 1) : 255;
            image.setPixel(x, y, qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), alpha));
        }
    if (format == QImage::Format_Indexed8)
        return image.convertToFormat(format, Qt::ThresholdDither);
    return image.convertToFormat(format);
}

void WriteBigPhoto(const std::string& path)
{
    // 4000 x 3000: 12 megapixels, as a phone takes them.
    const int width = 4000, height = 3000;
    TBitmap photo(width, height);
    std::mt19937 noise(12);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = photo.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const int shade = (x * 200 / width + y * 55 / height);
            row[3 * x] = std::uint8_t((shade + noise() % 24) & 0xFF);
            row[3 * x + 1] = std::uint8_t(((x / 97 + y / 61) % 3) * 80);
            row[3 * x + 2] = std::uint8_t(255 - shade);
        }
    }
    WriteJpegFile(path, photo, 85);
}

void Make(const std::string& name, const std::string& path)
{
    if (const char* source = SourceFileOf(name)) {
        fs::copy_file(source, path, fs::copy_options::overwrite_existing);
        return;
    }
    if (name == "tiny.bmp") {
        TBitmap pixel(1, 1);
        pixel.Fill(40, 120, 200);
        WriteBmpFile(path, pixel);
    } else if (name == "big.jpg") {
        WriteBigPhoto(path);
    } else {
        QImage image;
        if (name == "tall.png")
            image = Pattern(1, 5000, QImage::Format_RGB32);
        else if (name == "grey.png")
            image = Pattern(200, 150, QImage::Format_Grayscale8);
        else if (name == "palette.png")
            image = Pattern(160, 120, QImage::Format_Indexed8);
        else if (name == "alpha.png")
            image = Pattern(240, 180, QImage::Format_ARGB32);
        else if (name == "deep.png")
            image = Pattern(100, 80, QImage::Format_RGBA64);
        if (image.isNull() || !image.save(QString::fromStdString(path), "PNG"))
            throw std::runtime_error("cannot make " + path);
    }
}

} // namespace

TMonkeyPictures::TMonkeyPictures(std::string folder)
    : folder_(std::move(folder))
{
    fs::create_directories(folder_);
}

std::span<const char* const> TMonkeyPictures::Names() { return PictureNames; }

std::string TMonkeyPictures::Path(const std::string& name) const
{
    if (std::find(PictureNames.begin(), PictureNames.end(), name) == PictureNames.end())
        return {};
    const std::string path = folder_ + "/" + name;
    if (!fs::exists(path)) {
        // Made beside and renamed, so that another run never sees half a file.
        const std::string part = path + ".part" + std::to_string(std::random_device()());
        Make(name, part);
        fs::rename(part, path);
    }
    return path;
}
