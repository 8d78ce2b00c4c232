#include "editor_help.hpp"

#include "engine.hpp"

namespace vantrel {

// Looked up only now, at the editor level: an exported game never reaches it, and the
// engine prints an error for every name it cannot answer.
void load_editor_help() noexcept {
    const auto load = reinterpret_cast<gde::EditorHelpLoadXmlFromUtf8CharsAndLen>(
        engine().get_proc("editor_help_load_xml_from_utf8_chars_and_len"));
    if (load != nullptr) {
        load(reinterpret_cast<const char*>(LOOP_CORE_REFERENCE), static_cast<gde::Int>(LOOP_CORE_REFERENCE_SIZE));
    }
}

}  // namespace vantrel
