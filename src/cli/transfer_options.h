#pragma once

#include "remote/kind_filter.h"
#include "remote/transfer_alert_options.h"
#include "session/publish_plan.h"

#include <QStringList>

class CliSession;

// Transfer connections beside the main one unless --parallel says otherwise.
inline constexpr int kDefaultParallel = 2;

// The options of a transfer command, taken out of its arguments:
//   --action different|always|skip|resume, --if-larger overwrite|skip,
//   --kinds link,devb,devc,unknown, --parallel N, and the publish options below.
struct TransferCliOptions {
    TransferAlertOptions alert;
    KindFilter kinds;
    PublishOptions publish = defaultCliPublishOptions();
    int parallel = kDefaultParallel;
    QStringList rest;  // the arguments that are not transfer options

    static PublishOptions defaultCliPublishOptions() {
        PublishOptions o;
        o.atomic = true;
        o.keepTimes = true;
        return o;
    }
};

bool parseTransferOptions(const QStringList& args, TransferCliOptions* out, QString* error);

// --atomic, --no-atomic, --keep-times, --no-keep-times, --verify, --no-verify:
// true when `arg` is one of them, which then is applied to `options`.
bool takePublishOption(const QString& arg, PublishOptions* options);
// Takes "--parallel N" (0 to 8) out of the arguments; false with a message when
// its value is not such a number.
bool takeParallelOption(QStringList* args, int* parallel, QString* error);
// The same for commands without other transfer options: the count (the
// default without the option) goes to the session; false, the error printed,
// when the value is wrong.
bool applyParallelOption(QStringList* args, CliSession& cli);
