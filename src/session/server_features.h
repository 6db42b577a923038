#pragma once

#include "session/command_index.h"
#include "session/reply.h"

#include <QByteArray>
#include <QList>

enum class HashAlgorithm { None, Sha256, Sha512, Sha1, Md5, Crc32 };

// The name a HASH reply or FEAT line gives an algorithm ("SHA-256"), and back.
HashAlgorithm hashAlgorithmNamed(const QByteArray& name);
QByteArray hashAlgorithmName(HashAlgorithm algorithm);

// The command a file's checksum is asked with, and the algorithm it answers
// in (HASH names it in its reply: this is the one expected).
struct HashCommand {
    QByteArray command;  // empty: the server offers none
    HashAlgorithm algorithm = HashAlgorithm::None;
};

// What the server announced beyond the listing commands, and what it was seen
// to refuse. Filled after FEAT and HELP; shared by every transfer of the
// connection.
struct ServerFeatures {
    bool mfmt = false;
    bool mdtm = false;
    bool rest = false;
    bool size = false;
    // HASH and the algorithms of its FEAT line; current is the starred one.
    bool hash = false;
    QList<HashAlgorithm> hashAlgorithms;
    HashAlgorithm hashCurrent = HashAlgorithm::None;
    bool xsha256 = false;
    bool xsha512 = false;
    bool xsha1 = false;
    bool xmd5 = false;
    bool xcrc = false;

    // Learned: RNTO onto an existing name was refused, so the old file goes
    // first.
    bool renameOverRefused = false;
    // Said once per connection: verification was asked and cannot be done.
    bool noHashReported = false;
    // The same for keeping modification times without MFMT.
    bool noMfmtReported = false;

    // HASH first, then the strongest of the X commands.
    HashCommand hashCommand() const;
};

ServerFeatures featuresOf(const Reply& feat, const CommandIndex& featIndex,
                          const CommandIndex& helpIndex);
