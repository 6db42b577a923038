#pragma once

#include "remote/remote_item_list.h"

// What the remote views show of a listing: everything but the temporaries of
// uploads, which are renamed into place when complete and taken up or removed
// by the next upload of their file when not.
RemoteItemList ShownItems(const RemoteItemList& items);
