#include <memory>

#include "boundary.hpp"
#include "engine.hpp"
#include "engine_values.hpp"
#include "loop_core.hpp"
#include "session.hpp"

namespace vantrel {

namespace {

constexpr const char* CREATE_FUNCTION = "vantrel::LoopCore::create";

// Kept from registration to unregistration: every instance needs the class name. Raw
// storage, so that unloading the library never runs a destructor that calls the engine.
gde::StringNameStorage loop_core_name;
bool registered = false;

void* create_instance(void*, gde::Bool) {
    std::unique_ptr<LoopCore> core;
    if (!guarded(CREATE_FUNCTION, report_fault,
                 [&] { core = std::make_unique<LoopCore>(LoopCore{vantrel_sim::new_world()}); })) {
        return nullptr;
    }
    const EngineStringName base("RefCounted");
    void* object = engine().construct_object(base.get());
    if (object == nullptr) {
        report_fault("The engine could not construct the RefCounted base of LoopCore", CREATE_FUNCTION);
        return nullptr;
    }
    engine().object_set_instance(object, &loop_core_name, core.release());
    return object;
}

void free_instance(void*, void* instance) { delete static_cast<LoopCore*>(instance); }

gde::PropertyInfo property(gde::VariantType type, const EngineStringName& name,
                           const EngineStringName& no_class, const EngineString& no_hint) {
    return {type, name.get(), no_class.get(), 0, no_hint.get(),
            gde::PROPERTY_USAGE_DEFAULT};
}

void register_method(const Method& method) {
    const EngineStringName name(method.name);
    const EngineStringName empty_name("");
    const EngineStringName parameter_name(method.parameter == nullptr ? "" : method.parameter);
    const EngineString empty_hint("");
    const gde::PropertyInfo result = property(method.result, empty_name, empty_name, empty_hint);
    const gde::PropertyInfo parameter = property(method.parameter_type, parameter_name, empty_name, empty_hint);
    const gde::ArgumentMetadata metadata = method.parameter_metadata;
    const bool has_parameter = method.parameter != nullptr;

    gde::ClassMethodInfo info{};
    info.name = name.get();
    info.method_userdata = const_cast<Method*>(&method);
    info.call_func = call_method;
    info.ptrcall_func = ptrcall_method;
    info.method_flags = method.flags;
    info.has_return_value = 1;
    info.return_value_info = &result;
    info.return_value_metadata = gde::ArgumentMetadata::None;
    info.argument_count = has_parameter ? 1 : 0;
    info.arguments_info = has_parameter ? &parameter : nullptr;
    info.arguments_metadata = has_parameter ? &metadata : nullptr;
    engine().register_method(engine().library, &loop_core_name, &info);
}

}  // namespace

void register_loop_core() {
    if (registered) {
        return;
    }
    remember_main_thread();
    engine().string_name_from_latin1(&loop_core_name, "LoopCore", 0);
    registered = true;
    const EngineStringName base("RefCounted");

    gde::ClassCreationInfo5 info{};
    info.is_exposed = 1;
    info.create_instance_func = create_instance;
    info.free_instance_func = free_instance;
    engine().register_class(engine().library, &loop_core_name, base.get(), &info);
    for (const Method& method : LOOP_CORE_METHODS) {
        register_method(method);
    }
}

void unregister_loop_core() {
    if (registered) {
        engine().unregister_class(engine().library, &loop_core_name);
        engine().destroy_string_name(&loop_core_name);
        registered = false;
    }
}

}  // namespace vantrel
