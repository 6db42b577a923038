#include "cli/transfer_options.h"

#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "remote/transfer_pool.h"

bool takeParallelOption(QStringList* args, int* parallel, QString* error) {
    for (int i = 0; i < args->size(); ++i) {
        if (args->at(i) != QLatin1String("--parallel"))
            continue;
        bool ok = false;
        const int n = i + 1 < args->size() ? args->at(i + 1).toInt(&ok) : -1;
        if (!ok || n < 0 || n > TransferPool::kMaxConnections) {
            *error = QStringLiteral("--parallel takes a number of connections from 0 to %1")
                         .arg(TransferPool::kMaxConnections);
            return false;
        }
        *parallel = n;
        args->remove(i, 2);
        --i;
    }
    return true;
}

bool applyParallelOption(QStringList* args, CliSession& cli) {
    int parallel = kDefaultParallel;
    QString error;
    if (!takeParallelOption(args, &parallel, &error)) {
        printError(error);
        return false;
    }
    cli.setParallel(parallel);
    return true;
}

bool takePublishOption(const QString& arg, PublishOptions* options) {
    if (arg == QLatin1String("--atomic") || arg == QLatin1String("--no-atomic"))
        options->atomic = arg == QLatin1String("--atomic");
    else if (arg == QLatin1String("--keep-times") || arg == QLatin1String("--no-keep-times"))
        options->keepTimes = arg == QLatin1String("--keep-times");
    else if (arg == QLatin1String("--verify") || arg == QLatin1String("--no-verify"))
        options->verify = arg == QLatin1String("--verify");
    else
        return false;
    return true;
}

bool parseTransferOptions(const QStringList& given, TransferCliOptions* out, QString* error) {
    out->alert.showAlert = 0;
    QStringList args = given;
    if (!takeParallelOption(&args, &out->parallel, error))
        return false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (takePublishOption(a, &out->publish))
            continue;
        if (a != QLatin1String("--action") && a != QLatin1String("--if-larger") &&
            a != QLatin1String("--kinds")) {
            out->rest << a;
            continue;
        }
        if (i + 1 >= args.size()) {
            *error = a + QStringLiteral(" needs a value");
            return false;
        }
        const QString v = args[++i];
        if (a == QLatin1String("--action")) {
            static const char* const names[] = {"different", "always", "skip", "resume"};
            int found = -1;
            for (int k = 0; k < 4; ++k)
                if (v == QLatin1String(names[k]))
                    found = k;
            if (found < 0) {
                *error = QStringLiteral("--action takes different, always, skip or resume");
                return false;
            }
            out->alert.fileAction = quint8(found);
        } else if (a == QLatin1String("--if-larger")) {
            if (v == QLatin1String("overwrite")) {
                out->alert.ifLarger = TransferAlertOptions::Overwrite;
            } else if (v == QLatin1String("skip")) {
                out->alert.ifLarger = TransferAlertOptions::Skip;
            } else {
                *error = QStringLiteral("--if-larger takes overwrite or skip");
                return false;
            }
        } else {
            out->kinds.flags = 0;
            for (const QString& k : v.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                if (k == QLatin1String("link"))
                    out->kinds.flags |= KindFilter::Link;
                else if (k == QLatin1String("devb"))
                    out->kinds.flags |= KindFilter::DeviceB;
                else if (k == QLatin1String("devc"))
                    out->kinds.flags |= KindFilter::DeviceC;
                else if (k == QLatin1String("unknown"))
                    out->kinds.flags |= KindFilter::Unknown;
                else {
                    *error = QStringLiteral("--kinds takes link, devb, devc, unknown");
                    return false;
                }
            }
        }
    }
    return true;
}
