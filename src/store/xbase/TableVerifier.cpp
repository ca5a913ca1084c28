#include "store/xbase/TableVerifier.h"

#include "store/xbase/ByteOrder.h"
#include "store/xbase/DbfHeader.h"
#include "store/xbase/MemoFile.h"
#include "store/xbase/PendingFile.h"
#include "store/xbase/SiblingPath.h"

#include <optional>

#include <algorithm>
#include <map>

namespace quorvo::xbase {

namespace {

Error broken(const std::string& what)
{
    return makeError(ErrorCode::Corrupt, what);
}

bool isKnownVersion(unsigned char v)
{
    return v == 0x03 || v == 0xF5 || v == 0x83 || v == 0x8B || (v >= 0x30 && v <= 0x32);
}

} // namespace

Status TableVerifier::verify(const std::string& dbfPath)
{
    auto dbf = m_fs.open(dbfPath, OpenMode::ReadOnly, false);
    if (!dbf)
        return dbf.error();
    auto size = (*dbf)->size();
    if (!size)
        return size.error();
    std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(*size, 1u << 30)), '\0');
    QV_TRY((*dbf)->readExact(0, bytes));
    auto parsed = DbfHeader::parse(bytes, dbfPath);
    if (!parsed)
        return parsed.error();
    const DbfHeader& header = *parsed;
    const std::string name = dbfPath;

    if (!isKnownVersion(header.version()))
        return broken(name + ": unknown version byte " + std::to_string(header.version()));
    if (header.version() == DbfHeader::kFoxProMemo && !header.hasMemo())
        return broken(name + ": the version byte says memo but the table has no memo field");
    if (header.version() == DbfHeader::kNoMemo && header.hasMemo())
        return broken(name + ": the table has memo fields but the version byte says none");

    const std::uint64_t recordsEnd =
        header.headerLength() + std::uint64_t{header.recordCount()} * header.recordLength();
    if (*size < recordsEnd)
        return broken(name + ": the file ends inside record " +
                      std::to_string((*size - header.headerLength()) / header.recordLength() + 1));
    if (*size > recordsEnd + 1 || (*size == recordsEnd + 1 && bytes.back() != '\x1A'))
        return broken(name + ": " + std::to_string(*size - recordsEnd) + " bytes follow the last record");

    const bool cdxExists = m_fs.exists(siblingPath(dbfPath, ".CDX"));
    const bool cdxFlag = (header.flags() & DbfHeader::kFlagStructuralCdx) != 0;
    if (cdxFlag != cdxExists)
        return broken(name + (cdxFlag ? ": the header flags a structural index that does not exist"
                                      : ": a structural index exists but the header does not flag it"));

    std::unique_ptr<File> memoFile;
    std::unique_ptr<PendingFile> memoDevice;
    std::optional<MemoFile> memo;
    if (header.hasMemo()) {
        const std::string memoPath = siblingPath(dbfPath, header.usesDbtMemo() ? ".DBT" : ".FPT");
        auto opened = m_fs.open(memoPath, OpenMode::ReadOnly, false);
        if (!opened)
            return broken(name + ": the memo file is missing");
        memoFile = std::move(*opened);
        memoDevice = std::make_unique<PendingFile>(*memoFile);
        memo.emplace(*memoDevice, header.usesDbtMemo() ? MemoFile::Kind::Dbt : MemoFile::Kind::Fpt);
        QV_TRY(memo->loadHeader());
    }

    std::map<std::uint32_t, std::pair<std::uint32_t, std::uint32_t>> usedBlocks; // first block -> (end, recno)
    const std::string_view all(bytes);
    for (std::uint32_t r = 1; r <= header.recordCount(); ++r) {
        const std::string_view record =
            all.substr(header.headerLength() + std::size_t{r - 1} * header.recordLength(), header.recordLength());
        const std::string where = name + ": record " + std::to_string(r);
        if (record[0] != ' ' && record[0] != '*')
            return broken(where + " has deleted flag " + std::to_string(static_cast<unsigned char>(record[0])));
        for (const FieldInfo& f : header.fields()) {
            const std::string_view v = record.substr(f.offset, f.width);
            const std::string field = where + ", field " + f.name;
            if (f.type == 'L' && std::string_view("TtFfYyNn ?").find(v[0]) == std::string_view::npos)
                return broken(field + " is not a logical value");
            if (f.type == 'D' && v.find_first_not_of(' ') != std::string_view::npos &&
                v.find_first_not_of("0123456789") != std::string_view::npos)
                return broken(field + " is not a date");
            if (f.type == 'N' && v.find_first_not_of(" -.0123456789") != std::string_view::npos &&
                v.find_first_not_of('*') != std::string_view::npos)
                return broken(field + " is not a number");
            if (f.type != 'M' || !memo)
                continue;
            std::uint32_t block = 0;
            if (header.isVisualFoxPro() && f.width == 4) {
                block = bytes::readLe(v, 0, 4);
            } else {
                const std::size_t first = v.find_first_not_of(' ');
                if (first == std::string_view::npos)
                    continue;
                const std::string_view digits = v.substr(first);
                if (digits.find_first_not_of("0123456789") != std::string_view::npos || digits.size() > 10)
                    return broken(field + " is not a memo pointer");
                for (char c : digits)
                    block = block * 10 + static_cast<std::uint32_t>(c - '0');
            }
            if (block == 0)
                continue;
            auto length = memo->inspect(block);
            if (!length)
                return broken(field + ": " + length.error().message);
            if (memo->kind() == MemoFile::Kind::Dbt)
                continue;
            const std::uint32_t end =
                block +
                static_cast<std::uint32_t>((8 + std::uint64_t{*length} + memo->blockSize() - 1) / memo->blockSize());
            if (end > memo->nextFree())
                return broken(field + ": memo block " + std::to_string(block) + " lies beyond the next free block");
            auto after = usedBlocks.lower_bound(block);
            if ((after != usedBlocks.end() && after->first < end) ||
                (after != usedBlocks.begin() && std::prev(after)->second.first > block)) {
                const auto& other = after != usedBlocks.end() && after->first < end ? *after : *std::prev(after);
                return broken(field + ": memo block " + std::to_string(block) + " overlaps the memo of record " +
                              std::to_string(other.second.second));
            }
            usedBlocks.emplace(block, std::make_pair(end, r));
        }
    }
    if (memo && memo->kind() == MemoFile::Kind::Fpt) {
        auto memoSize = memoFile->size();
        if (!memoSize)
            return memoSize.error();
        const std::uint64_t endBlock = (*memoSize + memo->blockSize() - 1) / memo->blockSize();
        // New notes go at the next free block: one before the end would overwrite what lies there.
        if (memo->nextFree() < endBlock)
            return broken(memoFile->path() + ": the next free memo block " + std::to_string(memo->nextFree()) +
                          " lies before the end of the file (block " + std::to_string(endBlock) + ")");
    }
    return {};
}

} // namespace quorvo::xbase
