// Opens arbitrary bytes as a table (with an empty memo file), reads every record, field and memo, checks
// it, and tries an edit, an append and a pack: none of it may crash or read out of bounds.
#include "store/xbase/MemoFile.h"
#include "store/xbase/Table.h"
#include "store/xbase/TableVerifier.h"
#include "support/xbase/VolatileFileSystem.h"

#include <cstddef>
#include <cstdint>

using namespace quorvo::xbase;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    test::VolatileFileSystem fs;
    {
        auto dbf = fs.open("/t/T.DBF", OpenMode::Plain, true);
        (void)(*dbf)->writeAt(0, std::string_view(reinterpret_cast<const char*>(data), size));
        auto fpt = fs.open("/t/T.FPT", OpenMode::Plain, true);
        (void)(*fpt)->writeAt(0, MemoFile::emptyFpt());
    }
    (void)TableVerifier(fs).verify("/t/T.DBF");
    TableOptions options;
    options.fileSystem = &fs;
    options.today = [] { return Date3{2026, 12, 8}; };
    auto table = Table::open("/t/T.DBF", OpenMode::Exclusive, options);
    if (!table)
        return 0;
    Table& t = **table;
    int rows = 0;
    for (Status s = t.goTop(); s.ok() && !t.eof() && rows < 1000; s = t.skip(1), ++rows) {
        for (int n = 1; n <= t.fieldCount(); ++n) {
            (void)t.getTrimString(n);
            (void)t.getLogical(n);
            if (t.field(n).type == 'M')
                (void)t.getMemo(n);
        }
    }
    if (t.goTop().ok() && !t.eof() && t.replace(1, "fuzz").ok())
        (void)t.post();
    if (t.appendBlank().ok()) {
        for (int n = 1; n <= t.fieldCount(); ++n)
            (void)t.replace(n, "x");
        (void)t.post();
    }
    (void)t.pack();
    (void)t.close();
    return 0;
}
