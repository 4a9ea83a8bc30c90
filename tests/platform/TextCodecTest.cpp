// Shift-JIS at the Qt boundary: the shared table, run on Linux (Qt's converters) and on Windows (code page
// 932).
#include "platform/TextCodec.h"
#include "support/ShiftJisCases.h"

#include <gtest/gtest.h>

namespace {

using vexa::test::kShiftJisCases;
using vexa::test::Way;

TEST(TextCodec, ShiftJisBothWays) {
    for (const auto& c : kShiftJisCases) {
        SCOPED_TRACE(c.name);
        const QString text = QString::fromUtf8(c.text);
        if (c.way != Way::EncodeOnly) {
            EXPECT_EQ(AnsiToQString(c.bytes), text);
        }
        if (c.way != Way::DecodeOnly) {
            EXPECT_EQ(QStringToAnsi(text), c.bytes);
            EXPECT_EQ(Utf8ToAnsi(c.text), c.bytes);
        }
    }
}

} // namespace
