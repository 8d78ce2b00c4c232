#include "engine.hpp"

namespace vantrel {

namespace {

Engine loaded;

template <typename Function>
bool look_up(gde::GetProcAddress get_proc, const char* name, Function& out) {
    out = reinterpret_cast<Function>(get_proc(name));
    return out != nullptr;
}

bool look_up_interface(gde::GetProcAddress get_proc, Engine& e) {
    gde::VariantGetPtrConstructor constructor = nullptr;
    gde::VariantGetPtrDestructor destructor = nullptr;
    gde::GetVariantFromTypeConstructor from_type = nullptr;
    gde::GetVariantToTypeConstructor to_type = nullptr;
    const bool found = look_up(get_proc, "print_error", e.print_error) &&
                       look_up(get_proc, "string_new_with_utf8_chars_and_len2", e.string_from_utf8) &&
                       look_up(get_proc, "string_to_utf8_chars", e.string_to_utf8) &&
                       look_up(get_proc, "string_name_new_with_latin1_chars", e.string_name_from_latin1) &&
                       look_up(get_proc, "variant_get_type", e.variant_get_type) &&
                       look_up(get_proc, "classdb_construct_object2", e.construct_object) &&
                       look_up(get_proc, "object_set_instance", e.object_set_instance) &&
                       look_up(get_proc, "classdb_register_extension_class5", e.register_class) &&
                       look_up(get_proc, "classdb_register_extension_class_method", e.register_method) &&
                       look_up(get_proc, "classdb_unregister_extension_class", e.unregister_class) &&
                       look_up(get_proc, "variant_get_ptr_constructor", constructor) &&
                       look_up(get_proc, "variant_get_ptr_destructor", destructor) &&
                       look_up(get_proc, "get_variant_from_type_constructor", from_type) &&
                       look_up(get_proc, "get_variant_to_type_constructor", to_type);
    if (!found) {
        return false;
    }
    e.destroy_string = destructor(gde::VariantType::String);
    e.destroy_string_name = destructor(gde::VariantType::StringName);
    e.destroy_packed_string_array = destructor(gde::VariantType::PackedStringArray);
    e.new_packed_string_array = constructor(gde::VariantType::PackedStringArray, 0);
    e.variant_from_string = from_type(gde::VariantType::String);
    e.variant_from_packed_string_array = from_type(gde::VariantType::PackedStringArray);
    e.int_from_variant = to_type(gde::VariantType::Int);
    e.string_from_variant = to_type(gde::VariantType::String);
    return e.destroy_string && e.destroy_string_name && e.destroy_packed_string_array &&
           e.new_packed_string_array && e.variant_from_string && e.variant_from_packed_string_array &&
           e.int_from_variant && e.string_from_variant;
}

// Needs the StringName functions, so it runs after the others are found.
bool look_up_push_back(gde::GetProcAddress get_proc, Engine& e) {
    gde::VariantGetPtrBuiltinMethod builtin_method = nullptr;
    if (!look_up(get_proc, "variant_get_ptr_builtin_method", builtin_method)) {
        return false;
    }
    gde::StringNameStorage name;
    e.string_name_from_latin1(&name, "push_back", 0);
    e.packed_string_array_push_back = builtin_method(gde::VariantType::PackedStringArray, &name,
                                                     gde::PACKED_STRING_ARRAY_PUSH_BACK_HASH);
    e.destroy_string_name(&name);
    return e.packed_string_array_push_back != nullptr;
}

}  // namespace

bool load_engine(gde::GetProcAddress get_proc, void* library) {
    Engine found;
    found.library = library;
    found.get_proc = get_proc;
    if (get_proc == nullptr || !look_up_interface(get_proc, found) || !look_up_push_back(get_proc, found)) {
        return false;
    }
    loaded = found;
    return true;
}

const Engine& engine() { return loaded; }

void report_error(const char* description, const char* function, const char* file, int line) {
    loaded.print_error(description, function, file, line, 0);
}

}  // namespace vantrel
