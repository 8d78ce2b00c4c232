#include "engine_values.hpp"

#include <cstring>

#include "engine.hpp"

namespace vantrel {

namespace {

// The engine's own move: take over the bytes, after freeing what the slot held.
template <typename Storage>
void move_bytes(Storage& from, void* slot, gde::PtrDestructor destroy) {
    destroy(slot);
    std::memcpy(slot, &from, sizeof from);
}

}  // namespace

EngineString::EngineString(std::string_view utf8) {
    // Bad UTF-8 still yields a String (with replacement characters), so the code is not needed.
    const char* bytes = utf8.empty() ? "" : utf8.data();
    engine().string_from_utf8(&storage_, bytes, static_cast<gde::Int>(utf8.size()));
}

EngineString::~EngineString() {
    if (owned_) {
        engine().destroy_string(&storage_);
    }
}

void EngineString::move_into(void* slot) {
    move_bytes(storage_, slot, engine().destroy_string);
    owned_ = false;
}

EngineStringName::EngineStringName(const char* latin1) {
    engine().string_name_from_latin1(&storage_, latin1, 0);
}

EngineStringName::~EngineStringName() { engine().destroy_string_name(&storage_); }

EnginePackedStrings::EnginePackedStrings(std::span<const std::string_view> texts) {
    engine().new_packed_string_array(&storage_, nullptr);
    for (std::string_view text : texts) {
        EngineString element(text);
        const void* args[] = {element.get()};
        std::uint64_t appended = 0;  // the method's bool result
        engine().packed_string_array_push_back(&storage_, args, &appended, 1);
    }
}

EnginePackedStrings::~EnginePackedStrings() {
    if (owned_) {
        engine().destroy_packed_string_array(&storage_);
    }
}

void EnginePackedStrings::move_into(void* slot) {
    move_bytes(storage_, slot, engine().destroy_packed_string_array);
    owned_ = false;
}

std::string utf8_of(const void* string) {
    const gde::Int size = engine().string_to_utf8(string, nullptr, 0);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (!text.empty()) {
        engine().string_to_utf8(string, text.data(), size);
    }
    return text;
}

}  // namespace vantrel
