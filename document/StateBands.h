#pragma once

#include "document/StateFile.h"

#include <compare>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

// History states on disk as bands: each picture is cut into bands of whole
// rows (about 256 KiB of pixels each), every band is a file of its own named
// by a hash of its pixels, and a state is a small index file naming its
// bands. A band is written once and shared by every state that holds it: a
// stroke adds the few bands it touched rather than the whole document (a
// 12-megapixel photo is tens of MB a state otherwise), and a read skips the
// bands the reader's buffers hold already.

struct TBandKey {
    std::uint64_t High = 0;
    std::uint64_t Low = 0;
    friend auto operator<=>(const TBandKey&, const TBandKey&) = default;
};

// "band-" and the key in 32 hex digits.
std::string BandFileName(const TBandKey& key);
bool IsBandFileName(const std::string& name);

// Rows per band of a picture of that width.
int BandRows(int width);
// The keys of a picture's bands, top down; none for an empty picture.
std::vector<TBandKey> BandKeys(const TBitmap& picture);

// Writes a file of the folder: `write` fills a new file, which then takes
// the name (THistoryFolder::WriteFile).
using TFolderWriter = std::function<void(const std::string& name, const std::function<void(int fd)>& write)>;

// Writes the bands of `state` that are not in `present` (each then added to
// `present` and to `written`), then the index as `indexName`. Returns the
// keys the index names: the sketch's bands, the colouring layer's, the
// photo's. Throws TFileError (or std::bad_alloc); the bands written before
// the failure are in `written`. `shown` names the folder in messages.
std::vector<TBandKey> WriteStateBands(const TFolderWriter& writeFile, const std::string& indexName,
                                      const THistoryState& state, std::set<TBandKey>& present,
                                      std::vector<TBandKey>& written, const std::string& shown);

// Reads the state whose index file is open as `fd`, its bands from the
// folder `dirFd`. Bands the buffers of `state` hold already are not read.
// A state file of the earlier single-file kind is read as well. Throws
// TFileError for anything that is not a whole state, std::bad_alloc when
// memory runs out; after a failure the buffers mean nothing. `name` names
// the index file in messages.
void ReadStateBands(int dirFd, int fd, THistoryState& state, const std::string& name);
