#pragma once

#include "app/site_list.h"

// The window's site list saved over a site.set that other writers (velmora-cli, another
// window) may have changed since the window loaded it. `base` is the list as the window
// loaded or last saved it, `mine` the list now, `onDisk` the file read again under the
// settings lock. Sites the window added, edited or removed since `base` (told apart by Id)
// are applied to the file's sites found by name (or, renamed elsewhere, by everything else);
// every other site stays as the file has it, and sites only the file has are kept, one of a
// name the window added too included. The result keeps the window's Ids and its current
// site; sites new to the window get fresh Ids.
SiteList MergeSites(const SiteList& onDisk, const SiteList& base, const SiteList& mine);
