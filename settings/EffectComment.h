#pragma once

#include "engine/EffectSettings.h"

#include <string>

// The history comment of an effect run: which layers were computed and with
// which settings, e.g. "Sketch(115,68,15) Sketch Type(2) ". Empty when
// neither layer was computed.
std::string EffectHistoryComment(const TEffectSettings& settings);
