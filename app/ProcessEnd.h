#pragma once
// The end of the process does not wait on memory. Once the program's last
// run is ending, what only holds memory (a scene's objects, an effect
// file's emitters, a locale's strings) may be left for the process's end to
// give back whole, rather than let go of block by block: what a user or the
// log can see of the teardown (the configuration saved, the log lines, the
// devices let go) goes on as before. Sanitizer builds let go of everything,
// so that a leak is still found.

#include <type_traits>
#include <utility>

namespace Engine {

class CProcessEnd {
public:
    // The program allows it; a test or a tool that runs the application in
    // a process that goes on does not. Never in sanitizer builds.
    static void Allow(bool allowed);
    // The last run is ending (its quit was found, or its teardown began):
    // from now on memory may be left, when allowed.
    static void Begin();
    static bool IsLeavingMemory();
    // Ends the process with the code once its last run has ended (the
    // configuration saved, the log closed): no static object is let go of,
    // and the system's taking back of the memory left, page by page, is
    // handed to a child sharing it, which ends as soon as this process has.
    [[noreturn]] static void Exit(int code);

    // Hands the value over to the process's end when memory is being left;
    // else it is let go of at once.
    template <class T>
    static void Leave(T&& value) {
        using Value = std::remove_cvref_t<T>;
        if (IsLeavingMemory())
            new Value(std::move(value));
        else
            Value gone(std::move(value));
    }
};

} // namespace Engine
