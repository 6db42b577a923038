#include "session/server_features.h"

namespace {

struct NamedAlgorithm {
    const char* name;
    HashAlgorithm algorithm;
};

const NamedAlgorithm kNames[] = {
    {"SHA-256", HashAlgorithm::Sha256}, {"SHA-512", HashAlgorithm::Sha512},
    {"SHA-1", HashAlgorithm::Sha1},     {"MD5", HashAlgorithm::Md5},
    {"CRC32", HashAlgorithm::Crc32},
};

bool announced(const CommandIndex& feat, const CommandIndex& help, const char* word) {
    return feat.contains(word) || help.contains(word);
}

}  // namespace

HashAlgorithm hashAlgorithmNamed(const QByteArray& name) {
    const QByteArray upper = name.trimmed().toUpper();
    for (const NamedAlgorithm& n : kNames)
        if (upper == n.name)
            return n.algorithm;
    return HashAlgorithm::None;
}

QByteArray hashAlgorithmName(HashAlgorithm algorithm) {
    for (const NamedAlgorithm& n : kNames)
        if (n.algorithm == algorithm)
            return n.name;
    return {};
}

HashCommand ServerFeatures::hashCommand() const {
    if (hash) {
        // HASH answers in the current algorithm, the first one offered when
        // none is starred.
        HashAlgorithm expected = hashCurrent;
        if (expected == HashAlgorithm::None && !hashAlgorithms.isEmpty())
            expected = hashAlgorithms.first();
        if (expected != HashAlgorithm::None)
            return {"HASH", expected};
    }
    if (xsha256)
        return {"XSHA256", HashAlgorithm::Sha256};
    if (xsha512)
        return {"XSHA512", HashAlgorithm::Sha512};
    if (xsha1)
        return {"XSHA1", HashAlgorithm::Sha1};
    if (xmd5)
        return {"XMD5", HashAlgorithm::Md5};
    if (xcrc)
        return {"XCRC", HashAlgorithm::Crc32};
    return {};
}

ServerFeatures featuresOf(const Reply& feat, const CommandIndex& featIndex,
                          const CommandIndex& helpIndex) {
    ServerFeatures f;
    f.mfmt = announced(featIndex, helpIndex, "MFMT");
    f.mdtm = announced(featIndex, helpIndex, "MDTM");
    f.rest = announced(featIndex, helpIndex, "REST");
    f.size = announced(featIndex, helpIndex, "SIZE");
    f.xsha256 = announced(featIndex, helpIndex, "XSHA256");
    f.xsha512 = announced(featIndex, helpIndex, "XSHA512");
    f.xsha1 = announced(featIndex, helpIndex, "XSHA1");
    f.xmd5 = announced(featIndex, helpIndex, "XMD5");
    f.xcrc = announced(featIndex, helpIndex, "XCRC");
    // " HASH SHA-256*;SHA-1;MD5": the starred one is what HASH answers in.
    for (const QByteArray& raw : feat.strippedLines()) {
        const QByteArray line = raw.trimmed();
        if (!line.toUpper().startsWith("HASH"))
            continue;
        const QByteArray rest = line.mid(4);
        if (!rest.isEmpty() && rest[0] != ' ')
            continue;
        f.hash = true;
        for (QByteArray name : rest.trimmed().split(';')) {
            const bool current = name.endsWith('*');
            if (current)
                name.chop(1);
            const HashAlgorithm a = hashAlgorithmNamed(name);
            if (a == HashAlgorithm::None)
                continue;
            f.hashAlgorithms.append(a);
            if (current)
                f.hashCurrent = a;
        }
    }
    return f;
}
