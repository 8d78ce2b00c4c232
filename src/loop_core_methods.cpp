#include <atomic>
#include <cstdio>
#include <limits>
#include <thread>
#include <utility>

#include "boundary.hpp"
#include "engine.hpp"
#include "engine_values.hpp"
#include "loop_core.hpp"
#include "session.hpp"

namespace vantrel {

namespace {

using gde::VariantType;

std::atomic<std::thread::id> main_thread;

// Hands the reply's faults to the engine's error print and keeps its text.
Result deliver(vantrel_sim::Reply reply) {
    for (const vantrel_sim::Fault& fault : reply.faults) {
        report_error(fault.description.c_str(), fault.function, __FILE__, __LINE__);
    }
    return std::move(reply.text);
}

Result version(LoopCore&, const Argument&) { return std::string(vantrel_sim::VERSION); }

Result room_names(LoopCore&, const Argument&) { return vantrel_sim::room_names(); }

Result select_room(LoopCore& core, const Argument& index) {
    return deliver(vantrel_sim::select_room_text(core.game, std::get<std::int64_t>(index)));
}

Result step(LoopCore& core, const Argument& input) {
    return deliver(vantrel_sim::step_text(core.game, std::get<std::string>(input)));
}

Result snapshot(LoopCore& core, const Argument&) {
    return deliver(vantrel_sim::snapshot_text(core.game));
}

bool on_main_thread(const Method& method) {
    if (std::this_thread::get_id() == main_thread.load()) {
        return true;
    }
    char description[160];
    std::snprintf(description, sizeof description,
                  "LoopCore.%s refused: called from a thread other than the main thread", method.name);
    report_error(description, method.function, __FILE__, __LINE__);
    return false;
}

// The one conversion that can fail once the type is right: `index` is a 32-bit integer.
bool in_range(const Method& method, const Argument& argument) {
    const std::int64_t* value = std::get_if<std::int64_t>(&argument);
    if (value == nullptr || (*value >= std::numeric_limits<std::int32_t>::min() &&
                             *value <= std::numeric_limits<std::int32_t>::max())) {
        return true;
    }
    char description[160];
    std::snprintf(description, sizeof description,
                  "Cannot convert argument '%s' to a 32-bit integer: %lld is out of range",
                  method.parameter, static_cast<long long>(*value));
    report_error(description, method.function, __FILE__, __LINE__);
    return false;
}

// A String converted from a Variant, destroyed on leaving scope.
struct VariantText {
    gde::StringStorage storage;
    explicit VariantText(void* variant) { engine().string_from_variant(&storage, variant); }
    ~VariantText() { engine().destroy_string(&storage); }
    VariantText(const VariantText&) = delete;
    VariantText& operator=(const VariantText&) = delete;
};

Argument argument_from_variant(const Method& method, const void* variant) {
    void* source = const_cast<void*>(variant);  // the engine's converters take non-const
    if (method.parameter_type == VariantType::Int) {
        std::int64_t value = 0;
        engine().int_from_variant(&value, source);
        return value;
    }
    const VariantText text(source);
    return utf8_of(&text.storage);
}

Argument argument_from_pointer(const Method& method, const void* pointer) {
    if (method.parameter_type == VariantType::Int) {
        return *static_cast<const std::int64_t*>(pointer);
    }
    return utf8_of(pointer);
}

void result_into_variant(Result& result, void* r_return) {
    if (std::string* text = std::get_if<std::string>(&result)) {
        EngineString value(*text);
        engine().variant_from_string(r_return, value.get());
        return;
    }
    EnginePackedStrings value(std::get<1>(result));
    engine().variant_from_packed_string_array(r_return, value.get());
}

void result_into_slot(Result& result, void* r_return) {
    if (std::string* text = std::get_if<std::string>(&result)) {
        EngineString(*text).move_into(r_return);
        return;
    }
    EnginePackedStrings(std::get<1>(result)).move_into(r_return);
}

bool variant_arguments_fit(const Method& method, const void* const* args, gde::Int argc,
                           gde::CallError& error) {
    const gde::Int expected = method.parameter == nullptr ? 0 : 1;
    if (argc != expected) {
        error = {argc < expected ? gde::CallErrorType::TooFewArguments : gde::CallErrorType::TooManyArguments,
                 0, static_cast<std::int32_t>(expected)};
        return false;
    }
    if (expected == 0 || engine().variant_get_type(args[0]) == method.parameter_type) {
        return true;
    }
    char description[160];
    std::snprintf(description, sizeof description, "Cannot convert argument '%s' of LoopCore.%s: expected %s",
                  method.parameter, method.name, method.parameter_type == VariantType::Int ? "int" : "String");
    report_error(description, method.function, __FILE__, __LINE__);
    error = {gde::CallErrorType::InvalidArgument, 0, static_cast<std::int32_t>(method.parameter_type)};
    return false;
}

}  // namespace

void remember_main_thread() { main_thread.store(std::this_thread::get_id()); }

void report_fault(const char* description, const char* function) {
    report_error(description, function, __FILE__, __LINE__);
}

void call_method(void* method_userdata, void* instance, const void* const* args, gde::Int argc,
                 void* r_return, gde::CallError* r_error) {
    const Method& method = *static_cast<const Method*>(method_userdata);
    if (!on_main_thread(method)) {
        return;
    }
    if (instance == nullptr) {
        *r_error = {gde::CallErrorType::InstanceIsNull, 0, 0};
        return;
    }
    if (!variant_arguments_fit(method, args, argc, *r_error)) {
        return;
    }
    guarded(method.function, report_fault, [&] {
        const Argument argument = argc == 0 ? Argument{} : argument_from_variant(method, args[0]);
        if (!in_range(method, argument)) {
            *r_error = {gde::CallErrorType::InvalidArgument, 0, static_cast<std::int32_t>(VariantType::Int)};
            return;
        }
        Result result = method.body(*static_cast<LoopCore*>(instance), argument);
        result_into_variant(result, r_return);
    });
}

void ptrcall_method(void* method_userdata, void* instance, const void* const* args, void* r_return) {
    const Method& method = *static_cast<const Method*>(method_userdata);
    if (!on_main_thread(method)) {
        return;
    }
    if (instance == nullptr) {
        report_error("LoopCore method called on a null instance", method.function, __FILE__, __LINE__);
        return;
    }
    guarded(method.function, report_fault, [&] {
        const Argument argument =
            method.parameter == nullptr ? Argument{} : argument_from_pointer(method, args[0]);
        if (!in_range(method, argument)) {
            return;
        }
        Result result = method.body(*static_cast<LoopCore*>(instance), argument);
        result_into_slot(result, r_return);
    });
}

const std::array<Method, 5> LOOP_CORE_METHODS = {{
    {"version", "vantrel::LoopCore::version", gde::METHOD_FLAG_NORMAL | gde::METHOD_FLAG_CONST,
     VariantType::String, nullptr, VariantType::Nil, gde::ArgumentMetadata::None, version},
    {"room_names", "vantrel::LoopCore::room_names", gde::METHOD_FLAG_NORMAL | gde::METHOD_FLAG_CONST,
     VariantType::PackedStringArray, nullptr, VariantType::Nil, gde::ArgumentMetadata::None, room_names},
    {"select_room", "vantrel::LoopCore::select_room", gde::METHOD_FLAG_NORMAL, VariantType::String, "index",
     VariantType::Int, gde::ArgumentMetadata::IntIsInt32, select_room},
    {"step", vantrel_sim::STEP_PATH, gde::METHOD_FLAG_NORMAL, VariantType::String, "input", VariantType::String,
     gde::ArgumentMetadata::None, step},
    {"snapshot", vantrel_sim::SNAPSHOT_PATH, gde::METHOD_FLAG_NORMAL | gde::METHOD_FLAG_CONST,
     VariantType::String, nullptr, VariantType::Nil, gde::ArgumentMetadata::None, snapshot},
}};

}  // namespace vantrel
