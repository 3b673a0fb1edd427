#include "model/VoConfig.h"

#include "model/VoConfig_impl.h"

IVoConfigPtr CreateConfig() { return std::make_shared<TVoConfig>(); }
