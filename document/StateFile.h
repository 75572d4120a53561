#pragma once

#include "document/Document.h"

#include <string>

// One undo state held aside from the document: the three pictures a project
// keeps and the layer settings. The buffers are reused from state to state,
// so that taking a state costs a copy, not an allocation.
struct THistoryState {
    TBitmap Sketch;
    TBitmap Color;
    TBitmap Source;
    TLayerState Layers;

    void Take(const TDocument& document);
    // Puts the state into the document and sizes ViewBitmap to it.
    void Give(TDocument& document) const;
    // Puts the state into the document without copying: its pictures and the
    // document's change places.
    void SwapInto(TDocument& document);
    std::size_t ByteSize() const { return Sketch.ByteSize() + Color.ByteSize() + Source.ByteSize(); }
};

// The state files of earlier versions (StateBands.h writes them now, and
// reads these too), one file a state: a zstd frame
// (level 1) holding a short header, the layer settings, the three picture
// sizes, then the rows of each picture top-down without padding, each byte
// stored as its difference to the same colour of the pixel to its left.
// Photos compress poorly as they are; their differences compress well, and
// flat colours and white paper turn into runs of zeros.
//
// Both work on an open descriptor; `name` names the file in messages.
// Writing throws TFileError when the data cannot be written; reading throws
// TFileError for anything that is not a complete state of this program, and
// std::bad_alloc when memory runs out. Reading fills the buffers of `state`
// (reused when a picture keeps its size); after a failure their content
// means nothing.
void WriteStateFile(int fd, const THistoryState& state, const std::string& name);
void ReadStateFile(int fd, THistoryState& state, const std::string& name);
