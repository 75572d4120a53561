#pragma once

#include <string>
#include <utility>
#include <vector>

// A file named on the command line, with what it is for ("INPUT",
// "--sketch-out", ...), as the messages call it.
struct TNamedFile {
    std::string Role;
    std::string Path;
};

// Writing an output over the input, or two outputs over each other, would
// destroy the photo or lose a result. Returns the sentence that says which
// two name the same file, or an empty text. Files that exist are compared by
// device and inode (so links and other spellings are caught), others by their
// absolute, normalised paths with the existing folders' links resolved.
std::string SameFileReason(const std::vector<TNamedFile>& files);
