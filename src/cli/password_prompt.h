#pragma once

#include <QString>

#include <optional>

// Asks for a password on the controlling terminal with echo off, as "Password for USER@HOST: ".
// Nothing when standard input is not a terminal (a script, a pipe) or the input ended.
std::optional<QString> PromptPasswordOnTerminal(const QString& user, const QString& host);

// The first line of standard input without its line end, for --password-stdin; nothing
// when standard input is empty.
std::optional<QString> ReadPasswordFromStdin();
