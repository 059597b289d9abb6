#include "settings/ToolSettings.h"

namespace velmo {

const char* const kFactoryRouterAddress = "192.168.0.1";

}  // namespace velmo
