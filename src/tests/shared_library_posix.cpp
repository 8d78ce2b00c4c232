#include <dlfcn.h>

#include <stdexcept>
#include <string>

#include "shared_library.hpp"

namespace vantrel_host {

void* load_library(const char* path) {
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        throw std::runtime_error(std::string("dlopen failed: ") + dlerror());
    }
    return library;
}

void* find_symbol(void* library, const char* name) {
    return dlsym(library, name);
}

void unload_library(void* library) {
    dlclose(library);
}

}  // namespace vantrel_host
