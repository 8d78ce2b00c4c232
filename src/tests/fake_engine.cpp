#include "fake_engine.hpp"

#include <cstring>
#include <map>
#include <stdexcept>

#include "shared_library.hpp"

namespace vantrel_host {

namespace {

using gde::VariantType;

FakeEngine* active = nullptr;  // the engine the library is talking to
char library_token;            // what the engine hands out as the library handle

void misuse(std::string what) { active->misuses.push_back(std::move(what)); }

// Engine values keep a pointer to a host heap object in their first eight bytes.
template <typename T>
T* payload(const void* storage) {
    T* pointer = nullptr;
    std::memcpy(&pointer, storage, sizeof pointer);
    return pointer;
}

void set_payload(void* storage, const void* pointer, std::size_t size) {
    std::memset(storage, 0, size);
    std::memcpy(storage, &pointer, sizeof pointer);
}

template <typename T>
T* live(const void* storage, const std::set<const void*>& kind, const char* what) {
    if (storage == nullptr) {
        misuse(std::string("null ") + what);
        return nullptr;
    }
    T* pointer = payload<T>(storage);
    if (kind.count(pointer) == 0) {
        misuse(std::string("dead or foreign ") + what);
        return nullptr;
    }
    return pointer;
}

std::string* live_string(const void* storage) { return live<std::string>(storage, active->strings, "String"); }
std::string* live_name(const void* storage) { return live<std::string>(storage, active->string_names, "StringName"); }
std::vector<std::string>* live_array(const void* storage) {
    return live<std::vector<std::string>>(storage, active->string_arrays, "PackedStringArray");
}

std::string text_or_empty(const std::string* text) { return text == nullptr ? std::string() : *text; }

void make_string(void* storage, std::string text) {
    auto* heap = new std::string(std::move(text));
    active->strings.insert(heap);
    ++active->constructed;
    set_payload(storage, heap, sizeof(gde::StringStorage));
}

void make_name(void* storage, std::string text) {
    auto* heap = new std::string(std::move(text));
    active->string_names.insert(heap);
    ++active->constructed;
    set_payload(storage, heap, sizeof(gde::StringNameStorage));
}

void make_array(void* storage, std::vector<std::string> texts) {
    auto* heap = new std::vector<std::string>(std::move(texts));
    active->string_arrays.insert(heap);
    ++active->constructed;
    set_payload(storage, heap, sizeof(gde::PackedStringArrayStorage));
}

template <typename T>
void release(void* storage, std::set<const void*>& kind, T* pointer) {
    if (pointer != nullptr) {
        kind.erase(pointer);
        delete pointer;
        ++active->destroyed;
    }
    std::memset(storage, 0, 8);
}

void destroy_string(void* storage) { release(storage, active->strings, live_string(storage)); }
void destroy_name(void* storage) { release(storage, active->string_names, live_name(storage)); }
void destroy_array(void* storage) { release(storage, active->string_arrays, live_array(storage)); }

// A Variant: the type at offset 0 and the payload (value or heap pointer) at offset 8.
VariantType variant_type(const void* variant) {
    VariantType type;
    std::memcpy(&type, variant, sizeof type);
    return type;
}

void* variant_payload(void* variant) { return static_cast<char*>(variant) + 8; }
const void* variant_payload(const void* variant) { return static_cast<const char*>(variant) + 8; }

void set_variant_type(void* variant, VariantType type) {
    std::memset(variant, 0, sizeof(gde::VariantStorage));
    std::memcpy(variant, &type, sizeof type);
}

void destroy_variant(void* variant) {
    if (variant_type(variant) == VariantType::String) {
        destroy_string(variant_payload(variant));
    } else if (variant_type(variant) == VariantType::PackedStringArray) {
        destroy_array(variant_payload(variant));
    }
    set_variant_type(variant, VariantType::Nil);
}

void nil_check(const void* variant) {
    if (variant_type(variant) != VariantType::Nil) {
        misuse("a Variant constructed over a live value");
    }
}

// Interface functions.

void print_error(const char* description, const char* function, const char* file, std::int32_t line,
                 gde::Bool editor_notify) {
    active->errors.push_back({description, function, file, line, editor_notify != 0});
}

gde::Int string_from_utf8(void* r_dest, const char* utf8, gde::Int size) {
    if (utf8 == nullptr || size < 0) {
        misuse("string_new_with_utf8_chars_and_len2 without text");
        make_string(r_dest, "");
        return 1;
    }
    make_string(r_dest, std::string(utf8, static_cast<std::size_t>(size)));
    return 0;
}

gde::Int string_to_utf8(const void* self, char* r_text, gde::Int max_bytes) {
    const std::string* text = live_string(self);
    if (text == nullptr) {
        return 0;
    }
    if (r_text != nullptr) {
        const std::size_t count = std::min(text->size(), static_cast<std::size_t>(std::max<gde::Int>(max_bytes, 0)));
        std::memcpy(r_text, text->data(), count);
    }
    return static_cast<gde::Int>(text->size());
}

void string_name_from_latin1(void* r_dest, const char* text, gde::Bool is_static) {
    if (is_static != 0) {
        misuse("a static StringName, which must never be destroyed");
    }
    make_name(r_dest, text == nullptr ? "" : text);
}

void new_array(void* r_base, const void* const*) { make_array(r_base, {}); }

gde::PtrConstructor get_constructor(VariantType type, std::int32_t index) {
    if (type == VariantType::PackedStringArray && index == 0) {
        return new_array;
    }
    misuse("an unexpected constructor");
    return nullptr;
}

gde::PtrDestructor get_destructor(VariantType type) {
    switch (type) {
        case VariantType::String: return destroy_string;
        case VariantType::StringName: return destroy_name;
        case VariantType::PackedStringArray: return destroy_array;
        default: return nullptr;
    }
}

void array_push_back(void* base, const void* const* args, void* r_return, int argc) {
    std::vector<std::string>* array = live_array(base);
    if (argc != 1 || args == nullptr || r_return == nullptr) {
        misuse("push_back with bad arguments");
        return;
    }
    const std::string* text = live_string(args[0]);
    if (array != nullptr && text != nullptr) {
        array->push_back(*text);
    }
    *static_cast<std::uint8_t*>(r_return) = 0;
}

gde::PtrBuiltInMethod get_builtin_method(VariantType type, const void* name, gde::Int hash) {
    const std::string* method = live_name(name);
    if (type == VariantType::PackedStringArray && method != nullptr && *method == "push_back" &&
        hash == gde::PACKED_STRING_ARRAY_PUSH_BACK_HASH) {
        return array_push_back;
    }
    misuse("an unknown builtin method or hash");
    return nullptr;
}

void variant_from_string(void* r_variant, void* value) {
    nil_check(r_variant);
    const std::string copy = text_or_empty(live_string(value));
    set_variant_type(r_variant, VariantType::String);
    make_string(variant_payload(r_variant), copy);
}

void variant_from_array(void* r_variant, void* value) {
    nil_check(r_variant);
    const std::vector<std::string>* array = live_array(value);
    set_variant_type(r_variant, VariantType::PackedStringArray);
    make_array(variant_payload(r_variant), array == nullptr ? std::vector<std::string>{} : *array);
}

void variant_from_int(void* r_variant, void* value) {
    set_variant_type(r_variant, VariantType::Int);
    std::memcpy(variant_payload(r_variant), value, sizeof(std::int64_t));
}

void variant_from_float(void* r_variant, void* value) {
    set_variant_type(r_variant, VariantType::Float);
    std::memcpy(variant_payload(r_variant), value, sizeof(double));
}

gde::VariantFromType get_from_type(VariantType type) {
    if (active->withheld_to_variant.count(type) != 0) {
        return nullptr;
    }
    switch (type) {
        case VariantType::String: return variant_from_string;
        case VariantType::PackedStringArray: return variant_from_array;
        case VariantType::Int: return variant_from_int;
        case VariantType::Float: return variant_from_float;
        default: return nullptr;
    }
}

std::int64_t variant_int(const void* variant) {
    std::int64_t value = 0;
    std::memcpy(&value, variant_payload(variant), sizeof value);
    return value;
}

double variant_float(const void* variant) {
    double value = 0.0;
    std::memcpy(&value, variant_payload(variant), sizeof value);
    return value;
}

// Like the engine's, these converters coerce whatever they are given.
void int_from_variant(void* r_value, void* variant) {
    std::int64_t value = 0;
    if (variant_type(variant) == VariantType::Int) {
        value = variant_int(variant);
    } else if (variant_type(variant) == VariantType::Float) {
        value = static_cast<std::int64_t>(variant_float(variant));
    }
    std::memcpy(r_value, &value, sizeof value);
}

void string_from_variant(void* r_value, void* variant) {
    switch (variant_type(variant)) {
        case VariantType::String: make_string(r_value, text_or_empty(live_string(variant_payload(variant)))); break;
        case VariantType::Int: make_string(r_value, std::to_string(variant_int(variant))); break;
        case VariantType::Float: make_string(r_value, std::to_string(variant_float(variant))); break;
        default: make_string(r_value, ""); break;
    }
}

gde::TypeFromVariant get_to_type(VariantType type) {
    if (active->withheld_from_variant.count(type) != 0) {
        return nullptr;
    }
    switch (type) {
        case VariantType::Int: return int_from_variant;
        case VariantType::String: return string_from_variant;
        default: return nullptr;
    }
}

VariantType get_type(const void* variant) { return variant_type(variant); }

void* construct_object(const void* class_name) {
    if (text_or_empty(live_name(class_name)) != "RefCounted") {
        misuse("construct_object2 of a class other than RefCounted");
    }
    auto* object = new FakeObject{"RefCounted", "", nullptr};
    active->objects.insert(object);
    return object;
}

void object_set_instance(void* object, const void* class_name, void* instance) {
    auto* fake = static_cast<FakeObject*>(object);
    if (active->objects.count(fake) == 0) {
        misuse("object_set_instance on an unknown object");
        return;
    }
    fake->extension_class = text_or_empty(live_name(class_name));
    fake->instance = instance;
}

void check_library(void* library) {
    if (library != &library_token) {
        misuse("a classdb call with a foreign library handle");
    }
}

void register_class(void* library, const void* class_name, const void* parent, const gde::ClassCreationInfo5* info) {
    check_library(library);
    active->classes.push_back({text_or_empty(live_name(class_name)), text_or_empty(live_name(parent)), *info, {}});
}

// The engine reads every PropertyInfo field, null pointers included.
RegisteredProperty copy_property(const gde::PropertyInfo& info) {
    return {info.type, text_or_empty(live_name(info.name)), text_or_empty(live_name(info.class_name)), info.hint,
            text_or_empty(live_string(info.hint_string)), info.usage};
}

void register_method(void* library, const void* class_name, const gde::ClassMethodInfo* info) {
    check_library(library);
    const std::string owner = text_or_empty(live_name(class_name));
    RegisteredMethod method;
    method.name = text_or_empty(live_name(info->name));
    method.userdata = info->method_userdata;
    method.call = info->call_func;
    method.ptrcall = info->ptrcall_func;
    method.flags = info->method_flags;
    method.has_return = info->has_return_value != 0;
    if (method.has_return) {
        method.result = copy_property(*info->return_value_info);
        method.result_metadata = info->return_value_metadata;
    }
    for (std::uint32_t k = 0; k < info->argument_count; ++k) {
        method.arguments.push_back(copy_property(info->arguments_info[k]));
        method.argument_metadata.push_back(info->arguments_metadata[k]);
    }
    method.default_argument_count = info->default_argument_count;
    for (RegisteredClass& registered : active->classes) {
        if (registered.name == owner) {
            registered.methods.push_back(std::move(method));
            return;
        }
    }
    misuse("a method for an unregistered class");
}

void unregister_class(void* library, const void* class_name) {
    check_library(library);
    const std::string name = text_or_empty(live_name(class_name));
    for (auto it = active->classes.begin(); it != active->classes.end(); ++it) {
        if (it->name == name) {
            active->classes.erase(it);
            return;
        }
    }
    misuse("unregistering a class that is not registered");
}

// Editor help: both forms keep a copy, as the engine does.
void editor_help_load(const char* data) {
    if (data == nullptr) {
        misuse("editor help without text");
        return;
    }
    active->editor_help.emplace_back(data);
}

void editor_help_load_with_length(const char* data, gde::Int size) {
    if (data == nullptr || size < 0) {
        misuse("editor help without text");
        return;
    }
    active->editor_help.emplace_back(data, static_cast<std::size_t>(size));
}

template <typename Function>
gde::InterfaceFunction entry(Function function) {
    return reinterpret_cast<gde::InterfaceFunction>(function);
}

gde::InterfaceFunction get_proc(const char* name) {
    static const std::map<std::string, gde::InterfaceFunction> table = {
        {"print_error", entry(print_error)},
        {"string_new_with_utf8_chars_and_len2", entry(string_from_utf8)},
        {"string_to_utf8_chars", entry(string_to_utf8)},
        {"string_name_new_with_latin1_chars", entry(string_name_from_latin1)},
        {"variant_get_ptr_constructor", entry(get_constructor)},
        {"variant_get_ptr_destructor", entry(get_destructor)},
        {"variant_get_ptr_builtin_method", entry(get_builtin_method)},
        {"get_variant_from_type_constructor", entry(get_from_type)},
        {"get_variant_to_type_constructor", entry(get_to_type)},
        {"variant_get_type", entry(get_type)},
        {"classdb_construct_object2", entry(construct_object)},
        {"object_set_instance", entry(object_set_instance)},
        {"classdb_register_extension_class5", entry(register_class)},
        {"classdb_register_extension_class_method", entry(register_method)},
        {"classdb_unregister_extension_class", entry(unregister_class)},
        {"editor_help_load_xml_from_utf8_chars", entry(editor_help_load)},
        {"editor_help_load_xml_from_utf8_chars_and_len", entry(editor_help_load_with_length)},
    };
    active->looked_up.emplace_back(name == nullptr ? "" : name);
    if (active->withheld.count(name) != 0) {
        return nullptr;
    }
    const auto found = table.find(name);
    if (found == table.end()) {
        misuse(std::string("get_proc of an unknown name: ") + name);
        return nullptr;
    }
    return found->second;
}

// Host-side Variants for the dynamic call path.
void make_variant(void* variant, const Value& value) {
    set_variant_type(variant, VariantType::Nil);
    switch (value.type) {
        case VariantType::Int: variant_from_int(variant, const_cast<std::int64_t*>(&value.integer)); break;
        case VariantType::Float: variant_from_float(variant, const_cast<double*>(&value.real)); break;
        case VariantType::String:
            set_variant_type(variant, VariantType::String);
            make_string(variant_payload(variant), value.text);
            break;
        default: break;
    }
}

Value read_variant(const void* variant) {
    Value value;
    value.type = variant_type(variant);
    if (value.type == VariantType::String) {
        value.text = text_or_empty(live_string(variant_payload(variant)));
    } else if (value.type == VariantType::PackedStringArray) {
        const std::vector<std::string>* array = live_array(variant_payload(variant));
        value.texts = array == nullptr ? std::vector<std::string>{} : *array;
    } else if (value.type == VariantType::Int) {
        value.integer = variant_int(variant);
    }
    return value;
}

using Entry = gde::Bool (*)(gde::GetProcAddress, void*, gde::Initialization*);

}  // namespace

FakeEngine::FakeEngine() { active = this; }

FakeEngine::~FakeEngine() {
    if (handle_ != nullptr) {
        unload_library(handle_);
    }
    active = nullptr;
}

bool FakeEngine::open(const char* library_path) {
    handle_ = load_library(library_path);
    auto entry_function = reinterpret_cast<Entry>(find_symbol(handle_, "vantrel_library_init"));
    if (entry_function == nullptr) {
        throw std::runtime_error("the library has no vantrel_library_init");
    }
    return entry_function(get_proc, &library_token, &init_) == 1;
}

void FakeEngine::initialize_levels(gde::InitializationLevel top) {
    for (auto level : {gde::InitializationLevel::Core, gde::InitializationLevel::Servers,
                       gde::InitializationLevel::Scene, gde::InitializationLevel::Editor}) {
        if (level <= top) {
            init_.initialize(init_.userdata, level);
        }
    }
    top_level_ = top;
}

void FakeEngine::deinitialize_levels() {
    for (auto level : {gde::InitializationLevel::Editor, gde::InitializationLevel::Scene,
                       gde::InitializationLevel::Servers, gde::InitializationLevel::Core}) {
        if (level <= top_level_) {
            init_.deinitialize(init_.userdata, level);
        }
    }
}

const RegisteredClass* FakeEngine::find_class(const std::string& name) const {
    for (const RegisteredClass& registered : classes) {
        if (registered.name == name) {
            return &registered;
        }
    }
    return nullptr;
}

FakeObject* FakeEngine::create(const std::string& class_name) {
    const RegisteredClass* registered = find_class(class_name);
    if (registered == nullptr) {
        throw std::runtime_error("no class " + class_name);
    }
    auto* object = static_cast<FakeObject*>(
        registered->info.create_instance_func(registered->info.class_userdata, 1));
    if (object != nullptr && (objects.count(object) == 0 || object->extension_class != class_name ||
                              object->instance == nullptr)) {
        misuse("create_instance returned an object without the extension instance");
    }
    return object;
}

void FakeEngine::destroy(FakeObject* object) {
    const RegisteredClass* registered = find_class(object->extension_class);
    if (registered != nullptr) {
        registered->info.free_instance_func(registered->info.class_userdata, object->instance);
    }
    objects.erase(object);
    delete object;
}

const RegisteredMethod& FakeEngine::method_of(FakeObject* object, const std::string& name) const {
    const RegisteredClass* registered = find_class(object == nullptr ? "LoopCore" : object->extension_class);
    if (registered != nullptr) {
        for (const RegisteredMethod& method : registered->methods) {
            if (method.name == name) {
                return method;
            }
        }
    }
    throw std::runtime_error("no method " + name);
}

std::string FakeEngine::ptrcall_text(FakeObject* object, const std::string& name, const std::vector<Value>& args,
                                     const std::string& slot_text) {
    const RegisteredMethod& method = method_of(object, name);
    std::vector<std::int64_t> integers(args.size());
    std::vector<gde::StringStorage> texts(args.size());
    std::vector<const void*> pointers;
    for (std::size_t k = 0; k < args.size(); ++k) {
        if (args[k].type == VariantType::Int) {
            integers[k] = args[k].integer;
            pointers.push_back(&integers[k]);
        } else {
            make_string(&texts[k], args[k].text);
            pointers.push_back(&texts[k]);
        }
    }
    gde::StringStorage slot;
    make_string(&slot, slot_text);
    method.ptrcall(method.userdata, object == nullptr ? nullptr : object->instance, pointers.data(), &slot);
    const std::string result = text_or_empty(live_string(&slot));
    destroy_string(&slot);
    for (std::size_t k = 0; k < args.size(); ++k) {
        if (args[k].type != VariantType::Int) {
            destroy_string(&texts[k]);
        }
    }
    return result;
}

std::vector<std::string> FakeEngine::ptrcall_texts(FakeObject* object, const std::string& name) {
    const RegisteredMethod& method = method_of(object, name);
    gde::PackedStringArrayStorage slot;
    make_array(&slot, {"stale"});
    method.ptrcall(method.userdata, object->instance, nullptr, &slot);
    const std::vector<std::string>* array = live_array(&slot);
    std::vector<std::string> result = array == nullptr ? std::vector<std::string>{} : *array;
    destroy_array(&slot);
    return result;
}

CallOutcome FakeEngine::call(FakeObject* object, const std::string& name, const std::vector<Value>& args) {
    const RegisteredMethod& method = method_of(object, name);
    std::vector<gde::VariantStorage> variants(args.size());
    std::vector<const void*> pointers;
    for (std::size_t k = 0; k < args.size(); ++k) {
        make_variant(&variants[k], args[k]);
        pointers.push_back(&variants[k]);
    }
    gde::VariantStorage result;
    set_variant_type(&result, VariantType::Nil);
    CallOutcome outcome;
    outcome.error = {gde::CallErrorType::Ok, 0, 0};
    method.call(method.userdata, object == nullptr ? nullptr : object->instance, pointers.data(),
                static_cast<gde::Int>(args.size()), &result, &outcome.error);
    outcome.result = read_variant(&result);
    destroy_variant(&result);
    for (gde::VariantStorage& variant : variants) {
        destroy_variant(&variant);
    }
    return outcome;
}

std::size_t FakeEngine::live_values() const {
    return strings.size() + string_names.size() + string_arrays.size() + objects.size();
}

Value int_value(std::int64_t value) { return {VariantType::Int, value, 0.0, {}, {}}; }
Value float_value(double value) { return {VariantType::Float, 0, value, {}, {}}; }
Value text_value(std::string value) { return {VariantType::String, 0, 0.0, std::move(value), {}}; }
Value nil_value() { return {}; }

}  // namespace vantrel_host
