#pragma once

// LoopCore's class reference for the editor's help, compiled in from doc_classes/LoopCore.xml.

#include <cstddef>

namespace vantrel {

extern const unsigned char LOOP_CORE_REFERENCE[];
extern const std::size_t LOOP_CORE_REFERENCE_SIZE;

// Hands the reference to the editor. An engine without editor help (an exported game)
// simply gets nothing: documentation never fails initialization and prints nothing.
void load_editor_help() noexcept;

}  // namespace vantrel
