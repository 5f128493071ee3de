// Debug form of an operating-system error:
//   Os { code: 2, kind: NotFound, message: "No such file or directory" }
#pragma once
#include <string>

namespace vantor {

const char* os_error_kind(int errnum);
std::string os_error_debug(int errnum);

}  // namespace vantor
