#include "VoConfig.h"

#include "VoConfig_impl.h"

IVoConfigPtr CreateConfig() { return std::make_shared<TVoConfig>(); }
