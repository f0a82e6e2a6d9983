#pragma once
// The screensaver program's start-up registrations: every library's hooks in
// their fixed order. The program holds one before main; tests and benchmarks
// that run the program's data hold the same one.

#include "app/Registration.h"

namespace Engine {

class CProgramStartup : public CStartupRegistration {
public:
    CProgramStartup();
};

} // namespace Engine
