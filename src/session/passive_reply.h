#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

struct PassiveAddress {
    QString host;  // "%d.%d.%d.%d"
    int port = -1;
};

// Reads the six numbers between the parentheses of a 227 line.
std::optional<PassiveAddress> parsePassiveReply(const QByteArray& line);
