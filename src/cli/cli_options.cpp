#include "cli/cli_options.h"

#include "session/tls_mode.h"
#include "session/tls_status.h"

static bool commandNeedsNoServer(const QString& command) {
    return command == QLatin1String("parse") || command == QLatin1String("sites") ||
           command == QLatin1String("url");
}

bool parseCliOptions(const QStringList& args, CliOptions* o, QString* error) {
    int i = 0;
    auto value = [&](const QString& name, QString* out) {
        if (i + 1 >= args.size()) {
            *error = name + QStringLiteral(" needs a value");
            return false;
        }
        *out = args[++i];
        return true;
    };
    for (; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!a.startsWith(QLatin1String("--")))
            break;
        QString v;
        if (a == QLatin1String("--help")) {
            o->help = true;
        } else if (a == QLatin1String("--log")) {
            o->log = true;
        } else if (a == QLatin1String("--traces")) {
            o->traces = true;
        } else if (a == QLatin1String("--info-level")) {
            if (!value(a, &v))
                return false;
            bool ok = false;
            o->infoLevel = v.toInt(&ok);
            if (!ok || o->infoLevel < 0 || o->infoLevel > 4) {
                *error = QStringLiteral("--info-level takes 0 to 4");
                return false;
            }
        } else if (a == QLatin1String("--list-command")) {
            if (!value(a, &v))
                return false;
            if (v != QLatin1String("auto") && v != QLatin1String("LIST")) {
                *error = QStringLiteral("--list-command takes auto or LIST");
                return false;
            }
            o->listCommand = v;
        } else if (a == QLatin1String("--remote-project")) {
            if (!value(a, &o->remoteProject))
                return false;
            o->remoteProjectGiven = true;
        } else if (a == QLatin1String("--timeout")) {
            if (!value(a, &v))
                return false;
            bool ok = false;
            o->timeoutSeconds = v.toInt(&ok);
            if (!ok || o->timeoutSeconds <= 0) {
                *error = QStringLiteral("--timeout takes a positive number of seconds");
                return false;
            }
        } else if (a == QLatin1String("--deadline")) {
            if (!value(a, &v))
                return false;
            bool ok = false;
            o->deadlineSeconds = v.toInt(&ok);
            if (!ok || o->deadlineSeconds <= 0) {
                *error = QStringLiteral("--deadline takes a positive number of seconds");
                return false;
            }
        } else if (a == QLatin1String("--setting-dir")) {
            if (!value(a, &o->settingDir))
                return false;
        } else if (a == QLatin1String("--tls")) {
            if (!value(a, &o->tls))
                return false;
            if (!parseTlsMode(o->tls)) {
                *error = QStringLiteral("--tls takes off, auto or require");
                return false;
            }
        } else if (a == QLatin1String("--trust")) {
            if (!value(a, &v))
                return false;
            if (parseFingerprint(v).isEmpty()) {
                *error = QStringLiteral("--trust takes a SHA-256 fingerprint (SHA256:AB:CD:...)");
                return false;
            }
            o->trust << v;
        } else if (a == QLatin1String("--password-stdin")) {
            o->passwordStdin = true;
        } else if (a == QLatin1String("--site")) {
            if (!value(a, &o->site))
                return false;
        } else {
            *error = QStringLiteral("unknown option ") + a;
            return false;
        }
    }
    if (o->help)
        return true;
    if (i < args.size() && (args[i].startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive) ||
                            args[i].startsWith(QLatin1String("ftpes://"), Qt::CaseInsensitive)))
        o->url = args[i++];
    if (i >= args.size()) {
        *error = QStringLiteral("no command given");
        return false;
    }
    o->command = args[i++];
    o->commandArgs = args.mid(i);
    if (!commandNeedsNoServer(o->command)) {
        if (o->url.isEmpty() && o->site.isEmpty()) {
            *error = QStringLiteral("the command %1 needs a URL or --site NAME").arg(o->command);
            return false;
        }
        if (!o->url.isEmpty() && !o->site.isEmpty()) {
            *error = QStringLiteral("give either a URL or --site NAME, not both");
            return false;
        }
    }
    return true;
}

QString cliUsage() {
    return QStringLiteral(
        "Usage: velmora-cli [OPTIONS] URL COMMAND [ARGS]\n"
        "       velmora-cli [OPTIONS] --site NAME COMMAND [ARGS]\n"
        "       velmora-cli [OPTIONS] parse|sites|url ...\n"
        "\n"
        "URL is ftp://[user[:password]@]host[:port][/path]; without a user the login is\n"
        "the one ~/.netrc names for the host, else anonymous (password \"anonymous@\").\n"
        "ftpes://... is the same over FTP with explicit TLS, which it requires.\n"
        "The password is the first found of: the URL's, --password-stdin, $VELMORA_PASSWORD,\n"
        "the stored site's (--site), ~/.netrc (machine/login/password; ignored when others\n"
        "can read it); else, when a user is named, it is asked for on the terminal. When\n"
        "the keyring can not give a stored site's password and none of the others gives\n"
        "one, nothing logs in.\n"
        "NAME is a stored site's name; sites sharing a name are named \"NAME (COMMENT)\".\n"
        "\n"
        "Options:\n"
        "  --log                  write the conversation with the server on stderr\n"
        "  --traces               include the trace channels in the log\n"
        "  --info-level N         show listings up to this level on the info channel (0-4)\n"
        "  --list-command auto|LIST  auto: MLSD when the server announces it\n"
        "  --remote-project PATH  walk down to this remote project folder after login\n"
        "  --timeout SECONDS      give up when nothing moved (no reply, no data byte) for\n"
        "                         this long (default 60)\n"
        "  --deadline SECONDS     give up when the whole run took this long (default: none)\n"
        "  --setting-dir DIR      folder of the settings files\n"
        "  --site NAME            connect to a stored site instead of a URL\n"
        "  --password-stdin       read the password from the first line of standard input\n"
        "  --tls off|auto|require FTP over TLS: never, when offered, or required\n"
        "                         (default: require for ftpes://, off for ftp://, the site's)\n"
        "  --trust SHA256:...     trust this server certificate fingerprint for this run\n"
        "  --help                 this text\n"
        "\n"
        "Commands (a relative remote path starts in the remote project folder, else the\n"
        "login folder):\n"
        "  ls [--tsv] [PATH]      list a remote folder (default: the login folder)\n"
        "  raw COMMAND [ARG...]   send one command and print the reply\n"
        "  get [T] REMOTE... LOCAL_DIR  download files and folders (placed as cp -r does:\n"
        "                         one file to a path that is no folder is stored as it)\n"
        "  put [T] LOCAL... REMOTE_DIR  upload files and folders\n"
        "  deploy [T] [LOCAL_PATH]      with --site: upload below the local project folder\n"
        "                               to the same place below the remote project folder\n"
        "  cat REMOTE_FILE        print a remote file\n"
        "  rm [--kinds K] REMOTE...     delete files and folders (recursive)\n"
        "  mkdir REMOTE           create a folder\n"
        "  rename REMOTE NEWNAME  rename an entry within its folder\n"
        "  mv REMOTE... REMOTE_DIR      move entries to another folder\n"
        "  chmod MODE REMOTE... [--recursive] [--files|--folders]  change permissions;\n"
        "                         --recursive --files: the files at every depth, no folder\n"
        "  parse [--unix|--mlsd|--dos|--auto] FILE  parse a saved listing, printed as ls\n"
        "                         --tsv does; --auto picks the grammar per line as LIST\n"
        "                         output is read, and takes MLSD fact lines too\n"
        "  sites list | show NAME | add NAME ... | edit NAME ... | remove NAME\n"
        "  url NAME REMOTE_PATH   the web address of a remote file of a stored site\n"
        "  compare [--case-sensitive] [--sizes] [--dates] [--recursive] [--ignore-hidden]\n"
        "          [--tsv] [--parallel N] [RELATIVE_FOLDER]  with --site: what differs\n"
        "                         between the local and the remote project folder, one line\n"
        "                         per difference; --dates also lists files changed later on\n"
        "                         one side; the sub-folders are listed over N transfer\n"
        "                         connections (default 2)\n"
        "  deploy --changed [--delete] [--dry-run] [--parallel N] [P]  with --site: upload\n"
        "                         only new and\n"
        "                         changed files (by the hashes recorded on the server in\n"
        "                         .velmora-deploy, by size before the first such deploy);\n"
        "                         --delete removes files that deploy sent and that are gone\n"
        "                         locally, also inside folders gone locally; folders are\n"
        "                         never removed (\"keep FOLDER/\" names those left behind);\n"
        "                         --dry-run prints the plan only\n"
        "  find PATTERN [--kinds file,folder,link,devb,devc,other] [--at-least N[kb|mb]]\n"
        "       [--at-most N[kb|mb]] [--case-sensitive] [--tsv] [REMOTE_FOLDER]\n"
        "                         find entries by name at any depth (* at either end of the\n"
        "                         name and of the extension)\n"
        "  case lower|upper [--kinds K] [--recursive] [--dry-run] REMOTE_FOLDER\n"
        "                         rename entries to lower or upper case, printing each\n"
        "\n"
        "Transfer options [T], after the command word:\n"
        "  --action different|always|skip|resume   what to do with an existing target:\n"
        "                         replace it when its size differs (default; an edit that\n"
        "                         keeps the size is not seen: use always, or deploy\n"
        "                         --changed), always, never, or continue it\n"
        "  --if-larger overwrite|skip   with resume: when the target is the larger one\n"
        "  --kinds link,devb,devc,unknown   kinds besides files and folders to transfer\n"
        "  and the publish options [P]:\n"
        "  --atomic | --no-atomic   upload to a hidden temporary name, then rename it over\n"
        "                         the old file (default: atomic)\n"
        "  --keep-times | --no-keep-times   carry modification times across (default: keep)\n"
        "  --verify | --no-verify   compare each file with the server's checksum (HASH,\n"
        "                         XSHA256, XSHA1, XMD5 or XCRC; default: no)\n"
        "  --parallel N           files move over N further connections to the server\n"
        "                         beside the main one (0-8, default 2); 0 moves them one\n"
        "                         by one on the main connection\n"
        "\n"
        "Exit status: 0 done, 1 connection failed, timed out, a command was refused,\n"
        "listing lines could not be read or an upload left local entries out (linked\n"
        "folders, special files; each named), 2 usage error.\n"
        "compare: 0 no difference, 1 differences found, 2 usage error, 3 failure (nothing\n"
        "can be said about the differences).\n");
}
