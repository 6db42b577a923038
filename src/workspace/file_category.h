#pragma once

#include <QString>

// Icon index of a file in the shared file image list, chosen by extension.
enum class FileCategory : int {
    Other = 50,
    Archive = 52,
    Image = 54,
    WebPage = 56,
    Document = 58,
    Video = 60,
    Audio = 62,
    Program = 64,
};

// The text after the last dot, as written; empty when the name has no dot or
// its only dot is the first character (".htaccess"). Lists show it as the type.
QString FileTypeText(const QString& name);

// The category of a file name by its last extension, without regard to case.
// Names that are empty or hold characters above 127 are Other.
FileCategory ClassifyFileName(const QString& name);
