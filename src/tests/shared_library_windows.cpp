#include <windows.h>

#include <stdexcept>
#include <string>

#include "shared_library.hpp"

namespace vantrel_host {

namespace {

std::wstring wide_path(const char* path) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path, -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    // LoadLibraryW takes only backslashes as separators.
    for (wchar_t& c : wide) {
        c = c == L'/' ? L'\\' : c;
    }
    return wide;
}

}  // namespace

void* load_library(const char* path) {
    HMODULE library = LoadLibraryW(wide_path(path).c_str());
    if (library == nullptr) {
        throw std::runtime_error("LoadLibraryW failed with error " +
                                 std::to_string(GetLastError()) + " for " + path);
    }
    return reinterpret_cast<void*>(library);
}

void* find_symbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void unload_library(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}

}  // namespace vantrel_host
