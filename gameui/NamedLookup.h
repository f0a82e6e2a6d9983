#pragma once
// Lookups by name in lists of named things: place objects (a Name field)
// and managed resources (GetName()).

#include <cstring>

#include "app/Referenced.h"

namespace GameUi {

// The first object whose Name equals the text, else null. Objects are
// held by any pointer-like type.
template <class Objects>
auto FindObjectByName(const Objects& objects, const char* name) -> decltype(&*objects.front()) {
    for (const auto& object : objects)
        if (object && std::strcmp(object->Name.c_str(), name) == 0) return &*object;
    return nullptr;
}

// A new reference to the first entry whose name equals the text, else null.
template <class T>
Engine::ref_ptr<T> FindDependentByName(const std::vector<Engine::ref_ptr<T>>& entries, const char* name) {
    for (const auto& entry : entries)
        if (entry && std::strcmp(entry->GetName().c_str(), name) == 0) return entry;
    return nullptr;
}

} // namespace GameUi
