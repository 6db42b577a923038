#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The lines "Propertiy" shows for a local item: label and value, in order.
// Reads one entry only, never a folder's contents, so it is quick anywhere.
QList<QPair<QString, QString>> LocalItemFacts(const QString& path);
