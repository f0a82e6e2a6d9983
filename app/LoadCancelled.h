#pragma once
// Thrown out of a load that a quit cut short (LoadingQuitCheck.h). The run
// is ending, not failing: it is deliberately neither an Engine::CException
// nor a std::exception, so that the places which log a failed load, skip a
// damaged file or name it in a new message all let it pass; the loading
// steps take it and stop.

namespace Engine {

class CLoadCancelled {};

} // namespace Engine
