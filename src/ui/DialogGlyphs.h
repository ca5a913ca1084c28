#pragma once

#include <QIcon>

namespace quorvo {

// The small pictures on the task editor's buttons, drawn rather than shipped as files so they follow the
// palette: a calendar leaf, a clock face, and the arrow of a drop-down list.
class DialogGlyphs
{
public:
    static QIcon calendar();
    static QIcon clock();
    static QIcon dropDown();
};

} // namespace quorvo
