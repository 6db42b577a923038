#include "remote/concerned_file_choice.h"

#include "remote/remote_path.h"

ConcernedFileChoice ChooseConcernedFile(const QByteArray& folder,
                                        const std::vector<RemoteItem>& chosen,
                                        const QString& current) {
    if (chosen.size() != 1 || chosen.front().isFolder()) {
        return {};
    }
    const QString path = QString::fromUtf8(joinRemotePath(folder, chosen.front().name));
    if (path == current) {
        return {};
    }
    ConcernedFileChoice choice{path, {}};
    if (!current.isEmpty()) {
        choice.question = QString::fromLatin1(kReplaceConcernedQuestion);
    }
    return choice;
}
