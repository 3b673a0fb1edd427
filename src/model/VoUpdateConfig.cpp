#include "model/VoUpdateConfig.h"

#include "model/VoUpdateConfig_impl.h"

IVoUpdateConfigPtr CreateUpdateConfig() { return std::make_shared<TVoUpdateConfig>(); }
