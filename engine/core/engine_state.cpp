// The engine's process-wide state. All members start at zero; engine_state.h
// states the invariants.
#include "engine/core/engine_state.h"

EngineStateData EngineState;
DrawContextData DrawContext;
