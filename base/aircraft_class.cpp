#include "base/aircraft_class.h"

namespace vorskal {

bool twoSeater(std::string_view aircraft) {
    return aircraft == "ALBATROS_DII" || aircraft == "NIEUPORT_17";
}

}  // namespace vorskal
