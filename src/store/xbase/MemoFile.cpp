#include "store/xbase/MemoFile.h"

#include "store/xbase/ByteOrder.h"

#include <algorithm>

namespace quorvo::xbase {

namespace {
constexpr std::uint32_t kTextType = 1;
constexpr std::uint32_t kDbtBlock = 512;
constexpr std::uint32_t kMaxMemo = 64u << 20; // larger lengths are damage, not notes
} // namespace

std::string MemoFile::emptyFpt(std::uint16_t blockSize)
{
    std::string header(kFptHeaderSize, '\0');
    const std::uint32_t firstFree = static_cast<std::uint32_t>((kFptHeaderSize + blockSize - 1) / blockSize);
    bytes::writeBe(&header[0], firstFree, 4);
    bytes::writeBe(&header[6], blockSize, 2);
    return header;
}

Error MemoFile::damaged(std::uint64_t offset, const std::string& what) const
{
    return makeError(ErrorCode::Corrupt, m_device->path() + ": " + what + " (offset " + std::to_string(offset) + ")");
}

std::uint32_t MemoFile::firstDataBlock() const
{
    return m_kind == Kind::Dbt ? 1 : static_cast<std::uint32_t>((kFptHeaderSize + m_blockSize - 1) / m_blockSize);
}

std::uint32_t MemoFile::blocksFor(std::uint64_t length) const
{
    return static_cast<std::uint32_t>((8 + length + m_blockSize - 1) / m_blockSize);
}

Result<std::uint64_t> MemoFile::sizeCovering(std::uint64_t end)
{
    if (m_image)
        return std::uint64_t{m_image->size()};
    if (end > m_knownSize) {
        auto size = m_device->size();
        if (!size)
            return size.error();
        m_knownSize = *size;
    }
    return m_knownSize;
}

Status MemoFile::readBytes(std::uint64_t offset, std::span<char> out)
{
    if (!m_image)
        return m_device->read(offset, out);
    if (offset > m_image->size() || out.size() > m_image->size() - offset)
        return damaged(offset, "a memo runs past the end of the file");
    std::copy_n(m_image->data() + offset, out.size(), out.data());
    return {};
}

Status MemoFile::preload()
{
    auto size = m_device->size();
    if (!size)
        return size.error();
    std::string image(static_cast<std::size_t>(*size), '\0');
    QV_TRY(m_device->read(0, image));
    m_image = std::move(image);
    return {};
}

Status MemoFile::loadHeader()
{
    m_image.reset();
    auto size = m_device->size();
    if (!size)
        return size.error();
    m_knownSize = *size;
    if (m_kind == Kind::Dbt) {
        m_blockSize = kDbtBlock;
        return {};
    }
    if (*size < 8)
        return damaged(*size, "the memo file header is truncated");
    char header[8];
    QV_TRY(m_device->read(0, header));
    const std::string_view h(header, 8);
    m_nextFree = bytes::readBe(h, 0, 4);
    m_blockSize = bytes::readBe(h, 6, 2);
    if (m_blockSize == 0)
        return damaged(6, "the memo block size is 0");
    if (m_nextFree < firstDataBlock())
        return damaged(0, "the next free memo block lies inside the header");
    return {};
}

Result<std::uint32_t> MemoFile::inspect(std::uint32_t block)
{
    const std::uint64_t offset = std::uint64_t{block} * m_blockSize;
    auto size = sizeCovering(offset + 8);
    if (!size)
        return size.error();
    if (block < firstDataBlock())
        return damaged(offset, "memo block " + std::to_string(block) + " lies inside the header");
    if (m_kind == Kind::Dbt) {
        if (offset >= *size)
            return damaged(offset, "memo block " + std::to_string(block) + " is past the end of the file");
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(*size - offset, kMaxMemo));
    }
    if (offset + 8 > *size)
        return damaged(offset, "memo block " + std::to_string(block) + " is past the end of the file");
    char prefix[8];
    QV_TRY(readBytes(offset, prefix));
    const std::string_view p(prefix, 8);
    const std::uint32_t type = bytes::readBe(p, 0, 4);
    const std::uint32_t length = bytes::readBe(p, 4, 4);
    if (type > 2)
        return damaged(offset, "memo block " + std::to_string(block) + " has an unknown type");
    if (length <= kMaxMemo && offset + 8 + length > *size) {
        auto again = sizeCovering(offset + 8 + length);
        if (!again)
            return again.error();
        size = again;
    }
    if (length > kMaxMemo || offset + 8 + length > *size)
        return damaged(offset, "the memo at block " + std::to_string(block) + " runs past the end of the file");
    return length;
}

Result<std::string> MemoFile::read(std::uint32_t block)
{
    if (block == 0)
        return std::string();
    auto length = inspect(block);
    if (!length)
        return length.error();
    const std::uint64_t offset = std::uint64_t{block} * m_blockSize;
    std::string text(*length, '\0');
    if (m_kind == Kind::Dbt) {
        QV_TRY(readBytes(offset, text));
        text.resize(std::min(text.size(), text.find('\x1A')));
        return text;
    }
    QV_TRY(readBytes(offset + 8, text));
    return text;
}

Result<std::uint32_t> MemoFile::write(std::uint32_t oldBlock, std::string_view data)
{
    if (m_kind != Kind::Fpt)
        return makeError(ErrorCode::BadState, m_device->path() + ": dBASE III memo files are read-only here");
    if (data.empty())
        return std::uint32_t{0};
    if (data.size() > kMaxMemo)
        return makeError(ErrorCode::BadArgument, "a memo holds at most 64 MB");
    std::uint32_t block = 0;
    if (oldBlock >= firstDataBlock()) {
        auto oldLength = inspect(oldBlock);
        // A damaged old memo is abandoned rather than overwritten.
        if (oldLength && blocksFor(data.size()) <= blocksFor(*oldLength))
            block = oldBlock;
    }
    if (block == 0) {
        // A next-free block far past the end of the file is damage; following it would write a huge
        // sparse file. Anything from the real end on is unused, so new memos start there.
        const std::uint64_t endBlock = (m_knownSize + m_blockSize - 1) / m_blockSize;
        if (m_nextFree > endBlock)
            m_nextFree = static_cast<std::uint32_t>(std::max<std::uint64_t>(endBlock, firstDataBlock()));
        block = m_nextFree;
        const std::uint64_t newNext = std::uint64_t{block} + blocksFor(data.size());
        if (newNext > 0xFFFFFFFFu || newNext * m_blockSize > (std::uint64_t{1} << 40))
            return makeError(ErrorCode::BadState, m_device->path() + ": the memo file is full");
        m_nextFree = static_cast<std::uint32_t>(newNext);
        char next[4];
        bytes::writeBe(next, m_nextFree, 4);
        QV_TRY(m_device->write(0, next));
    }
    std::string out(8, '\0');
    bytes::writeBe(&out[0], kTextType, 4);
    bytes::writeBe(&out[4], static_cast<std::uint32_t>(data.size()), 4);
    out.append(data);
    // Filling the last block keeps consecutive new memos one contiguous write.
    out.resize(std::size_t{blocksFor(data.size())} * m_blockSize, '\0');
    QV_TRY(m_device->write(std::uint64_t{block} * m_blockSize, out));
    m_knownSize = std::max<std::uint64_t>(m_knownSize, std::uint64_t{block} * m_blockSize + out.size());
    return block;
}

} // namespace quorvo::xbase
