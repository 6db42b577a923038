#pragma once

#include <QByteArray>

#include "session/command_step.h"

// The steps of a "Group command" menu item (id one of kCmdGroupMlsd, List or
// Nlst): into the folder selected on the remote side (or, with none, ask
// where the server stands), open a passive connection and list there. Empty
// for any other id.
StepList GroupCommandSteps(int id, const QByteArray& selectedFolder);
