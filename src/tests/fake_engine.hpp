#pragma once

// The engine's side of the GDExtension interface, played for a loaded vantrel library:
// interface lookup by name, opaque engine values of the engine's sizes that are counted and
// checked on every use, class and method registration, objects, both call paths and the
// error print.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "gdextension_abi.hpp"

namespace vantrel_host {

namespace gde = vantrel::gde;

struct ErrorPrint {
    std::string description;
    std::string function;
    std::string file;
    std::int32_t line = 0;
    bool editor_notify = false;
};

struct RegisteredProperty {
    gde::VariantType type = gde::VariantType::Nil;
    std::string name;
    std::string class_name;
    std::uint32_t hint = 0;
    std::string hint_string;
    std::uint32_t usage = 0;
};

struct RegisteredMethod {
    std::string name;
    void* userdata = nullptr;
    gde::MethodCall call = nullptr;
    gde::MethodPtrcall ptrcall = nullptr;
    std::uint32_t flags = 0;
    bool has_return = false;
    RegisteredProperty result;
    gde::ArgumentMetadata result_metadata = gde::ArgumentMetadata::None;
    std::vector<RegisteredProperty> arguments;
    std::vector<gde::ArgumentMetadata> argument_metadata;
    std::uint32_t default_argument_count = 0;
};

struct RegisteredClass {
    std::string name;
    std::string parent;
    gde::ClassCreationInfo5 info{};
    std::vector<RegisteredMethod> methods;
};

// An engine object: the RefCounted base with the extension instance attached.
struct FakeObject {
    std::string base_class;
    std::string extension_class;
    void* instance = nullptr;
};

// A Variant as the host builds and reads it.
struct Value {
    gde::VariantType type = gde::VariantType::Nil;
    std::int64_t integer = 0;
    double real = 0.0;
    std::string text;
    std::vector<std::string> texts;
};

struct CallOutcome {
    gde::CallError error{};
    Value result;
};

class FakeEngine {
public:
    FakeEngine();
    ~FakeEngine();
    FakeEngine(const FakeEngine&) = delete;
    FakeEngine& operator=(const FakeEngine&) = delete;

    // Loads the library and calls its entry function; false when the entry refuses.
    bool open(const char* library_path);
    // Every initialization level going up to `top`, as the engine does at startup: Scene in an
    // exported game, Editor in the editor.
    void initialize_levels(gde::InitializationLevel top = gde::InitializationLevel::Scene);
    // Every level reached going down, as the engine does at shutdown.
    void deinitialize_levels();

    FakeObject* create(const std::string& class_name);
    void destroy(FakeObject* object);

    // A typed call: arguments by pointer, a pre-constructed return slot holding `slot_text`.
    std::string ptrcall_text(FakeObject* object, const std::string& method, const std::vector<Value>& args,
                             const std::string& slot_text = "");
    std::vector<std::string> ptrcall_texts(FakeObject* object, const std::string& method);
    // A dynamic call: Variant arguments, a Nil return and a call error pre-set to OK.
    CallOutcome call(FakeObject* object, const std::string& method, const std::vector<Value>& args);

    const RegisteredClass* find_class(const std::string& name) const;
    gde::InitializationLevel minimum_level() const { return init_.minimum_initialization_level; }

    // Names get_proc answers with NULL, to play an engine that lacks them.
    std::set<std::string> withheld;
    // Types whose conversion from a Variant, or to one, the engine answers with NULL.
    std::set<gde::VariantType> withheld_from_variant;
    std::set<gde::VariantType> withheld_to_variant;
    // Every name the library asked get_proc for, in order.
    std::vector<std::string> looked_up;
    // The class references handed to the editor's help.
    std::vector<std::string> editor_help;
    std::vector<ErrorPrint> errors;
    // Misuses of the interface by the library: dead or foreign values, bad arguments.
    std::vector<std::string> misuses;
    std::vector<RegisteredClass> classes;
    // Live engine values by kind, keyed by their heap payload; every use is checked here.
    std::set<const void*> strings;
    std::set<const void*> string_names;
    std::set<const void*> string_arrays;
    std::set<const FakeObject*> objects;
    std::uint64_t constructed = 0;
    std::uint64_t destroyed = 0;

    std::size_t live_values() const;

private:
    const RegisteredMethod& method_of(FakeObject* object, const std::string& name) const;

    void* handle_ = nullptr;
    gde::Initialization init_{};
    gde::InitializationLevel top_level_ = gde::InitializationLevel::Core;
};

// Helpers for building host-side Values.
Value int_value(std::int64_t value);
Value float_value(double value);
Value text_value(std::string value);
Value nil_value();

}  // namespace vantrel_host
