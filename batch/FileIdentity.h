#pragma once

#include <sys/types.h>

#include <string>

// What tells two names of one file apart from two files: an existing file is
// known by its device and inode, so that links and other spellings name it
// alike; one that does not exist yet by its absolute, normalised path with
// the existing folders' links resolved. A dangling link is where its file
// will be created.
struct TFileIdentity {
    bool Exists = false;
    dev_t Device = 0;
    ino_t Inode = 0;
    std::string Normal;
};

TFileIdentity IdentityOf(const std::string& path);
bool SameFile(const TFileIdentity& a, const TFileIdentity& b);
