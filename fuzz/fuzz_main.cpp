// One libFuzzer program per target: FUZZ_ENTRY names the entry function.
#include "targets/fuzz_targets.h"

#include <QCoreApplication>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Some parsers' objects are deleted through the event queue, which wants an
    // application object; it lives as long as the process.
    new QCoreApplication(*argc, *argv);
    // Parsers log what they refuse; millions of such lines would only slow the run.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FUZZ_ENTRY(data, size);
}
