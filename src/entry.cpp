// The library entry: the one exported symbol, named by vantrel.gdextension.

#include "boundary.hpp"
#include "editor_help.hpp"
#include "engine.hpp"
#include "gdextension_abi.hpp"
#include "loop_core.hpp"

namespace {

using vantrel::gde::InitializationLevel;

void initialize(void*, InitializationLevel level) {
    if (level == InitializationLevel::Scene) {
        vantrel::guarded("vantrel::initialize", vantrel::report_fault, vantrel::register_loop_core);
    } else if (level == InitializationLevel::Editor) {
        vantrel::load_editor_help();
    }
}

void deinitialize(void*, InitializationLevel level) {
    if (level == InitializationLevel::Scene) {
        vantrel::guarded("vantrel::deinitialize", vantrel::report_fault, vantrel::unregister_loop_core);
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) vantrel::gde::Bool vantrel_library_init(
    vantrel::gde::GetProcAddress get_proc, void* library, vantrel::gde::Initialization* r_init) {
    if (r_init == nullptr || !vantrel::load_engine(get_proc, library)) {
        return 0;
    }
    r_init->minimum_initialization_level = InitializationLevel::Scene;
    r_init->userdata = nullptr;
    r_init->initialize = initialize;
    r_init->deinitialize = deinitialize;
    return 1;
}
