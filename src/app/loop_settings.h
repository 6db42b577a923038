#pragma once

#include "app/mixed_settings.h"
#include "workspace/change_case.h"
#include "workspace/search_criteria.h"

// The loop windows' options as the stored settings keep them, both ways. A
// stored value the windows cannot show (a size beyond 32 bits, an unknown
// relation or unit) comes back as its default.
SearchCriteria SearchCriteriaFromSettings(const MixedSettings& settings);
void StoreSearchCriteria(MixedSettings& settings, const SearchCriteria& criteria);

ChangeCaseOptions ChangeCaseOptionsFromSettings(const MixedSettings& settings);
void StoreChangeCaseOptions(MixedSettings& settings, const ChangeCaseOptions& options);
