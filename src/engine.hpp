#pragma once

// The engine's interface functions this library calls, looked up once by the entry function.

#include "gdextension_abi.hpp"

namespace vantrel {

struct Engine {
    void* library = nullptr;
    // Kept for the functions looked up later, when the engine reaches the editor level.
    gde::GetProcAddress get_proc = nullptr;
    gde::PrintError print_error = nullptr;
    gde::StringNewWithUtf8CharsAndLen2 string_from_utf8 = nullptr;
    gde::StringToUtf8Chars string_to_utf8 = nullptr;
    gde::StringNameNewWithLatin1Chars string_name_from_latin1 = nullptr;
    gde::PtrDestructor destroy_string = nullptr;
    gde::PtrDestructor destroy_string_name = nullptr;
    gde::PtrConstructor new_packed_string_array = nullptr;
    gde::PtrDestructor destroy_packed_string_array = nullptr;
    gde::PtrBuiltInMethod packed_string_array_push_back = nullptr;
    gde::VariantFromType variant_from_string = nullptr;
    gde::VariantFromType variant_from_packed_string_array = nullptr;
    gde::TypeFromVariant int_from_variant = nullptr;
    gde::TypeFromVariant string_from_variant = nullptr;
    gde::VariantGetType variant_get_type = nullptr;
    gde::ClassdbConstructObject2 construct_object = nullptr;
    gde::ObjectSetInstance object_set_instance = nullptr;
    gde::ClassdbRegisterExtensionClass5 register_class = nullptr;
    gde::ClassdbRegisterExtensionClassMethod register_method = nullptr;
    gde::ClassdbUnregisterExtensionClass unregister_class = nullptr;
};

// Looks up every function; false when the engine lacks any of them.
bool load_engine(gde::GetProcAddress get_proc, void* library);

const Engine& engine();

// The engine's error print for a fault at the method boundary; never notifies the editor.
void report_error(const char* description, const char* function, const char* file, int line);

}  // namespace vantrel
