#include "utils/stop.h"

namespace vantor {

void stop(std::string message, SourceLoc loc) {
    throw Stop{std::move(message), loc.file, loc.line};
}

void stop_bounds(size_t len, size_t index, SourceLoc loc) {
    stop("index out of bounds: the len is " + std::to_string(len) + " but the index is " +
             std::to_string(index),
         loc);
}

}  // namespace vantor
