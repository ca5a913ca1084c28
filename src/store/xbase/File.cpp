#include "store/xbase/File.h"

namespace quorvo::xbase {

Status File::readExact(std::uint64_t offset, std::span<char> out)
{
    auto got = readAt(offset, out);
    if (!got)
        return got.error();
    if (*got != out.size())
        return makeError(ErrorCode::Corrupt, path() + ": file ends inside the " + std::to_string(out.size()) +
                                                 " bytes at offset " + std::to_string(offset));
    return {};
}

Status FileSystem::renameAll(const std::vector<std::pair<std::string, std::string>>& moves, bool)
{
    for (const auto& [from, to] : moves)
        QV_TRY(rename(from, to));
    return {};
}

} // namespace quorvo::xbase
