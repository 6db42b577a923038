#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <ostream>

// Readable failure output for Qt texts in test expectations.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << bytes.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << "{\n";
    for (const QString& s : list)
        *os << "  \"" << s.toStdString() << "\"\n";
    *os << '}';
}

inline void PrintTo(const QList<QByteArray>& list, std::ostream* os) {
    *os << "{\n";
    for (const QByteArray& s : list)
        *os << "  \"" << s.toStdString() << "\"\n";
    *os << '}';
}
