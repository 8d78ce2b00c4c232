#pragma once

// The method boundary: no exception may cross into the engine.

#include <cstdio>
#include <exception>

#include "internal_error.hpp"

namespace vantrel {

using FaultReporter = void (*)(const char* description, const char* function);

// Runs `body`; any exception is reported under `function` and yields false. The report is
// formatted without allocating, since the fault may be an exhausted heap.
template <typename Body>
bool guarded(const char* function, FaultReporter report, Body&& body) noexcept {
    char description[512];
    try {
        body();
        return true;
    } catch (const vantrel_sim::InternalError& error) {
        std::snprintf(description, sizeof description, "Internal error: %s", error.what());
    } catch (const std::exception& error) {
        std::snprintf(description, sizeof description, "Unexpected exception: %s", error.what());
    } catch (...) {
        std::snprintf(description, sizeof description, "Unexpected exception of unknown type");
    }
    report(description, function);
    return false;
}

}  // namespace vantrel
