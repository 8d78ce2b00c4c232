// Placeholder: replaced by the real implementation.
#include "snapshot.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {


const char* actor_action_name(ActorAction) { throw InternalError("not built"); }
const char* cargo_style_name(CargoStyle) { throw InternalError("not built"); }
void write_snapshot(const Snapshot&, std::string&) { throw InternalError("not built"); }

}  // namespace vantrel_sim
