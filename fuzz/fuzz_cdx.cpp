// Opens arbitrary bytes as a compound index, walks and seeks every tag, verifies, and changes keys.
// Any input may fail with an error value; none may crash, hang or read out of bounds.
#include "store/xbase/BlockDevice.h"
#include "store/xbase/CdxCursor.h"
#include "store/xbase/CdxIndex.h"
#include "support/xbase/MemoryBlockDevice.h"

#include <cstdint>
#include <string>
#include <vector>

using namespace quorvo::xbase;

namespace {

void walk(CdxIndex& index, std::size_t tag)
{
    CdxCursor cursor(index, tag);
    if (!cursor.first())
        return;
    for (int i = 0; i < 100000 && cursor.onEntry(); ++i) {
        if (!cursor.next())
            return;
    }
    if (!cursor.last())
        return;
    for (int i = 0; i < 100 && cursor.onEntry(); ++i) {
        if (!cursor.prev())
            return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryBlockDevice device("FUZZ.CDX", std::vector<char>(data, data + size));
    device.setSizeLimit(64u << 20);
    auto opened = CdxIndex::open(device);
    if (!opened)
        return 0;
    CdxIndex& index = **opened;
    (void)index.verify();
    for (std::size_t t = 0; t < index.tagCount() && t < 16; ++t) {
        walk(index, t);
        CdxCursor cursor(index, t);
        const std::size_t keyLength = index.tag(t).definition.keyLength;
        const std::string probe(data + size / 2, data + std::min(size, size / 2 + keyLength));
        (void)cursor.seek(probe, true);
        (void)cursor.seek(probe.substr(0, probe.size() / 2), false);
        if (probe.size() == keyLength) {
            (void)cursor.seekEntry(probe, 7);
            for (std::uint32_t r = 1; r <= 40; ++r)
                (void)index.insertKey(t, probe, r);
            (void)index.deleteKey(t, probe, 3);
            if (cursor.onEntry()) {
                const std::string key(cursor.key());
                (void)index.deleteKey(t, key, cursor.recno());
            }
            (void)cursor.next();
        }
        (void)index.verify();
    }
    if (index.tagCount() > 0)
        (void)index.removeTag(0);
    (void)index.verify();
    return 0;
}
