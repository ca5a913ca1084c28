#pragma once

namespace quorvo {

// Turns the engine's progress reports during an index rebuild into the gauge's value. While packing,
// a report is the value itself. While the tags are built, each tag's reports rise from low again, so
// only rises count: they are added up and the gauge shows a quarter of the total. The gauge holds
// 0 to 100.
class RebuildProgress
{
public:
    void setPacking(bool packing) { m_packing = packing; }
    bool packing() const { return m_packing; }
    // Takes one report and returns what the gauge shows.
    int report(int value);

private:
    bool m_packing = false;
    long long m_total = 0;
    int m_last = 0;
};

} // namespace quorvo
