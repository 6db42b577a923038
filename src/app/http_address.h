#pragma once

#include <QString>

#include "app/site_record.h"

// The web address of a remote file: the first abundant string that prefixes the path as a
// whole folder is cut, the rest is joined to HttpBase (or Host) and given "http://" unless it
// already has a scheme of http or https.
QString HttpAddress(const SiteRecord& site, const QString& ftpPath);
