#include "utils/stop.h"

namespace vantor {

void stop(std::string message, std::source_location loc) {
    throw Stop{std::move(message), loc.file_name(), static_cast<unsigned>(loc.line())};
}

void stop_bounds(size_t len, size_t index, std::source_location loc) {
    stop("index out of bounds: the len is " + std::to_string(len) + " but the index is " +
             std::to_string(index),
         loc);
}

}  // namespace vantor
