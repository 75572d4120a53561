#pragma once

#include "settings/ProgramDir.h"
#include "tests/picture/TempFolder.h"

// A fresh temporary folder that also stands in for the program directory.
class TTestFolder : public TTempFolder {
public:
    TTestFolder() { OverrideProgramDir(Path()); }
    ~TTestFolder() { OverrideProgramDir(""); }
};
