#pragma once
// The GL calls made between StartRecording and StopRecording, by name.

#include <string>
#include <vector>

namespace GlCalls {

void StartRecording();
std::vector<std::string> StopRecording();

} // namespace GlCalls
