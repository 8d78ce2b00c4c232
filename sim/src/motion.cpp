// Placeholder: replaced by the real implementation.
#include "game.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {


void BoxList::push(const BoxView&) { throw InternalError("not built"); }
void BoxList::remove_equal(const BoxView&) { throw InternalError("not built"); }
BoxView lift_platform_box(const LiftView&) { throw InternalError("not built"); }
BoxList solid_boxes(const Level&) { throw InternalError("not built"); }
float clip_axis(Vec3, Vec3, std::size_t, float, std::span<const BoxView>) { throw InternalError("not built"); }
Vec3 sweep_box(Vec3&, Vec3, Vec3, std::span<const BoxView>) { throw InternalError("not built"); }
void separate_cargo(Cargo&, std::span<const BoxView>) { throw InternalError("not built"); }
void integrate_cargo(Cargo&, std::span<const BoxView>, std::span<const FanView>, float) { throw InternalError("not built"); }

}  // namespace vantrel_sim
