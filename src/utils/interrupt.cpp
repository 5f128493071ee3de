#include "utils/interrupt.h"

namespace vantor {

void (*poll_host)() = nullptr;

}  // namespace vantor
