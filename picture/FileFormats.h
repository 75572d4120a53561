#pragma once

#include "picture/PictureKind.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

// Every kind of file the program opens or saves by name, in one table. The
// kind a name stands for, the file dialogs' filters, the save dialog's order
// and every message or usage text that lists the kinds are read from it.

// What a file name stands for, by its extension.
enum class TFileKind { None, Jpeg, Bitmap, Png, WebP, Tiff, Heif, Project };

struct TFileFormat {
    TFileKind Kind = TFileKind::None;
    // The reader a file of this name goes to when its content shows no kind;
    // Unknown for the project, which is no picture.
    TPictureKind Picture = TPictureKind::Unknown;
    // As messages and the renderer's usage name it ("JPEG", "bitmap").
    std::string_view Name = {};
    // The file dialogs' text, before its patterns.
    std::string_view FilterLabel = {};
    // Lower case, with the dot. The first is the one a saved name without an
    // extension gets, and the one the save dialog lists.
    std::span<const std::string_view> Extensions = {};
    bool Reads = false;
    bool Writes = false;
    // How it is written, as the renderer's usage says ("24-bit").
    std::string_view WrittenAs = {};
    // The save dialog's text for writing it lossless; empty where there is no
    // such choice.
    std::string_view LosslessLabel = {};
    // The open dialog lists each extension as a filter of its own.
    bool FilterPerExtension = false;

    bool IsPicture() const { return Picture != TPictureKind::Unknown; }
};

// In the order the open dialog lists them.
std::span<const TFileFormat> FileFormats();
// The first row of a kind (HEIC and AVIF share one); null for None.
const TFileFormat* FormatOfKind(TFileKind kind);

// The save dialog's filters, in the order it lists them: the kind written
// and whether lossless. The SaveFilter constants count them from 1.
struct TSaveFilter {
    TFileKind Kind = TFileKind::None;
    bool Lossless = false;
};
inline constexpr TSaveFilter SaveFilterKinds[] = {
    {TFileKind::Bitmap}, {TFileKind::Jpeg},       {TFileKind::Png},
    {TFileKind::WebP},   {TFileKind::WebP, true}, {TFileKind::Project},
};
inline constexpr int SaveFilterBitmap = 1;
inline constexpr int SaveFilterJpeg = 2;
inline constexpr int SaveFilterPng = 3;
inline constexpr int SaveFilterWebP = 4;
inline constexpr int SaveFilterWebPLossless = 5;
inline constexpr int SaveFilterProject = 6;

// One entry of a file dialog's type list: the text shown and the name
// patterns ("*.jpg") it lets through.
struct TDialogFilter {
    std::string Text;
    std::vector<std::string> Patterns;
    friend bool operator==(const TDialogFilter&, const TDialogFilter&) = default;
};
// Everything read, then each kind read, then every file.
std::vector<TDialogFilter> OpenDialogFilters();
// In the order of SaveFilterKinds.
std::vector<TDialogFilter> SaveDialogFilters();

// Which pictures a list names: those read, or those written.
enum class TFormatUse { Read, Written };
// The pictures' extensions, in the table's order (no project).
std::vector<std::string> PictureExtensions(TFormatUse use);
// The pictures' names, in the table's order.
std::vector<std::string> PictureNames(TFormatUse use);
// Every extension a document can be saved under, in the save dialog's order.
std::vector<std::string> SavedExtensions();

// "a, b or c": the items with `conjunction` between the last two.
std::string ListText(const std::vector<std::string>& items, std::string_view conjunction);

// The message for a file that holds no picture this program reads, by
// content or by name.
std::string NotAPictureText(const std::string& path);
