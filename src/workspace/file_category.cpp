#include "workspace/file_category.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

struct CategoryList {
    FileCategory category;
    const std::string_view* begin;
    const std::string_view* end;
};

// Each list in ascending order: it is searched by binary search.
constexpr std::string_view kArchive[] = {
    "7z",  "ace", "arj", "bz",  "bz2", "cab",  "cpio", "gz", "jar", "lha", "lzh",
    "rar", "rev", "tar", "taz", "tbz", "tbz2", "tgz",  "uu", "uue", "xxe", "zip",
};
constexpr std::string_view kImage[] = {
    "bmp", "dds", "dng", "eps", "gif", "icb", "ico", "jpe", "jpeg", "jpg",
    "pct", "pcx", "pdd", "pdf", "pdp", "pic", "png", "psd", "pxr",  "raw",
    "rle", "sct", "tga", "thm", "tif", "vda", "vst", "yuv",
};
constexpr std::string_view kWebPage[] = {
    "asp", "aspx", "cer", "cf",   "csr",   "htm",   "html",
    "jsp", "php",  "rss", "shtm", "shtml", "xhtml", "xml",
};
constexpr std::string_view kDocument[] = {
    "abw", "c",   "chm",  "cpp", "css", "djv", "djvu", "doc", "docm", "docx", "gan",
    "h",   "hwp", "java", "js",  "log", "odm", "odt",  "pdb", "psw",  "rtf",  "sdw",
    "sgl", "stw", "sxg",  "sxw", "txt", "uof", "uot",  "wpd", "wps",
};
constexpr std::string_view kProgram[] = {"app", "bat", "cgi", "com", "exe", "pif", "wsf"};
constexpr std::string_view kVideo[] = {
    "3g2", "3gp", "asf", "asx", "avi", "flv", "mov", "mp4", "mpg", "rm", "srt", "swf", "vob", "wmv",
};
constexpr std::string_view kAudio[] = {
    "aif", "iff", "m3u", "m4a", "mid", "mp3", "mpa", "ra", "wav", "wma",
};

template <std::size_t N>
constexpr CategoryList Make(FileCategory category, const std::string_view (&list)[N]) {
    return CategoryList{category, list, list + N};
}

// In the order they are tried.
constexpr std::array<CategoryList, 7> kLists = {
    Make(FileCategory::Archive, kArchive), Make(FileCategory::Image, kImage),
    Make(FileCategory::WebPage, kWebPage), Make(FileCategory::Document, kDocument),
    Make(FileCategory::Program, kProgram), Make(FileCategory::Video, kVideo),
    Make(FileCategory::Audio, kAudio),
};

}  // namespace

QString FileTypeText(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) {
        return {};
    }
    return name.mid(dot + 1);
}

FileCategory ClassifyFileName(const QString& name) {
    if (name.isEmpty()) {
        return FileCategory::Other;
    }
    for (QChar c : name) {
        if (c.unicode() > 127) {
            return FileCategory::Other;
        }
    }
    const std::string lower = FileTypeText(name).toLower().toStdString();
    if (lower.empty()) {
        return FileCategory::Other;
    }
    for (const CategoryList& list : kLists) {
        if (std::binary_search(list.begin, list.end, std::string_view(lower))) {
            return list.category;
        }
    }
    return FileCategory::Other;
}
