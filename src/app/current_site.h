#pragma once

#include <QtGlobal>

#include "app/site_record.h"

// The copy of the site last connected. A list record is the current site when its Id equals
// the Id here; at start the Id is random and matches no record.
struct CurrentSite {
    SiteRecord Site;
    // Owned by the session: cleared whenever a site is chosen or the connection is closed.
    quint8 SessionFlag = 0;
};
