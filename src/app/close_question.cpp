#include "app/close_question.h"

#include "remote/task_status.h"

QString CloseWhileBusyQuestion(bool running, const QString& taskCaption,
                               const QString& countsText) {
    if (!running)
        return QString();
    QString name = TaskStatus::taskName(taskCaption);
    if (name.isEmpty())
        name = QStringLiteral("A task");
    if (countsText.isEmpty())
        return QStringLiteral("%1 is still running, and closing stops it. Close anyway?").arg(name);
    return QStringLiteral(
               "%1 is still running (%2), and closing stops it: what has not arrived "
               "has to be sent again. Close anyway?")
        .arg(name, countsText);
}
