#pragma once

#include <QPicture>
#include <QSizeF>

#include <vector>

namespace quorvo {

// The pages of a preview run held in memory, one picture per page, recorded in report engine units
// (1/1200 inch). The run owns it; the preview window only reads it.
class PageStream
{
public:
    explicit PageStream(QSizeF pageInches = {}) : m_pageSize(pageInches) {}

    QSizeF pageSize() const { return m_pageSize; }
    void setPageSize(QSizeF inches) { m_pageSize = inches; }

    int pageCount() const { return static_cast<int>(m_pages.size()); }
    // index from 0; the caller keeps it below pageCount().
    const QPicture& page(int index) const { return m_pages[static_cast<std::size_t>(index)]; }
    void append(QPicture page) { m_pages.push_back(std::move(page)); }
    void clear() { m_pages.clear(); }

private:
    QSizeF m_pageSize;
    std::vector<QPicture> m_pages;
};

} // namespace quorvo
