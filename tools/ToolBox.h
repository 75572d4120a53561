#pragma once

#include "tools/Tool.h"
#include "tools/ToolCodes.h"
#include "tools/ToolEnvironment.h"

#include <map>

class TPlacedObjectTool;
#include <memory>

// One object per tool code that has one, all working through the same
// environment; the view routes its pointer events by the current code.
class TToolBox {
public:
    explicit TToolBox(TToolEnvironment& environment);

    // The tool of a code; nullptr for codes that route nothing.
    TTool* Find(TToolCode code) const;
    // The code of the tool whose last committed object can be edited again
    // (Edit Last Object); None when there is none.
    TToolCode ReopenableObject() const;
    // The placed-object tool of a code; nullptr for other codes.
    TPlacedObjectTool* PlacedTool(TToolCode code) const;

private:
    std::map<TToolCode, std::unique_ptr<TTool>> Tools;
};
