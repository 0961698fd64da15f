#pragma once

namespace Quill {

// One process-wide instance, created on first use.
template <class T>
class CSingleton {
public:
    static T* Instance()
    {
        static T instance;
        return &instance;
    }
};

}  // namespace Quill
