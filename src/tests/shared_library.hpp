#pragma once

// Loading the engine library as the engine does on each platform.

namespace vantrel_host {

// Loads the library at `path` (UTF-8); throws std::runtime_error with the system's reason.
void* load_library(const char* path);
// The address of an exported function, or null when the library exports no such name.
void* find_symbol(void* library, const char* name);
void unload_library(void* library);

}  // namespace vantrel_host
