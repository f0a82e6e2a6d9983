#pragma once
// The program's own resources, made at build time by tools/mkicon.

namespace Engine {

// Links the program's icon group (kProgramIconId) into its module. Called
// once at start, before the application handles are taken.
void RegisterProgramResources();

} // namespace Engine
