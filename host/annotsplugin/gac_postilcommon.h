#pragma once

#include "gac_common.h"

// Base of the annotation kinds that the user places on a page (links, notes).
class GAC_PostilCommon : public GAC_Common
{
public:
    GAC_PostilCommon();
    ~GAC_PostilCommon() override;
};
