// libFuzzer harness for the OpenAstronomyLog import: each input is written to
// a file and imported into one store made from the starter data, so a crash,
// a hang or an escaped exception shows. Built against the data library of a
// build folder (from this folder, with build/ configured and built):
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer -fPIC -I../../src \
//     $(pkg-config --cflags Qt6Core) oalfuzz.cpp ../../build/libvelnora_data.a \
//     $(pkg-config --libs Qt6Core Qt6Gui) -lSQLiteCpp -lsqlite3 $(pkg-config --libs libmdb) -o oalfuzz
//   VELNORA_ASSETS=../../assets ./oalfuzz -runs=1000 -max_len=65536 -timeout=10 corpus/
// Seed the corpus with the files of tests/fixtures/oal/.
#include "data/dataerror.h"
#include "data/oalimport.h"
#include "data/store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <SQLiteCpp/Database.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {
QTemporaryDir *folder = nullptr;
Store *store = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    folder = new QTemporaryDir;
    Store::createFromStarter(folder->filePath("velnora.db"));
    store = new Store(folder->filePath("velnora.db"), false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = folder->filePath("input.xml");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();
    try {
        OalImport::run(store->db(), path);
    } catch (const DataError &) {
        // A refused file is an answer, not a fault.
    }
    return 0;
}
