#pragma once

#include "remote/kind_filter.h"
#include "remote/transfer_alert_options.h"

#include <QStringList>

// The options of a transfer command, taken out of its arguments:
//   --action different|always|skip|resume, --if-larger overwrite|skip,
//   --kinds link,devb,devc,unknown
struct TransferCliOptions {
    TransferAlertOptions alert;
    KindFilter kinds;
    QStringList rest;  // the arguments that are not transfer options
};

bool parseTransferOptions(const QStringList& args, TransferCliOptions* out, QString* error);
