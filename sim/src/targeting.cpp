// Placeholder: replaced by the real implementation.
#include "game.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {


Vec3 eye_point(const ActorView&) { throw InternalError("not built"); }
Vec3 view_direction(float, float) { throw InternalError("not built"); }
Vec3 hand_point(const ActorView&, float) { throw InternalError("not built"); }
bool Game::visible(Vec3, Vec3) const { throw InternalError("not built"); }
std::optional<AimHit> Game::aim_hit(std::size_t, Vec3, Vec3, float) const { throw InternalError("not built"); }
std::optional<PickupHit> Game::pickup_target(std::size_t) const { throw InternalError("not built"); }
std::optional<std::size_t> Game::dock_target(std::size_t, std::size_t) const { throw InternalError("not built"); }
Intent Game::interact_intent() const { throw InternalError("not built"); }
std::optional<float> Game::catch_distance(std::size_t, std::size_t) const { throw InternalError("not built"); }

}  // namespace vantrel_sim
