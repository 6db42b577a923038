#pragma once

#include <QString>

// The question before the window closes while a task is in hand: what the
// close would stop. Empty when nothing runs (running false).
QString CloseWhileBusyQuestion(bool running, const QString& taskCaption, const QString& countsText);
