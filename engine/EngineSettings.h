#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/Singleton.h"

namespace Quill {

enum CVarType { CVAR_INT = 0, CVAR_FLOAT = 1, CVAR_STRING = 2 };

// A named engine setting. `value` points at storage of `size` bytes for
// strings, or at one int/float; setters only write when the type matches and
// getters of another type read 0, 0.0 or "". Strings are cut to size - 1
// characters and always end in a NUL.
struct CVar {
    void* value = nullptr;
    int size = 0;
    CVarType type = CVAR_INT;

    bool SetInt(int v);
    bool SetFloat(float v);
    bool SetString(const char* v);
    int GetInt() const;
    float GetFloat() const;
    std::string GetString() const;
};

class EngineSettings {
public:
    // Registers a setting (or returns the existing one with that name).
    // Strings get `size` bytes of storage; a size below 1 is raised to 1.
    CVar* NewCVar(const char* name, CVarType type, int size);
    CVar* Find(const char* name);

private:
    struct Slot {
        CVar cvar;
        std::vector<char> storage;
    };
    std::map<std::string, std::unique_ptr<Slot>> vars;
};

}  // namespace Quill
