#include "picture/JpegFile.h"

#include "picture/ColorProfile.h"
#include "picture/ExifOrientation.h"
#include "picture/FileError.h"
#include "picture/MemoryBudget.h"
#include "picture/Orientation.h"
#include "picture/SafeFile.h"
#include "picture/WholeFile.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include <unistd.h>

#include <jerror.h>
#include <jpeglib.h>

// libjpeg reports a fatal error by calling error_exit, which must not return.
// Ours longjmps back to the setjmp of the step that called into the library.
// A longjmp is only sound when the frames it skips hold nothing with a
// destructor, so every call into the library sits in a small step function
// (ReadHeader, StartDecoding, ReadRows, Compress) whose locals are plain data;
// the objects that own memory (the libjpeg structures, the picture, buffers)
// live in the callers, which the longjmp never crosses. C++ exceptions never
// pass through the library either: the stream destination catches them and
// hands them back after the step.

namespace {

constexpr int MaxScans = 256;
constexpr int MinScans = 32;
constexpr std::int64_t ScanBudget = std::int64_t(1) << 27;
constexpr int RowsPerCall = 16;
constexpr std::size_t OutputChunk = 64 * 1024;
constexpr std::size_t InputChunk = 64 * 1024;

struct TJpegErrors {
    jpeg_error_mgr pub; // first: the library hands back a pointer to it
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    char warning[JMSG_LENGTH_MAX];
    bool damaged;
};

TJpegErrors& ErrorsOf(j_common_ptr info) { return *reinterpret_cast<TJpegErrors*>(info->err); }

[[noreturn]] void ErrorExit(j_common_ptr info)
{
    TJpegErrors& errors = ErrorsOf(info);
    if (info->err->msg_code == JERR_NO_BACKING_STORE)
        std::snprintf(errors.message, sizeof errors.message,
                      "the picture needs more memory than the JPEG decoder may use (%ld MiB)", JpegMemoryLimit >> 20);
    else
        info->err->format_message(info, errors.message);
    std::longjmp(errors.jump, 1);
}

// Our own reason to stop the library, reported like one of its errors.
[[noreturn]] void Stop(j_common_ptr info, const char* reason)
{
    TJpegErrors& errors = ErrorsOf(info);
    std::snprintf(errors.message, sizeof errors.message, "%s", reason);
    std::longjmp(errors.jump, 1);
}

void EmitMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return; // trace output
    TJpegErrors& errors = ErrorsOf(info);
    ++info->err->num_warnings;
    // A newer JFIF revision number says nothing about the pixels.
    if (info->err->msg_code == JWRN_JFIF_MAJOR || errors.damaged)
        return;
    info->err->format_message(info, errors.warning);
    errors.damaged = true;
}

void OutputMessage(j_common_ptr) {}

void InstallErrors(TJpegErrors& errors)
{
    jpeg_std_error(&errors.pub);
    errors.pub.error_exit = ErrorExit;
    errors.pub.emit_message = EmitMessage;
    errors.pub.output_message = OutputMessage;
    errors.message[0] = '\0';
    errors.warning[0] = '\0';
    errors.damaged = false;
}

struct TScanGuard {
    jpeg_progress_mgr pub; // first: the library hands back a pointer to it
    int scanLimit;
    char reason[JMSG_LENGTH_MAX];
};

// Called by the library before each row of blocks it takes in, so also before
// each scan of a progressive file.
void WatchScans(j_common_ptr info)
{
    if (!info->is_decompressor)
        return;
    auto* guard = reinterpret_cast<TScanGuard*>(info->progress);
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > guard->scanLimit)
        Stop(info, guard->reason);
}

struct TJpegDecoder {
    jpeg_decompress_struct info{};
    TJpegErrors errors{};
    TScanGuard guard{};
    std::size_t sourceSize = 0; // of the whole compressed data (file or memory)
    JOCTET* profile = nullptr; // the ICC profile from the APP2 markers, malloc'd by the library
    unsigned int profileSize = 0;

    TJpegDecoder()
    {
        InstallErrors(errors);
        info.err = &errors.pub;
        guard.pub.progress_monitor = WatchScans;
        guard.scanLimit = MaxScans;
    }
    // Safe in every state, also after a longjmp out of the library.
    ~TJpegDecoder()
    {
        jpeg_destroy_decompress(&info);
        std::free(profile);
    }
    TJpegDecoder(const TJpegDecoder&) = delete;
    TJpegDecoder& operator=(const TJpegDecoder&) = delete;
};

// Where the compressed bytes come from: memory, or a file read piece by
// piece (see TFileSource).
struct TSource {
    const std::uint8_t* Data = nullptr; // memory, or
    jpeg_source_mgr* Manager = nullptr; // a source manager of our own
};

bool ReadHeader(TJpegDecoder& d, const TSource& source)
{
    if (setjmp(d.errors.jump))
        return false;
    jpeg_create_decompress(&d.info);
    d.info.mem->max_memory_to_use = JpegMemoryLimit;
    d.info.progress = &d.guard.pub;
    if (source.Manager != nullptr)
        d.info.src = source.Manager;
    else
        jpeg_mem_src(&d.info, source.Data, static_cast<unsigned long>(d.sourceSize));
    jpeg_save_markers(&d.info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&d.info, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&d.info, TRUE);
    // A damaged profile is no reason to refuse the picture: it stays untagged.
    if (!jpeg_read_icc_profile(&d.info, &d.profile, &d.profileSize)) {
        d.profile = nullptr;
        d.profileSize = 0;
    }
    return true;
}

// The compressed data read from an open file a piece at a time, so that only
// what the decoder asks for is ever read: a picture followed by gigabytes of
// anything costs no more than the picture, and the decoder stops at its
// end-of-image marker. The end of the file before that marker is reported as
// the library's own source managers do (a warning, then a made-up marker).
struct TFileSource {
    jpeg_source_mgr pub; // first: the library hands back a pointer to it
    int fd;
    bool started;
    int readError;
    std::vector<JOCTET> buffer;
};

TFileSource& FileSourceOf(j_decompress_ptr info) { return *reinterpret_cast<TFileSource*>(info->src); }

void InitFileSource(j_decompress_ptr info) { FileSourceOf(info).started = false; }

boolean FillFileBuffer(j_decompress_ptr info)
{
    TFileSource& src = FileSourceOf(info);
    ssize_t got;
    do
        got = ::read(src.fd, src.buffer.data(), src.buffer.size());
    while (got < 0 && errno == EINTR);
    if (got < 0) {
        src.readError = errno;
        ERREXIT(info, JERR_FILE_READ);
    }
    if (got == 0) {
        if (!src.started)
            ERREXIT(info, JERR_INPUT_EMPTY);
        WARNMS(info, JWRN_JPEG_EOF);
        src.buffer[0] = JOCTET(0xFF);
        src.buffer[1] = JOCTET(JPEG_EOI);
        got = 2;
    }
    src.pub.next_input_byte = src.buffer.data();
    src.pub.bytes_in_buffer = std::size_t(got);
    src.started = true;
    return TRUE;
}

void SkipFileData(j_decompress_ptr info, long count)
{
    TFileSource& src = FileSourceOf(info);
    if (count <= 0)
        return;
    while (count > long(src.pub.bytes_in_buffer)) {
        count -= long(src.pub.bytes_in_buffer);
        FillFileBuffer(info);
    }
    src.pub.next_input_byte += count;
    src.pub.bytes_in_buffer -= std::size_t(count);
}

void TermFileSource(j_decompress_ptr) {}

void InstallFileSource(TFileSource& src, int fd)
{
    src.pub.init_source = InitFileSource;
    src.pub.fill_input_buffer = FillFileBuffer;
    src.pub.skip_input_data = SkipFileData;
    src.pub.resync_to_restart = jpeg_resync_to_restart;
    src.pub.term_source = TermFileSource;
    src.pub.next_input_byte = nullptr;
    src.pub.bytes_in_buffer = 0;
    src.fd = fd;
    src.started = false;
    src.readError = 0;
    src.buffer.resize(InputChunk);
}

bool IsCmyk(const jpeg_decompress_struct& info)
{
    return info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
}

bool StartDecoding(TJpegDecoder& d)
{
    if (setjmp(d.errors.jump))
        return false;
    d.info.dct_method = JDCT_ISLOW;
    // The library turns YCCK into CMYK but has no CMYK to RGB conversion.
    d.info.out_color_space = IsCmyk(d.info) ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(&d.info);
    return true;
}

// Adobe applications store CMYK inverted (255 is no ink); their files say so
// with the Adobe marker. Without it the values are taken as plain ink.
void CmykToBgr(const std::uint8_t* cmyk, std::uint8_t* bgr, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        bgr[0] = std::uint8_t((y * k + 127) / 255);
        bgr[1] = std::uint8_t((m * k + 127) / 255);
        bgr[2] = std::uint8_t((c * k + 127) / 255);
    }
}

// Decodes the rows into the picture; cmykRow is a row buffer of four bytes a
// pixel for CMYK files and null otherwise, and profile the conversion of the
// file's CMYK profile when it has one (null otherwise).
bool ReadRows(TJpegDecoder& d, TBitmap& picture, std::uint8_t* cmykRow, const TCmykConversion* profile)
{
    if (setjmp(d.errors.jump))
        return false;
    const bool inverted = d.info.saw_Adobe_marker;
    while (d.info.output_scanline < d.info.output_height) {
        const JDIMENSION first = d.info.output_scanline;
        JDIMENSION got = 0;
        if (cmykRow != nullptr) {
            JSAMPROW row = cmykRow;
            got = jpeg_read_scanlines(&d.info, &row, 1);
            if (got == 1 && profile != nullptr)
                profile->Row(cmykRow, picture.ScanLine(int(first)), picture.Width());
            else if (got == 1)
                CmykToBgr(cmykRow, picture.ScanLine(int(first)), picture.Width(), inverted);
        } else {
            JSAMPROW rows[RowsPerCall];
            const JDIMENSION count = std::min<JDIMENSION>(RowsPerCall, d.info.output_height - first);
            for (JDIMENSION i = 0; i < count; ++i)
                rows[i] = picture.ScanLine(int(first + i));
            got = jpeg_read_scanlines(&d.info, rows, count);
        }
        if (got == 0)
            Stop(reinterpret_cast<j_common_ptr>(&d.info), "the decoder stopped before the last row");
    }
    return true;
}

int OrientationOf(const jpeg_decompress_struct& info)
{
    static const char Signature[6] = {'E', 'x', 'i', 'f', 0, 0};
    for (jpeg_saved_marker_ptr m = info.marker_list; m != nullptr; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= sizeof Signature &&
            std::memcmp(m->data, Signature, sizeof Signature) == 0)
            return ExifOrientation(m->data, m->data_length);
    return 1;
}

std::int64_t BlockCount(const jpeg_decompress_struct& info)
{
    std::int64_t blocks = 0;
    for (int c = 0; c < info.num_components; ++c)
        blocks += std::int64_t(info.comp_info[c].width_in_blocks) * info.comp_info[c].height_in_blocks;
    return blocks;
}

[[noreturn]] void Fail(const TJpegDecoder& d, const std::string& name)
{
    throw TFileError("Cannot read " + name + ": " + d.errors.message);
}

// The output buffer of the encoder, emptied into a C++ stream.
struct TStreamDestination {
    jpeg_destination_mgr pub; // first: the library hands back a pointer to it
    std::ostream* out;
    std::vector<JOCTET> buffer;
    std::exception_ptr exception;
};

TStreamDestination& DestinationOf(j_compress_ptr info) { return *reinterpret_cast<TStreamDestination*>(info->dest); }

// Never throws: an exception from the stream is kept for after the step.
bool Flush(TStreamDestination& dest, std::size_t bytes) noexcept
{
    try {
        dest.out->write(reinterpret_cast<const char*>(dest.buffer.data()), std::streamsize(bytes));
        return bool(*dest.out);
    } catch (...) {
        dest.exception = std::current_exception();
        return false;
    }
}

void InitDestination(j_compress_ptr info)
{
    TStreamDestination& dest = DestinationOf(info);
    dest.pub.next_output_byte = dest.buffer.data();
    dest.pub.free_in_buffer = dest.buffer.size();
}

boolean EmptyOutputBuffer(j_compress_ptr info)
{
    TStreamDestination& dest = DestinationOf(info);
    // The library asks only when the whole buffer is full.
    if (!Flush(dest, dest.buffer.size()))
        ERREXIT(info, JERR_FILE_WRITE);
    InitDestination(info);
    return TRUE;
}

void TermDestination(j_compress_ptr info)
{
    TStreamDestination& dest = DestinationOf(info);
    if (!Flush(dest, dest.buffer.size() - dest.pub.free_in_buffer))
        ERREXIT(info, JERR_FILE_WRITE);
}

struct TJpegEncoder {
    jpeg_compress_struct info{};
    TJpegErrors errors{};
    TStreamDestination dest{};

    explicit TJpegEncoder(std::ostream& out)
    {
        InstallErrors(errors);
        info.err = &errors.pub;
        dest.pub.init_destination = InitDestination;
        dest.pub.empty_output_buffer = EmptyOutputBuffer;
        dest.pub.term_destination = TermDestination;
        dest.out = &out;
        dest.buffer.resize(OutputChunk);
    }
    ~TJpegEncoder() { jpeg_destroy_compress(&info); }
    TJpegEncoder(const TJpegEncoder&) = delete;
    TJpegEncoder& operator=(const TJpegEncoder&) = delete;
};

bool Compress(TJpegEncoder& e, const TBitmap& picture, int quality)
{
    if (setjmp(e.errors.jump))
        return false;
    jpeg_create_compress(&e.info);
    e.info.dest = &e.dest.pub;
    e.info.image_width = JDIMENSION(picture.Width());
    e.info.image_height = JDIMENSION(picture.Height());
    e.info.input_components = 3;
    e.info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&e.info);
    jpeg_set_quality(&e.info, quality, TRUE);
    jpeg_start_compress(&e.info, TRUE);
    while (e.info.next_scanline < e.info.image_height) {
        const JDIMENSION first = e.info.next_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(RowsPerCall, e.info.image_height - first);
        JSAMPROW rows[RowsPerCall];
        // The library only reads the rows it is given.
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = const_cast<JSAMPROW>(picture.ScanLine(int(first + i)));
        jpeg_write_scanlines(&e.info, rows, count);
    }
    jpeg_finish_compress(&e.info);
    return true;
}

void WriteJpegNamed(std::ostream& out, const TBitmap& picture, int quality, const std::string& name)
{
    TJpegEncoder encoder(out);
    if (!Compress(encoder, picture, std::clamp(quality, 1, 100))) {
        if (encoder.dest.exception)
            std::rethrow_exception(encoder.dest.exception);
        throw TFileError("Cannot write " + name + ": " + encoder.errors.message);
    }
}

// The picture as stored, before the orientation is applied.
struct TStoredPicture {
    TBitmap picture;
    int orientation = 1;
    std::string damage; // empty, or the sentence that says what is damaged
    std::vector<std::uint8_t> profile;
};

TStoredPicture DecodeStored(const TSource& source, std::size_t size, const std::string& name)
{
    TJpegDecoder decoder;
    decoder.sourceSize = size;
    if (!ReadHeader(decoder, source))
        Fail(decoder, name);

    const jpeg_decompress_struct& info = decoder.info;
    const std::int64_t width = info.image_width;
    const std::int64_t height = info.image_height;
    if (!TBitmap::SizeAllowed(width, height))
        throw TFileError(name + " is too large: " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
    // Arithmetic coding has no floor on bits per block: a few hundred bytes
    // can make the decoder fill the largest picture, for many seconds.
    // Hardly any program writes such files, and most viewers refuse them too.
    if (info.arith_code)
        throw TFileError(name + " is an arithmetic-coded JPEG file, which this program does not open");
    const std::int64_t blocks = BlockCount(info);
    // Each block's DC coefficient takes at least one bit of Huffman code.
    if (blocks > std::int64_t(size) * 8)
        throw TFileError(name + " is truncated: it is too short to hold a picture of " + std::to_string(width) + " x " +
                         std::to_string(height) + " pixels");
    // The picture (and a CMYK file's coefficients) must fit in what is left,
    // or the decoder would fail half way after seconds of work.
    const std::uint64_t pictureBytes = std::uint64_t(width) * std::uint64_t(height) * 3;
    const std::uint64_t decoderBytes = info.progressive_mode ? std::uint64_t(blocks) * 128 : 0;
    if (!PictureMemoryFits(width, height, pictureBytes + decoderBytes))
        throw TFileError(name + " cannot be opened: " + NotEnoughMemoryText(width, height));
    decoder.guard.scanLimit = JpegScanLimit(blocks);
    std::snprintf(decoder.guard.reason, sizeof decoder.guard.reason,
                  "it has more than %d scans, far more than any real picture", decoder.guard.scanLimit);
    TStoredPicture stored;
    stored.orientation = OrientationOf(info);

    if (!StartDecoding(decoder))
        Fail(decoder, name);
    const int components = IsCmyk(info) ? 4 : 3;
    if (info.output_width != info.image_width || info.output_height != info.image_height ||
        info.output_components != components)
        throw TFileError("Cannot read " + name + ": the decoder gave an unexpected picture layout");

    stored.picture.SetSize(static_cast<int>(width), static_cast<int>(height));
    std::vector<std::uint8_t> cmykRow(components == 4 ? std::size_t(width) * 4 : 0);
    std::unique_ptr<TCmykConversion> cmykProfile;
    if (components == 4)
        cmykProfile =
            std::make_unique<TCmykConversion>(decoder.profile, decoder.profileSize, decoder.info.saw_Adobe_marker != 0);
    const TCmykConversion* conversion = cmykProfile && cmykProfile->Ok() ? cmykProfile.get() : nullptr;
    if (!ReadRows(decoder, stored.picture, cmykRow.empty() ? nullptr : cmykRow.data(), conversion))
        Fail(decoder, name);
    if (decoder.errors.damaged)
        stored.damage = name + " is damaged: " + decoder.errors.warning;
    if (decoder.profile != nullptr)
        stored.profile.assign(decoder.profile, decoder.profile + decoder.profileSize);
    return stored;
}

TBitmap Finish(TStoredPicture stored, std::string* warning)
{
    // The decoder and its buffers are gone before the picture is turned.
    if (!stored.damage.empty() && warning == nullptr)
        throw TFileError(stored.damage);
    ConvertToSrgb(stored.picture, stored.profile.data(), stored.profile.size());
    TBitmap upright = ApplyOrientation(std::move(stored.picture), stored.orientation);
    if (warning != nullptr)
        *warning = std::move(stored.damage);
    return upright;
}

} // namespace

int JpegScanLimit(std::int64_t blocks)
{
    if (blocks <= 0)
        return MaxScans;
    return int(std::clamp<std::int64_t>(ScanBudget / blocks, MinScans, MaxScans));
}

TBitmap DecodeJpeg(const std::uint8_t* data, std::size_t size, const std::string& name, std::string* warning)
{
    TSource source;
    source.Data = data;
    return Finish(DecodeStored(source, size, name), warning);
}

TBitmap ReadJpegFile(const std::string& path, std::string* warning)
{
    const TRegularFile opened(path);
    TFileSource file{};
    InstallFileSource(file, opened.Descriptor());
    TSource source;
    source.Manager = &file.pub;
    TStoredPicture stored;
    try {
        stored = DecodeStored(source, std::size_t(opened.Size()), path);
    } catch (const TFileError&) {
        if (file.readError != 0)
            throw TFileError("Cannot read " + path + ": " + std::strerror(file.readError));
        throw;
    }
    return Finish(std::move(stored), warning);
}

void WriteJpeg(std::ostream& out, const TBitmap& picture, int quality, const std::string& name)
{
    WriteJpegNamed(out, picture, quality, name);
}

void WriteJpegFile(const std::string& path, const TBitmap& picture, int quality)
{
    WriteFileSafely(path, [&](std::ostream& out) { WriteJpegNamed(out, picture, quality, path); });
}
