#include "store/xbase/CdxTreeBuilder.h"

#include "store/xbase/CdxBytes.h"
#include "store/xbase/CdxInteriorPage.h"
#include "store/xbase/CdxLayout.h"
#include "store/xbase/CdxNodeHeader.h"
#include "store/xbase/CdxTree.h"

#include <algorithm>

namespace quorvo::xbase {

CdxTreeBuilder::CdxTreeBuilder(CdxPageCache& pages, std::uint32_t keyLength, char fill)
    : m_pages(pages), m_keyLength(keyLength), m_capacity(CdxLayout::interiorCapacity(keyLength)),
      m_writer(keyLength, fill)
{}

Result<char*> CdxTreeBuilder::startInterior(std::size_t level, std::uint32_t left)
{
    auto offset = m_pages.allocate();
    if (!offset)
        return offset.error();
    auto page = m_pages.modify(*offset);
    if (!page)
        return page.error();
    CdxInteriorPage(*page, m_keyLength).init(0, left, CdxLayout::kNoPage);
    if (level == m_levels.size())
        m_levels.push_back({});
    m_levels[level] = {*offset, *page, 0};
    return *page;
}

Status CdxTreeBuilder::post(std::size_t level, const char* key, std::uint32_t recno, std::uint32_t child)
{
    if (level == m_levels.size()) {
        auto started = startInterior(level, CdxLayout::kNoPage);
        if (!started)
            return started.error();
    }
    const std::uint32_t entrySize = m_keyLength + 8;
    if (m_levels[level].count == m_capacity) {
        const Level full = m_levels[level];
        auto started = startInterior(level, full.page);
        if (!started)
            return started.error();
        CdxBytes::putLe32(full.data + 8, m_levels[level].page);
        const char* last = full.data + CdxLayout::kNodeHeaderSize + (full.count - 1) * entrySize;
        QV_TRY(post(level + 1, last, CdxBytes::be32(last + m_keyLength), full.page));
    }
    Level& node = m_levels[level];
    CdxInteriorPage::writeEntry(node.data + CdxLayout::kNodeHeaderSize + node.count * entrySize, m_keyLength, key,
                                recno, child);
    ++node.count;
    CdxBytes::putLe16(node.data + 2, node.count);
    return {};
}

Result<std::uint32_t> CdxTreeBuilder::build(const CdxKeyBatch& keys, const std::vector<std::uint32_t>& order,
                                            const ProgressFn& progress, int progressFrom)
{
    m_levels.clear();
    std::uint32_t maxRecno = 0;
    for (std::uint32_t index : order)
        maxRecno = std::max(maxRecno, keys.recno(index));
    const CdxLeafWidths widths = CdxLeafWidths::forKey(m_keyLength, maxRecno);

    auto first = m_pages.allocate();
    if (!first)
        return first.error();
    std::uint32_t leaf = *first;
    std::uint32_t leftLeaf = CdxLayout::kNoPage;
    auto page = m_pages.modify(leaf);
    if (!page)
        return page.error();
    m_writer.start(*page, widths);

    const std::size_t n = order.size();
    const std::size_t step = std::max<std::size_t>(n / 100, 1);
    int reported = progressFrom;
    const char* lastKey = nullptr;
    std::uint32_t lastRecno = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i + 16 < n)
            __builtin_prefetch(keys.key(order[i + 16]));
        const char* key = keys.key(order[i]);
        const std::uint32_t recno = keys.recno(order[i]);
        if (!m_writer.append(key, recno)) {
            auto next = m_pages.allocate();
            if (!next)
                return next.error();
            m_writer.finish(CdxNodeHeader::kLeaf, leftLeaf, *next);
            QV_TRY(post(0, lastKey, lastRecno, leaf));
            leftLeaf = leaf;
            leaf = *next;
            page = m_pages.modify(leaf);
            if (!page)
                return page.error();
            m_writer.start(*page, widths);
            m_writer.append(key, recno); // one entry always fits an empty leaf
        }
        lastKey = key;
        lastRecno = recno;
        if (progress && i % step == 0) {
            const int value = progressFrom + static_cast<int>((100 - progressFrom) * i / n);
            if (value > reported) {
                reported = value;
                progress(value);
            }
        }
    }

    std::uint32_t root = leaf;
    if (m_levels.empty()) {
        m_writer.finish(CdxNodeHeader::kRoot | CdxNodeHeader::kLeaf, CdxLayout::kNoPage, CdxLayout::kNoPage);
    } else {
        m_writer.finish(CdxNodeHeader::kLeaf, leftLeaf, CdxLayout::kNoPage);
        QV_TRY(post(0, lastKey, lastRecno, leaf));
        const std::uint32_t entrySize = m_keyLength + 8;
        for (std::size_t level = 0;; ++level) {
            const Level node = m_levels[level];
            const bool alone = CdxBytes::le32(node.data + 4) == CdxLayout::kNoPage;
            if (level + 1 == m_levels.size() && alone) {
                CdxBytes::putLe16(node.data, CdxNodeHeader::kRoot);
                root = node.page;
                break;
            }
            const char* last = node.data + CdxLayout::kNodeHeaderSize + (node.count - 1) * entrySize;
            QV_TRY(post(level + 1, last, CdxBytes::be32(last + m_keyLength), node.page));
        }
    }
    if (progress)
        progress(100);
    return root;
}

} // namespace quorvo::xbase
