#pragma once

#include "store/xbase/Error.h"

#include <QtTest>

namespace quorvo::xbase {

template <typename T> QByteArray describe(const T& status)
{
    return status.ok() ? QByteArray() : QByteArray::fromStdString(status.error().message);
}

} // namespace quorvo::xbase

// Fails the test with the engine's message when a Status or Result is an error.
#define QVERIFY_OK(expr)                                                                                               \
    do {                                                                                                               \
        const auto& qvCheck_ = (expr);                                                                                 \
        QVERIFY2(qvCheck_.ok(), ::quorvo::xbase::describe(qvCheck_).constData());                                      \
    } while (false)
