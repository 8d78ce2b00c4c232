#pragma once

// Owned engine Strings, StringNames and PackedStringArrays, destroyed with the owner.

#include <span>
#include <string>
#include <string_view>

#include "gdextension_abi.hpp"

namespace vantrel {

class EngineString {
public:
    explicit EngineString(std::string_view utf8);
    ~EngineString();
    EngineString(const EngineString&) = delete;
    EngineString& operator=(const EngineString&) = delete;

    gde::StringStorage* get() { return &storage_; }
    const gde::StringStorage* get() const { return &storage_; }
    // Moves the String into a slot that holds a live String, destroying the old one.
    void move_into(void* slot);

private:
    gde::StringStorage storage_;
    bool owned_ = true;
};

class EngineStringName {
public:
    explicit EngineStringName(const char* latin1);
    ~EngineStringName();
    EngineStringName(const EngineStringName&) = delete;
    EngineStringName& operator=(const EngineStringName&) = delete;

    const gde::StringNameStorage* get() const { return &storage_; }

private:
    gde::StringNameStorage storage_;
};

class EnginePackedStrings {
public:
    explicit EnginePackedStrings(std::span<const std::string_view> texts);
    ~EnginePackedStrings();
    EnginePackedStrings(const EnginePackedStrings&) = delete;
    EnginePackedStrings& operator=(const EnginePackedStrings&) = delete;

    gde::PackedStringArrayStorage* get() { return &storage_; }
    // Moves the array into a slot that holds a live array, destroying the old one.
    void move_into(void* slot);

private:
    gde::PackedStringArrayStorage storage_;
    bool owned_ = true;
};

// The UTF-8 bytes of a live engine String.
std::string utf8_of(const void* string);

}  // namespace vantrel
