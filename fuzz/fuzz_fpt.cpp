// Reads every memo of a small, valid table whose memo file is arbitrary bytes, rewrites one, packs, and
// checks the pair: none of it may crash or read out of bounds.
#include "store/xbase/Table.h"
#include "store/xbase/TableVerifier.h"
#include "support/xbase/VolatileFileSystem.h"

#include <cstddef>
#include <cstdint>

using namespace quorvo::xbase;

namespace {

// Records whose memo pointers fall on a spread of blocks, so inputs reach many places in the memo file.
std::string tableBytes()
{
    test::VolatileFileSystem fs;
    const FieldInfo fields[] = {{"NAME", 'C', 0, 4, 0}, {"NOTE", 'M', 0, 10, 0}};
    (void)Table::create("/s/S.DBF", fields, {&fs, false, [] { return Date3{2026, 12, 8}; }});
    std::string dbf = fs.bytes("/s/S.DBF");
    dbf.pop_back(); // the end marker; records follow
    for (int block : {8, 9, 10, 12, 16, 40, 100, 1000})
        dbf += " rec " + std::string(10 - std::to_string(block).size(), ' ') + std::to_string(block);
    dbf[4] = 8;
    return dbf + "\x1A";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string dbf = tableBytes();
    test::VolatileFileSystem fs;
    {
        auto d = fs.open("/t/T.DBF", OpenMode::Plain, true);
        (void)(*d)->writeAt(0, dbf);
        auto f = fs.open("/t/T.FPT", OpenMode::Plain, true);
        (void)(*f)->writeAt(0, std::string_view(reinterpret_cast<const char*>(data), size));
    }
    (void)TableVerifier(fs).verify("/t/T.DBF");
    TableOptions options;
    options.fileSystem = &fs;
    auto table = Table::open("/t/T.DBF", OpenMode::Exclusive, options);
    if (!table)
        return 0;
    Table& t = **table;
    for (Status s = t.goTop(); s.ok() && !t.eof(); s = t.skip(1))
        (void)t.getMemo(2);
    if (t.go(3).ok() && t.replace(2, std::string(150, 'm')).ok())
        (void)t.post();
    (void)t.pack();
    (void)t.close();
    return 0;
}
