#include "app/window_title.h"

#include "session/session_options.h"

QString WindowTitle() {
    return QStringLiteral("Velmora");
}

QString WindowTitle(const SessionOptions& loggedInTo) {
    return WindowTitle() + QStringLiteral(" - ") + loggedInTo.host + QStringLiteral(" (") +
           loggedInTo.siteName + QStringLiteral(", ") + loggedInTo.comment + QStringLiteral(")");
}
