#include "resources/strings.h"

#include "resources/resource.h"

namespace res {

const char* FindString(unsigned id) {
    switch (id) {
    case IDS_ABOUTBOX:
        return "&About tarnvel...";
    default:
        return nullptr;
    }
}

} // namespace res
