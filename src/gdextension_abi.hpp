#pragma once

// The part of Godot 4.5's GDExtension C interface that this library uses, declared here
// with the engine's layouts. The static_asserts pin every offset the engine relies on.

#include <cstddef>
#include <cstdint>

namespace vantrel::gde {

using Bool = std::uint8_t;
using Int = std::int64_t;

enum class VariantType : std::int32_t {
    Nil = 0,
    Bool = 1,
    Int = 2,
    Float = 3,
    String = 4,
    StringName = 21,
    Object = 24,
    PackedStringArray = 34,
};

enum class InitializationLevel : std::int32_t { Core = 0, Servers = 1, Scene = 2, Editor = 3 };

enum class CallErrorType : std::int32_t {
    Ok = 0,
    InvalidMethod = 1,
    InvalidArgument = 2,
    TooManyArguments = 3,
    TooFewArguments = 4,
    InstanceIsNull = 5,
    MethodNotConst = 6,
};

enum class ArgumentMetadata : std::int32_t { None = 0, IntIsInt32 = 3 };

inline constexpr std::uint32_t METHOD_FLAG_NORMAL = 1;
inline constexpr std::uint32_t METHOD_FLAG_CONST = 4;
inline constexpr std::uint32_t PROPERTY_USAGE_DEFAULT = 6;

// Engine-owned objects, opaque to us; sizes of the engine's 64-bit float_64 builds.
struct alignas(8) StringStorage {
    std::byte bytes[8];
};
struct alignas(8) StringNameStorage {
    std::byte bytes[8];
};
struct alignas(8) PackedStringArrayStorage {
    std::byte bytes[16];
};
struct alignas(8) VariantStorage {
    std::byte bytes[24];
};

struct CallError {
    CallErrorType error;
    std::int32_t argument;
    std::int32_t expected;
};

using InitializeCallback = void (*)(void* userdata, InitializationLevel level);

struct Initialization {
    InitializationLevel minimum_initialization_level;
    void* userdata;
    InitializeCallback initialize;
    InitializeCallback deinitialize;
};

struct PropertyInfo {
    VariantType type;
    const StringNameStorage* name;
    const StringNameStorage* class_name;
    std::uint32_t hint;
    const StringStorage* hint_string;
    std::uint32_t usage;
};

using MethodCall = void (*)(void* method_userdata, void* instance, const void* const* args, Int argc,
                            void* r_return, CallError* r_error);
using MethodPtrcall = void (*)(void* method_userdata, void* instance, const void* const* args,
                               void* r_return);

struct ClassMethodInfo {
    const StringNameStorage* name;
    void* method_userdata;
    MethodCall call_func;
    MethodPtrcall ptrcall_func;
    std::uint32_t method_flags;
    Bool has_return_value;
    const PropertyInfo* return_value_info;
    ArgumentMetadata return_value_metadata;
    std::uint32_t argument_count;
    const PropertyInfo* arguments_info;
    const ArgumentMetadata* arguments_metadata;
    std::uint32_t default_argument_count;
    void** default_arguments;
};

using CreateInstance = void* (*)(void* class_userdata, Bool notify_postinitialize);
using FreeInstance = void (*)(void* class_userdata, void* instance);

// Everything we leave unset is a function pointer or data pointer that may be null.
struct ClassCreationInfo5 {
    Bool is_virtual;
    Bool is_abstract;
    Bool is_exposed;
    Bool is_runtime;
    const StringStorage* icon_path;
    void* set_func;
    void* get_func;
    void* get_property_list_func;
    void* free_property_list_func;
    void* property_can_revert_func;
    void* property_get_revert_func;
    void* validate_property_func;
    void* notification_func;
    void* to_string_func;
    void* reference_func;
    void* unreference_func;
    CreateInstance create_instance_func;
    FreeInstance free_instance_func;
    void* recreate_instance_func;
    void* get_virtual_func;
    void* get_virtual_call_data_func;
    void* call_virtual_with_data_func;
    void* class_userdata;
};

// Interface functions, looked up by name through the engine's get-proc function.
using InterfaceFunction = void (*)();
using GetProcAddress = InterfaceFunction (*)(const char* name);

using PrintError = void (*)(const char* description, const char* function, const char* file,
                            std::int32_t line, Bool editor_notify);
using StringNewWithUtf8CharsAndLen2 = Int (*)(void* r_dest, const char* utf8, Int size);
using StringToUtf8Chars = Int (*)(const void* self, char* r_text, Int max_bytes);
using StringNameNewWithLatin1Chars = void (*)(void* r_dest, const char* text, Bool is_static);
using PtrConstructor = void (*)(void* r_base, const void* const* args);
using PtrDestructor = void (*)(void* base);
using PtrBuiltInMethod = void (*)(void* base, const void* const* args, void* r_return, int argc);
using VariantGetPtrConstructor = PtrConstructor (*)(VariantType type, std::int32_t constructor);
using VariantGetPtrDestructor = PtrDestructor (*)(VariantType type);
using VariantGetPtrBuiltinMethod = PtrBuiltInMethod (*)(VariantType type, const void* method, Int hash);
using VariantFromType = void (*)(void* r_variant, void* value);
using TypeFromVariant = void (*)(void* r_value, void* variant);
using GetVariantFromTypeConstructor = VariantFromType (*)(VariantType type);
using GetVariantToTypeConstructor = TypeFromVariant (*)(VariantType type);
using VariantGetType = VariantType (*)(const void* variant);
using ClassdbConstructObject2 = void* (*)(const void* class_name);
using ObjectSetInstance = void (*)(void* object, const void* class_name, void* instance);
using ClassdbRegisterExtensionClass5 = void (*)(void* library, const void* class_name,
                                                const void* parent_class_name,
                                                const ClassCreationInfo5* info);
using ClassdbRegisterExtensionClassMethod = void (*)(void* library, const void* class_name,
                                                     const ClassMethodInfo* info);
using ClassdbUnregisterExtensionClass = void (*)(void* library, const void* class_name);
// Served by the editor only; the engine copies the text.
using EditorHelpLoadXmlFromUtf8CharsAndLen = void (*)(const char* data, Int size);

inline constexpr Int PACKED_STRING_ARRAY_PUSH_BACK_HASH = 816187996;

static_assert(sizeof(Bool) == 1);
static_assert(sizeof(VariantType) == 4 && sizeof(InitializationLevel) == 4);
static_assert(sizeof(CallErrorType) == 4 && sizeof(ArgumentMetadata) == 4);

static_assert(sizeof(Initialization) == 32);
static_assert(offsetof(Initialization, minimum_initialization_level) == 0);
static_assert(offsetof(Initialization, userdata) == 8);
static_assert(offsetof(Initialization, initialize) == 16);
static_assert(offsetof(Initialization, deinitialize) == 24);

static_assert(sizeof(CallError) == 12);
static_assert(offsetof(CallError, argument) == 4);
static_assert(offsetof(CallError, expected) == 8);

static_assert(sizeof(PropertyInfo) == 48);
static_assert(offsetof(PropertyInfo, name) == 8);
static_assert(offsetof(PropertyInfo, class_name) == 16);
static_assert(offsetof(PropertyInfo, hint) == 24);
static_assert(offsetof(PropertyInfo, hint_string) == 32);
static_assert(offsetof(PropertyInfo, usage) == 40);

static_assert(sizeof(ClassMethodInfo) == 88);
static_assert(offsetof(ClassMethodInfo, method_userdata) == 8);
static_assert(offsetof(ClassMethodInfo, call_func) == 16);
static_assert(offsetof(ClassMethodInfo, ptrcall_func) == 24);
static_assert(offsetof(ClassMethodInfo, method_flags) == 32);
static_assert(offsetof(ClassMethodInfo, has_return_value) == 36);
static_assert(offsetof(ClassMethodInfo, return_value_info) == 40);
static_assert(offsetof(ClassMethodInfo, return_value_metadata) == 48);
static_assert(offsetof(ClassMethodInfo, argument_count) == 52);
static_assert(offsetof(ClassMethodInfo, arguments_info) == 56);
static_assert(offsetof(ClassMethodInfo, arguments_metadata) == 64);
static_assert(offsetof(ClassMethodInfo, default_argument_count) == 72);
static_assert(offsetof(ClassMethodInfo, default_arguments) == 80);

static_assert(sizeof(ClassCreationInfo5) == 160);
static_assert(offsetof(ClassCreationInfo5, is_exposed) == 2);
static_assert(offsetof(ClassCreationInfo5, icon_path) == 8);
static_assert(offsetof(ClassCreationInfo5, set_func) == 16);
static_assert(offsetof(ClassCreationInfo5, notification_func) == 72);
static_assert(offsetof(ClassCreationInfo5, to_string_func) == 80);
static_assert(offsetof(ClassCreationInfo5, reference_func) == 88);
static_assert(offsetof(ClassCreationInfo5, unreference_func) == 96);
static_assert(offsetof(ClassCreationInfo5, create_instance_func) == 104);
static_assert(offsetof(ClassCreationInfo5, free_instance_func) == 112);
static_assert(offsetof(ClassCreationInfo5, recreate_instance_func) == 120);
static_assert(offsetof(ClassCreationInfo5, get_virtual_func) == 128);
static_assert(offsetof(ClassCreationInfo5, get_virtual_call_data_func) == 136);
static_assert(offsetof(ClassCreationInfo5, call_virtual_with_data_func) == 144);
static_assert(offsetof(ClassCreationInfo5, class_userdata) == 152);

}  // namespace vantrel::gde
