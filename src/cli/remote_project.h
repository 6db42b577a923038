#pragma once

#include <QByteArray>

class CliSession;

enum class RemoteProjectState { There, Created, Missing, Failed };

// Makes sure the remote project folder a deploy stores below is on the
// server. When it is not: with `create`, each missing level is made by the
// engine's folder creation and the user told so (Created); without, Missing,
// nothing said. Failed, the reason printed, when it can not be made or the
// run broke.
RemoteProjectState ensureRemoteProject(CliSession& cli, const QByteArray& folder, bool create);
