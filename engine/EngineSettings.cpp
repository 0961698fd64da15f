#include "engine/EngineSettings.h"

#include <cstring>

namespace Quill {

bool CVar::SetInt(int v)
{
    if (type != CVAR_INT || !value) {
        return false;
    }
    *static_cast<int*>(value) = v;
    return true;
}

bool CVar::SetFloat(float v)
{
    if (type != CVAR_FLOAT || !value) {
        return false;
    }
    *static_cast<float*>(value) = v;
    return true;
}

bool CVar::SetString(const char* v)
{
    if (type != CVAR_STRING || !value || size < 1 || !v) {
        return false;
    }
    char* dest = static_cast<char*>(value);
    size_t limit = static_cast<size_t>(size) - 1;
    size_t n = ::strnlen(v, limit);
    std::memcpy(dest, v, n);
    dest[n] = '\0';
    return true;
}

int CVar::GetInt() const
{
    return (type == CVAR_INT && value) ? *static_cast<const int*>(value) : 0;
}

float CVar::GetFloat() const
{
    return (type == CVAR_FLOAT && value) ? *static_cast<const float*>(value) : 0.0f;
}

std::string CVar::GetString() const
{
    if (type != CVAR_STRING || !value || size < 1) {
        return std::string();
    }
    const char* s = static_cast<const char*>(value);
    return std::string(s, ::strnlen(s, static_cast<size_t>(size)));
}

CVar* EngineSettings::NewCVar(const char* name, CVarType type, int size)
{
    if (!name) {
        return nullptr;
    }
    auto found = vars.find(name);
    if (found != vars.end()) {
        return &found->second->cvar;
    }
    auto slot = std::make_unique<Slot>();
    switch (type) {
        case CVAR_INT:
            slot->storage.assign(sizeof(int), 0);
            break;
        case CVAR_FLOAT:
            slot->storage.assign(sizeof(float), 0);
            break;
        case CVAR_STRING:
            slot->storage.assign(static_cast<size_t>(size < 1 ? 1 : size), 0);
            break;
        default:
            return nullptr;
    }
    slot->cvar.type = type;
    slot->cvar.size = static_cast<int>(slot->storage.size());
    slot->cvar.value = slot->storage.data();
    CVar* result = &slot->cvar;
    vars.emplace(name, std::move(slot));
    return result;
}

CVar* EngineSettings::Find(const char* name)
{
    if (!name) {
        return nullptr;
    }
    auto found = vars.find(name);
    return found == vars.end() ? nullptr : &found->second->cvar;
}

}  // namespace Quill
