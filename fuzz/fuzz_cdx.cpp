// Opens arbitrary bytes as a compound index, walks and seeks every tag, verifies, and changes keys.
// Any input may fail with an error value; none may crash, hang or read out of bounds.
#include "store/xbase/BlockDevice.h"
#include "store/xbase/CdxCursor.h"
#include "store/xbase/CdxIndex.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace quorvo::xbase;

namespace {

class FuzzDevice : public BlockDevice
{
public:
    FuzzDevice(const std::uint8_t* data, std::size_t size) : m_bytes(data, data + size) {}

    Status read(std::uint64_t offset, std::span<char> out) override
    {
        if (offset > m_bytes.size() || out.size() > m_bytes.size() - offset)
            return makeError(ErrorCode::Corrupt, m_path + ": read past the end");
        if (!out.empty())
            std::memcpy(out.data(), m_bytes.data() + offset, out.size());
        return {};
    }
    Status write(std::uint64_t offset, std::span<const char> data) override
    {
        if (offset + data.size() > (64u << 20))
            return makeError(ErrorCode::Io, m_path + ": too large");
        if (offset + data.size() > m_bytes.size())
            m_bytes.resize(offset + data.size());
        if (!data.empty())
            std::memcpy(m_bytes.data() + offset, data.data(), data.size());
        return {};
    }
    Result<std::uint64_t> size() override { return std::uint64_t{m_bytes.size()}; }
    Status truncate(std::uint64_t size) override
    {
        m_bytes.resize(size);
        return {};
    }
    const std::string& path() const override { return m_path; }

private:
    std::string m_path = "FUZZ.CDX";
    std::vector<char> m_bytes;
};

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
    FuzzDevice device(data, size);
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
