#pragma once

#include <QChar>
#include <QString>

// Whether one path holds another: the project folder rules of both sides use
// these, local paths and server paths alike.

// True when path equals folder or lies below it. Letters compare without
// regard to case; "below" needs the separator right after the folder, so
// /web contains /WEB/img but not /website.
bool IsInProject(const QString& folder, const QString& path, QChar sep);
// True when path equals the project folder or is one of its ancestors.
bool IsProjectParent(const QString& projectFolder, const QString& path, QChar sep);
