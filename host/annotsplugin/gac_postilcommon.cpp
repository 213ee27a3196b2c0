#include "gac_postilcommon.h"

GAC_PostilCommon::GAC_PostilCommon() = default;

GAC_PostilCommon::~GAC_PostilCommon() = default;
