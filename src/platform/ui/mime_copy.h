#pragma once

#include <QMimeData>

#include <memory>

// A drop is carried out after the drag has ended, so its questions do not run
// inside the drag; the drag's data does not live that long, a copy does.
inline std::shared_ptr<QMimeData> CopyMimeData(const QMimeData& source) {
    auto copy = std::make_shared<QMimeData>();
    for (const QString& format : source.formats())
        copy->setData(format, source.data(format));
    return copy;
}
