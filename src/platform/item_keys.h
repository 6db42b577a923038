#pragma once

// What a key does in the explorers' trees and lists, local and remote alike, while no name
// is being edited. None: the view's own handling (moving, selecting, typing to find).
enum class ItemKey { None, Open, Up, Refresh, Rename, Delete };

ItemKey ItemKeyFor(int key);
