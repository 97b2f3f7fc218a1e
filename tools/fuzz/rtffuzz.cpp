// libFuzzer harness for the RTF converter of the help documents:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fPIC \
//     -I../../src $(pkg-config --cflags Qt6Gui) rtffuzz.cpp ../../src/shell/rtfdocument.cpp \
//     $(pkg-config --libs Qt6Gui) -o rtffuzz
//   QT_QPA_PLATFORM=offscreen ./rtffuzz -max_total_time=60 -max_len=4096 corpus/
// Seed the corpus with the documents of assets/help/.
#include "shell/rtfdocument.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray rtf(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument doc;
    RtfDocument::load(&doc, rtf);
    (void)doc.toPlainText();
    return 0;
}
