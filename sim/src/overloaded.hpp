#pragma once

namespace vantrel_sim {

// Visits a variant with one lambda per alternative.
template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
// Older compilers do not deduce aggregate template arguments by themselves.
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

}  // namespace vantrel_sim
