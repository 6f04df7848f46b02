#include "browser/core/mouse_hook.h"

namespace kinvo {

bool MouseHook(int code, int message, std::string_view targetClass) {
    if (code < 0 || message != kRightButtonUp) {
        return false;
    }
    // Only the first 255 characters of a class name are ever compared.
    const std::string_view name = targetClass.substr(0, kClassNameLimit);
    return name == kWebDocumentClass || name == kPlayerWindowClass;
}

}  // namespace kinvo
