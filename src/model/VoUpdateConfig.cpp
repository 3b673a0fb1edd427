#include "VoUpdateConfig.h"

#include "VoUpdateConfig_impl.h"

IVoUpdateConfigPtr CreateUpdateConfig() { return std::make_shared<TVoUpdateConfig>(); }
