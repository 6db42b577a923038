#pragma once

#include "workspace/folder_compare.h"

class Prompter;

enum class CompareViewSide { None, Server, Local };

inline constexpr char kCompareViewQuestion[] =
    "Click button\nYes\tto view server file\nNo\tto view local file\n";

// Which copy of a compare result a viewing tool opens: the only file there is,
// or, for a file on both sides, the one the user picks (Cancel: none).
CompareViewSide ChooseCompareViewSide(const CompareItem& item, Prompter& prompter);
