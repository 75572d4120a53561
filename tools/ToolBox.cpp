#include "tools/ToolBox.h"

#include "tools/Balloon.h"
#include "tools/BoxTools.h"
#include "tools/BrushTool.h"
#include "tools/DropperTool.h"
#include "tools/EraserTool.h"
#include "tools/HandTool.h"
#include "tools/PaintBucket.h"
#include "tools/PencilTool.h"
#include "tools/PlacedObject.h"
#include "tools/ToneTool.h"

TToolBox::TToolBox(TToolEnvironment& environment)
{
    Tools[TToolCode::Pencil] = std::make_unique<TPencilTool>(environment);
    Tools[TToolCode::Brush] = std::make_unique<TBrushTool>(environment);
    Tools[TToolCode::Eraser] = std::make_unique<TEraserTool>(environment);
    Tools[TToolCode::PaintBucket] = std::make_unique<TPaintBucketTool>(environment);
    Tools[TToolCode::Lighten] = std::make_unique<TToneTool>(environment, false);
    Tools[TToolCode::Darken] = std::make_unique<TToneTool>(environment, true);
    for (TToolCode code : {TToolCode::Rectangle, TToolCode::Ellipse, TToolCode::Text})
        Tools[code] = std::make_unique<TBoxTool>(environment, code);
    for (TToolCode code : {TToolCode::BalloonRect, TToolCode::BalloonRounded, TToolCode::BalloonEllipse,
                           TToolCode::BalloonThought, TToolCode::BalloonShout})
        Tools[code] = std::make_unique<TBalloonTool>(environment, code);
    Tools[TToolCode::Hand] = std::make_unique<THandTool>(environment);
    Tools[TToolCode::Dropper] = std::make_unique<TDropperTool>(environment);
}

TTool* TToolBox::Find(TToolCode code) const
{
    const auto found = Tools.find(code);
    return found == Tools.end() ? nullptr : found->second.get();
}

TToolCode TToolBox::ReopenableObject() const
{
    // Each step has its own number, so at most one tool's object matches.
    for (const auto& [code, tool] : Tools)
        if (const auto* placed = dynamic_cast<const TPlacedObjectTool*>(tool.get()); placed && placed->CanReopen())
            return code;
    return TToolCode::None;
}

TPlacedObjectTool* TToolBox::PlacedTool(TToolCode code) const { return dynamic_cast<TPlacedObjectTool*>(Find(code)); }
