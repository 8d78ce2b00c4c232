#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace vantrel_sim {

// A broken invariant of the catalogue or the world: never produced by correct code.
// The engine binding catches it at the method boundary and reports it.
class InternalError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// Bounds-checked element access for lists whose indices come from data.
template <typename List>
auto& checked_at(List& list, std::size_t index, const char* what) {
    if (index >= list.size()) {
        throw InternalError(std::string(what) + ": index " + std::to_string(index) +
                            " outside a list of " + std::to_string(list.size()));
    }
    return list[index];
}

}  // namespace vantrel_sim
