#include "session/reply_expectation.h"

#include <initializer_list>

namespace {

struct Row {
    const char* name;
    std::initializer_list<int> success;
    std::initializer_list<int> error;
};

// A 0 stands for no code.
const Row kRows[] = {
    {"LIST", {150, 226}, {0, 0}},
    {"MLSD", {150, 226}, {500}},
    {"NLST", {150, 226}, {550}},
    {"STOR", {150, 226}, {425, 426, 450, 451, 452, 552, 553}},
    {"APPE", {150, 226}, {425, 426, 450, 451, 452, 552, 553}},
    {"ABOR", {150, 225, 226}, {420, 426, 500}},
    {"SITE CHMOD", {200}, {0}},
    {"NOOP", {200}, {0}},
    {"TYPE", {200}, {0}},
    {"FEAT", {211}, {500}},
    {"STAT", {211, 213}, {0}},
    {"SIZE", {213}, {500, 501, 502, 504, 550}},
    {"HELP", {214}, {0}},
    {"SYST", {215}, {0}},
    {"RETR", {226}, {500, 550}},
    {"PASV", {227}, {0}},
    {"PASS", {230}, {0}},
    {"USER", {230, 331}, {0}},
    {"CWD", {250}, {550}},
    {"DELE", {250}, {450, 550}},
    {"RMD", {250}, {450, 550}},
    {"RNTO", {250}, {451, 550, 553, 503}},
    {"MLST", {250}, {500, 550}},
    {"PWD", {257}, {0}},
    {"MKD", {257}, {550}},
    {"RNFR", {350}, {450, 550}},
    {"REST", {350}, {0}},
    {"AUTH", {234}, {431, 500, 501, 502, 504, 530, 534, 550}},
    {"MFMT", {213}, {500, 501, 502, 504, 550}},
    {"MDTM", {213}, {500, 501, 502, 550}},
    {"HASH", {213}, {500, 501, 502, 504, 550, 556}},
    {"XSHA256", {250, 213}, {500, 501, 502, 504, 550}},
    {"XSHA512", {250, 213}, {500, 501, 502, 504, 550}},
    {"XSHA1", {250, 213}, {500, 501, 502, 504, 550}},
    {"XMD5", {250, 213}, {500, 501, 502, 504, 550}},
    {"XCRC", {250, 213}, {500, 501, 502, 504, 550}},
    {"PBSZ", {200}, {500, 501, 502, 503, 530}},
    {"PROT", {200}, {500, 501, 502, 503, 504, 530, 534, 536}},
};

}  // namespace

ReplyExpectation ReplyExpectation::forName(const QByteArray& name) {
    for (const Row& row : kRows) {
        if (name == row.name)
            return {QList<int>(row.success), QList<int>(row.error)};
    }
    return {};
}
