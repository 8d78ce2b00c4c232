#pragma once

// The engine class LoopCore: one Game per object, five methods.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "game.hpp"
#include "gdextension_abi.hpp"
#include "levels/level.hpp"

namespace vantrel {

struct LoopCore {
    vantrel_sim::Game game;
};

using Argument = std::variant<std::monostate, std::int64_t, std::string>;
using Result = std::variant<std::string, std::array<std::string_view, vantrel_sim::ROOM_COUNT>>;

// One engine-visible method; `parameter` is null for a method without arguments.
struct Method {
    const char* name;
    const char* function;
    std::uint32_t flags;
    gde::VariantType result;
    const char* parameter;
    gde::VariantType parameter_type;
    gde::ArgumentMetadata parameter_metadata;
    Result (*body)(LoopCore& core, const Argument& argument);
};

// In registration order: version, room_names, select_room, step, snapshot.
extern const std::array<Method, 5> LOOP_CORE_METHODS;

// The entry points the engine calls with a `Method` as the method userdata.
void call_method(void* method, void* instance, const void* const* args, gde::Int argc,
                 void* r_return, gde::CallError* r_error);
void ptrcall_method(void* method, void* instance, const void* const* args, void* r_return);

// Calls are taken only from the thread that initialized the library.
void remember_main_thread();

void report_fault(const char* description, const char* function);

// Registration with the engine, at Scene initialization and deinitialization.
void register_loop_core();
void unregister_loop_core();

}  // namespace vantrel
